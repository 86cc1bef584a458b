#pragma once

#include "numerics/computation.h"

namespace quorvel {

// One quantity of the noncentral t distribution through the public operations of NoncentralT;
// the request's df1 is the single Df and its noncentrality is δ.
ComputeOutcome computeT(Calculators& calculators, const ComputeRequest& request);

}  // namespace quorvel
