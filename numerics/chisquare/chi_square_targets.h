#pragma once

#include <algorithm>

#include "numerics/foundations/normal_distribution.h"
#include "numerics/foundations/tail_probability.h"

namespace quorvel::chi_square_targets {

// The target of a cumulative probability in its own tail: above 1/2 the upper tail 1 − cumP
// (exact in floating point there), so that a search near 1 works on the small tail.
inline TailProbability targetOfCumP(double cumP) {
    return cumP > 0.5 ? TailProbability{Tail::Upper, 1.0 - cumP}
                      : TailProbability{Tail::Lower, cumP};
}

// The normal quantile z of the lower-tail probability of target, for the start values only:
// the normal approximations take probabilities inside (1e-35, 1 − 1e-35), so a smaller tail
// is held at 1e-34, which only moves the start.
inline double startQuantile(const NormalDistribution& normal, TailProbability target) {
    constexpr double kSmallestStartProbability = 1e-34;
    const double z = normal.quantile(std::max(target.probability, kSmallestStartProbability));
    return target.tail == Tail::Lower ? z : -z;
}

}  // namespace quorvel::chi_square_targets
