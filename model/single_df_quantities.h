#pragma once

#include "model/computation.h"

namespace quorvel {

// One quantity of a family with a single Df (t and chi-square, whose public operations take
// their arguments alike) through that family's calculator: the request's df1 is the Df and its
// noncentrality is δ or λ. Both limits of an interval start as the failure value, so a routine
// that rejects its arguments leaves them so.
template <typename Calculator>
ComputeOutcome computeSingleDf(Calculator& calculator, double failureValue,
                               const ComputeRequest& request) {
    ComputeOutcome outcome;
    switch (request.quantity) {
        case QuantityKind::CumP:
            outcome.result = calculator.cdf(request.value, request.df1, request.noncentrality);
            break;
        case QuantityKind::Density:
            outcome.result = calculator.pdf(request.value, request.df1, request.noncentrality);
            break;
        case QuantityKind::Upper:
            outcome.result = calculator.upper(request.value, request.df1, request.noncentrality);
            break;
        case QuantityKind::Value:
            outcome.result = request.tailTarget
                                 ? calculator.percentagePointOfTail(*request.tailTarget,
                                                                    request.df1,
                                                                    request.noncentrality)
                                 : calculator.percentagePoint(request.cumP, request.df1,
                                                              request.noncentrality);
            break;
        case QuantityKind::Noncentrality:
            outcome.result =
                request.tailTarget
                    ? calculator.noncentralityOfTail(request.value, request.df1,
                                                     *request.tailTarget)
                    : calculator.noncentrality(request.value, request.df1, request.cumP);
            break;
        case QuantityKind::Interval:
            outcome.lower = failureValue;
            outcome.upper = failureValue;
            calculator.confidenceLimits(request.value, request.df1, request.confidence,
                                        outcome.lower, outcome.upper);
            break;
    }
    return outcome;
}

}  // namespace quorvel
