#include "numerics/f/f_quantities.h"

#include "numerics/calculators.h"
#include "numerics/f/noncentral_f.h"

namespace quorvel {

namespace {
constexpr int kExactMethod = 0;
}  // namespace

ComputeOutcome computeF(Calculators& calculators, const ComputeRequest& request) {
    NoncentralF& f = calculators.f();
    ComputeOutcome outcome;
    switch (request.quantity) {
        case QuantityKind::CumP:
            outcome.result =
                f.cdf(request.value, request.df1, request.df2, request.noncentrality, kExactMethod);
            break;
        case QuantityKind::Value:
        case QuantityKind::Noncentrality:
        case QuantityKind::Interval:
            break;
    }
    return outcome;
}

}  // namespace quorvel
