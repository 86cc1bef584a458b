#pragma once

#include <cmath>

#include "model/effects/effects.h"

namespace quorvel {

// An equivalence design's t Df ν and the SD k of its mean difference in units of σ:
// ν = N1 + N2 − 2 and k = √(1/N1 + 1/N2) for two groups, ν = N − 1 and k = 1/√N for one sample.
struct EquivalenceSizes {
    double nu;
    double k;
};
inline EquivalenceSizes equivalenceSizes(const EffectRequest& request) {
    if (request.n1 > 0) {
        return {request.n1 + request.n2 - 2.0, std::sqrt(1.0 / request.n1 + 1.0 / request.n2)};
    }
    return {request.n - 1.0, 1.0 / std::sqrt(static_cast<double>(request.n))};
}

// An equivalence design's two one-sided t tests at α (Schuirmann 1987): its sizes, the upper α
// point t of central t on ν Df, beyond which each test's statistic must fall, and the
// noncentralities of the two statistics under the true d: (d + M)/k for T1 = (D̂ + M)/(s·k),
// which must exceed t to reject d <= −M, and (d − M)/k for T2 = (D̂ − M)/(s·k), which must lie
// below −t to reject d >= M. `failed` when the percentage point showed a message.
struct EquivalenceTest {
    EquivalenceSizes sizes;
    double critical;
    double lowerDelta;
    double upperDelta;
    bool failed;
};
EquivalenceTest equivalenceTestOf(Calculators& calculators, const EffectRequest& request);

// The sample SD s lies within 1 ± kEquivalenceSpread/√ν but for a probability far below 1e-20
// at every ν (at ν = 1, P(|Z| > 11) ≈ 4e-28; for large ν the bound is 14 standard deviations of
// s): the power integral's range, and the top of a margin search's.
inline constexpr double kEquivalenceSpread = 10.0;

}  // namespace quorvel
