#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "numerics/foundations/gamma_beta/log_gamma.h"

namespace quorvel {

// ln of the Poisson probability e^(−m)·m^j/j! (0 at j = 0 for m = 0, −∞ beyond).
inline double logPoissonWeight(std::int64_t j, double mean) {
    if (j == 0) {
        return -mean;
    }
    if (mean == 0.0) {
        return -HUGE_VAL;
    }
    const double n = static_cast<double>(j);
    return -mean + n * std::log(mean) - logGamma(n + 1.0);
}

// The index nearest the largest term of a mixture whose term ratio is
// t_{j+1}/t_j = (slope·j + intercept)/((j + 1)(j + q)): the positive root of
// (j + 1)(j + q) = slope·j + intercept, clamped to 0..1e12 (far beyond any sum that is not 0
// to double precision).
inline std::int64_t mixturePeak(double slope, double intercept, double q) {
    constexpr double kLargestStart = 1e12;
    const double linear = q + 1.0 - slope;
    const double constant = q - intercept;
    const double discriminant = linear * linear - 4.0 * constant;
    if (!(discriminant > 0.0)) {
        return 0;
    }
    const double root = (-linear + std::sqrt(discriminant)) / 2.0;
    return static_cast<std::int64_t>(std::clamp(std::round(root), 0.0, kLargestStart));
}

}  // namespace quorvel
