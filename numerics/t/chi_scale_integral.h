#pragma once

#include "numerics/foundations/normal_distribution.h"

namespace quorvel {

// What is integrated against the density f_ν(u) of the scale U = √(χ²_ν/ν) of the noncentral t
// variable T = (Z + δ)/U: the conditional lower tail Φ(tu − δ), the conditional upper tail
// Φ(δ − tu), or the conditional density u·φ(tu − δ).
enum class ChiScaleFactor { LowerTail, UpperTail, Density };

// ln of the integral and whether the quadrature met its tolerance.
struct ChiScaleIntegral {
    double logValue = 0.0;
    bool converged = false;
};

// ln ∫₀^∞ f_ν(u)·g(u) du for the factor g chosen: P(T <= t), P(T > t) or the density at t,
// each an integral of a positive, log-concave function, to a relative error of about 1e-15. No
// argument checks; t and δ finite, 1 <= ν.
ChiScaleIntegral integrateOverChiScale(ChiScaleFactor factor, double t, double nu, double delta,
                                       const NormalDistribution& normal);

}  // namespace quorvel
