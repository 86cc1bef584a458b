#pragma once

#include <algorithm>
#include <cmath>

#include "numerics/foundations/normal_distribution.h"
#include "numerics/foundations/roots/secant_search.h"
#include "numerics/foundations/tail_probability.h"

namespace quorvel {

// What the t family's searches share: the tail they solve in and their residual.

// The tail a cumulative probability lies in: the lower one up to ½, above it the upper one
// with 1 − cumP (exact there).
inline TailProbability tailOfCumP(double cumP) {
    return cumP <= 0.5 ? TailProbability{Tail::Lower, cumP}
                       : TailProbability{Tail::Upper, 1.0 - cumP};
}

// The same target stated in the tail whose probability is at most ½, where it is solved.
inline TailProbability inSmallerTail(TailProbability target) {
    if (target.probability <= 0.5) {
        return target;
    }
    return {target.tail == Tail::Lower ? Tail::Upper : Tail::Lower, 1.0 - target.probability};
}

// P(X <= x) of a target, as the stored cumP shows it.
inline double lowerTailEquivalent(TailProbability target) {
    return target.tail == Tail::Lower ? target.probability : 1.0 - target.probability;
}

// The z with Φ(z) (lower) or 1 − Φ(z) (upper) equal to the target, without forming 1 − p.
inline double normalQuantileOfTail(TailProbability target, const NormalDistribution& normal) {
    const double z = normal.quantile(target.probability);
    return target.tail == Tail::Lower ? z : -z;
}

// ln(P/target) in units of the relative precision the searches ask of the probability, so that
// the secant's residual tolerance of 1e-10 means |P/target − 1| <= 1e-12. A probability that
// underflowed (ln P = −∞) is held at −1e6 units, far below every target, so that the searches
// still see the sign.
constexpr double kTargetRelativePrecision = 1e-12;
constexpr double kUnderflowedResidual = -1e6;
inline double logRatioResidual(double logP, double logTarget) {
    const double units = (logP - logTarget) * (secant::kTolerance / kTargetRelativePrecision);
    return std::max(units, kUnderflowedResidual);
}

// Solves (t(1 − 1/(4ν)) − δ)/√(1 + t²/(2ν)) = z, the normal approximation of the distribution
// function, for δ.
inline double deltaStartForZ(double t, int df, double z) {
    const double nu = df;
    return (1.0 - 1.0 / (4.0 * nu)) * t - z * std::sqrt(t * t / (2.0 * nu) + 1.0);
}

}  // namespace quorvel
