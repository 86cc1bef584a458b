#include "numerics/foundations/gamma_beta/log_gamma.h"

#include <cmath>
#include <limits>

namespace quorvel {

namespace {
constexpr double kShiftThreshold = 13.0;
constexpr double kShiftTarget = 14.0;
constexpr double kLogSqrtTwoPi = 0.918938533204673;
constexpr double kStirling1 = 0.083333333333333;
constexpr double kStirling2 = 0.002777777777778;
constexpr double kStirling3 = 0.000793650793651;
constexpr double kLog10OfE = 0.4342944819032518;
}  // namespace

// Stirling's series after the recurrence Γ(x + 1) = xΓ(x), as in Numerical Recipes' gammln
// family of routines, with the series constants cut to fifteen decimals.
double logGamma(double x) {
    // The shift count below is 14 − x truncated; outside x > 0 it is meaningless (and for a
    // huge negative x not even an int), so such arguments give NaN instead.
    if (!(x > 0.0)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    double shiftLog = 0.0;
    if (x <= kShiftThreshold) {
        const int shifts = static_cast<int>(kShiftTarget - x);
        double product = 1.0;
        for (int i = 0; i < shifts; ++i) {
            product *= x;
            x += 1.0;
        }
        shiftLog = std::log(product);
    }
    const double z = x * x;
    return (x - 0.5) * std::log(x) - x + kLogSqrtTwoPi +
           (kStirling1 - (kStirling2 - kStirling3 / z) / z) / x - shiftLog;
}

double decimalLog(double x) {
    return std::log(x) * kLog10OfE;
}

}  // namespace quorvel
