#include "numerics/chisquare/chi_square_quantities.h"

#include "numerics/calculators.h"
#include "numerics/chisquare/noncentral_chi_square.h"

namespace quorvel {

ComputeOutcome computeChiSquare(Calculators& calculators, const ComputeRequest& request) {
    NoncentralChiSquare& chiSquare = calculators.chiSquare();
    ComputeOutcome outcome;
    switch (request.quantity) {
        case QuantityKind::CumP:
            outcome.result = chiSquare.cdf(request.value, request.df1, request.noncentrality);
            break;
        case QuantityKind::Value:
            outcome.result =
                chiSquare.percentagePoint(request.cumP, request.df1, request.noncentrality);
            break;
        case QuantityKind::Noncentrality:
            outcome.result = chiSquare.noncentrality(request.value, request.df1, request.cumP);
            break;
        case QuantityKind::Interval:
            // A rejected argument leaves the limits as they are: both show as failed.
            outcome.lower = calculators.failureValue;
            outcome.upper = calculators.failureValue;
            chiSquare.confidenceLimits(request.value, request.df1, request.confidence,
                                       outcome.lower, outcome.upper);
            break;
    }
    return outcome;
}

}  // namespace quorvel
