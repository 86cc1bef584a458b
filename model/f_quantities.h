#pragma once

#include "model/computation.h"

namespace quorvel {

// One quantity of the noncentral F distribution through the public operations of NoncentralF,
// always with method 0 (the exact series).
ComputeOutcome computeF(Calculators& calculators, const ComputeRequest& request);

}  // namespace quorvel
