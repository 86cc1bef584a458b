#include "numerics/t/chi_scale_density.h"

#include <cmath>
#include <numbers>

#include "numerics/foundations/gamma_beta/saddle_point_terms.h"

namespace quorvel {

namespace {
// Within |d| <= 0.1 ln(1+d) − d comes from its series; beyond, the direct difference loses at
// most a relative 2e-15 of a term that is then e^(−ν/200) or more below the peak.
constexpr double kSeriesReach = 0.1;
// Beyond |d| = 0.5 the plain form (ν−1)·ln u − ν(u²−1)/2 has no cancellation to fear.
constexpr double kCentredReach = 0.5;
// Terms of the atanh series in r = d/(2+d), |r| <= 0.053: r^15/15 < 1e-20.
constexpr int kSeriesTerms = 7;

// ln(1+d) − d = −d²/(2+d) + 2·(r³/3 + r⁵/5 + ...), r = d/(2+d), from ln(1+d) = 2·atanh(r).
double log1pMinusX(double d) {
    if (std::fabs(d) > kSeriesReach) {
        return std::log1p(d) - d;
    }
    const double r = d / (2.0 + d);
    const double r2 = r * r;
    double sum = 0.0;
    for (int k = kSeriesTerms; k >= 1; --k) {
        sum = sum * r2 + 1.0 / (2.0 * k + 1.0);
    }
    return -d * d / (2.0 + d) + 2.0 * r * r2 * sum;
}

}  // namespace

double logChiScaleDensityRatio(double u, double nu) {
    const double d = u - 1.0;
    if (std::fabs(d) > kCentredReach) {
        const double power = nu > 1.0 ? (nu - 1.0) * std::log(u) : 0.0;
        return power - nu * (u * u - 1.0) / 2.0;
    }
    return nu * log1pMinusX(d) - nu * d * d / 2.0 - std::log1p(d);
}

double logChiScaleDensityAtOne(double nu) {
    return 0.5 * std::log(nu / std::numbers::pi) - stirlingError(nu / 2.0);
}

}  // namespace quorvel
