#include "numerics/t/t_quantities.h"

#include "numerics/calculators.h"
#include "numerics/t/noncentral_t.h"

namespace quorvel {

ComputeOutcome computeT(Calculators& calculators, const ComputeRequest& request) {
    NoncentralT& t = calculators.t();
    ComputeOutcome outcome;
    switch (request.quantity) {
        case QuantityKind::CumP:
            outcome.result = t.cdf(request.value, request.df1, request.noncentrality);
            break;
        case QuantityKind::Value:
            outcome.result = t.percentagePoint(request.cumP, request.df1, request.noncentrality);
            break;
        case QuantityKind::Noncentrality:
            outcome.result = t.noncentrality(request.value, request.df1, request.cumP);
            break;
        case QuantityKind::Interval:
            outcome.lower = calculators.failureValue;
            outcome.upper = calculators.failureValue;
            t.confidenceLimits(request.value, request.df1, request.confidence, outcome.lower,
                               outcome.upper);
            break;
    }
    return outcome;
}

}  // namespace quorvel
