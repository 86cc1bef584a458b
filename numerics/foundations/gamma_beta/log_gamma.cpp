#include "numerics/foundations/gamma_beta/log_gamma.h"

#include <array>
#include <cmath>
#include <limits>

namespace quorvel {

namespace {
constexpr double kLog10OfE = 0.4342944819032518;
// ln √(2π).
constexpr double kLogRootTwoPi = 0.91893853320467274178;

// stirlingError(k/2) for k = 1..30, from mpmath at 40 digits.
constexpr std::array<double, 30> kStirlingErrorAtHalves = {
    0.15342640972002734529,   0.08106146679532725822,   0.054814121051917653896,
    0.041340695955409294094,  0.033162873519936287485,  0.027677925684998339149,
    0.023746163656297495971,  0.020790672103765093112,  0.018488450532673185231,
    0.016644691189821192163,  0.015134973221917378874,  0.013876128823070747999,
    0.012810465242920226924,  0.011896709945891770095,  0.011104559758206917327,
    0.010411265261972096497,  0.0097994161261588032984, 0.0092554621827127329177,
    0.008768700134139385463,  0.0083305634333628712565, 0.0079341145643140205472,
    0.007573675487951840795,  0.0072445543013203831795, 0.0069428401072095298657,
    0.0066652470327076824424, 0.0064089941880042070684, 0.0061717122630394576475,
    0.0059513701127588477356, 0.005746216513010115682,  0.005554733551962801371,
};
constexpr double kLargestTabulated = 15.0;

// The coefficients B_{2k}/(2k(2k − 1)) of the asymptotic series, with their signs.
constexpr double kS0 = 1.0 / 12.0;
constexpr double kS1 = 1.0 / 360.0;
constexpr double kS2 = 1.0 / 1260.0;
constexpr double kS3 = 1.0 / 1680.0;
constexpr double kS4 = 1.0 / 1188.0;
}  // namespace

// Beyond 15, Stirling's formula with its error from stirlingError: ln Γ(x) = (x − ½)·ln x − x +
// ln √(2π) + stirlingError(x), so that the difference of two nearby arguments' values, as in
// the t density's ln Γ((ν + 1)/2) − ln Γ(ν/2), carries the same rounding in both and cancels
// it; below, the C library's lgamma.
double logGamma(double x) {
    if (!(x > 0.0)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (x <= kLargestTabulated) {
        return std::lgamma(x);
    }
    return (x - 0.5) * std::log(x) - x + kLogRootTwoPi + stirlingError(x);
}

double decimalLog(double x) {
    return std::log(x) * kLog10OfE;
}

// Loader's stirlerr. Beyond 15 the series is cut where its next term is below 1e-17 of the
// first: at a > 500 after two terms, > 80 after three, > 35 after four, otherwise five.
double stirlingError(double a) {
    if (a <= kLargestTabulated) {
        const double twice = 2.0 * a;
        if (twice == std::floor(twice) && twice >= 1.0) {
            return kStirlingErrorAtHalves[static_cast<std::size_t>(twice) - 1];
        }
        return std::lgamma(a + 1.0) - (a + 0.5) * std::log(a) + a - kLogRootTwoPi;
    }
    const double square = a * a;
    if (a > 500.0) {
        return (kS0 - kS1 / square) / a;
    }
    if (a > 80.0) {
        return (kS0 - (kS1 - kS2 / square) / square) / a;
    }
    if (a > 35.0) {
        return (kS0 - (kS1 - (kS2 - kS3 / square) / square) / square) / a;
    }
    return (kS0 - (kS1 - (kS2 - (kS3 - kS4 / square) / square) / square) / square) / a;
}

}  // namespace quorvel
