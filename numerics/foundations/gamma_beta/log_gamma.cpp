#include "numerics/foundations/gamma_beta/log_gamma.h"

#include <cmath>
#include <limits>

#include "numerics/foundations/gamma_beta/saddle_point_terms.h"
#include "numerics/foundations/math_constants.h"

namespace quorvel {

namespace {
constexpr double kLog10OfE = 0.4342944819032518;
// Where the C library's lgamma gives way to Stirling's formula.
constexpr double kLargestTabulated = 15.0;
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
    return (x - 0.5) * std::log(x) - x + kLogSqrtTwoPi + stirlingError(x);
}

double decimalLog(double x) {
    return std::log(x) * kLog10OfE;
}

}  // namespace quorvel
