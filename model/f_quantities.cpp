#include "model/f_quantities.h"

#include "numerics/calculators.h"
#include "numerics/f/f_arguments.h"
#include "numerics/f/noncentral_f.h"

namespace quorvel {

namespace {
constexpr int kExactMethod = f_arguments::methodNumber(f_arguments::FMethod::Exact);
}  // namespace

ComputeOutcome computeF(Calculators& calculators, const ComputeRequest& request) {
    NoncentralF& f = calculators.f();
    ComputeOutcome outcome;
    switch (request.quantity) {
        case QuantityKind::CumP:
            outcome.result =
                f.cdf(request.value, request.df1, request.df2, request.noncentrality, kExactMethod);
            break;
        case QuantityKind::Density:
            outcome.result = f.pdf(request.value, request.df1, request.df2, request.noncentrality);
            break;
        case QuantityKind::Upper:
            outcome.result = f.upper(request.value, request.df1, request.df2,
                                     request.noncentrality, kExactMethod);
            break;
        case QuantityKind::Value:
            outcome.result =
                request.tailTarget
                    ? f.percentagePointOfTail(*request.tailTarget, request.df1, request.df2,
                                              request.noncentrality)
                    : f.percentagePoint(request.cumP, request.df1, request.df2,
                                        request.noncentrality, kExactMethod);
            break;
        case QuantityKind::Noncentrality:
            outcome.result =
                request.tailTarget
                    ? f.noncentralityOfTail(request.value, request.df1, request.df2,
                                            *request.tailTarget)
                    : f.noncentrality(request.value, request.df1, request.df2, request.cumP,
                                      kExactMethod);
            break;
        case QuantityKind::Interval:
            // A rejected argument leaves both limits as the failure value.
            outcome.lower = calculators.failureValue;
            outcome.upper = calculators.failureValue;
            f.confidenceLimits(request.value, request.df1, request.df2, request.confidence,
                               kExactMethod, outcome.lower, outcome.upper);
            break;
    }
    return outcome;
}

}  // namespace quorvel
