#pragma once

#include "numerics/computation.h"

namespace quorvel {

// One quantity of the noncentral chi-square distribution through the public operations of
// NoncentralChiSquare: cdf(value, df1, noncentrality), percentagePoint(cumP, df1,
// noncentrality), noncentrality(value, df1, cumP) or confidenceLimits(value, df1, confidence).
ComputeOutcome computeChiSquare(Calculators& calculators, const ComputeRequest& request);

}  // namespace quorvel
