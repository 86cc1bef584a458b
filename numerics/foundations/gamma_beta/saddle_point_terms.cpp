#include "numerics/foundations/gamma_beta/saddle_point_terms.h"

#include <array>
#include <cmath>

#include "numerics/foundations/math_constants.h"

namespace quorvel {

namespace {

// stirlingError(k/2) for k = 1..30, to 20 digits (mpmath).
constexpr std::array<double, 30> kStirlingErrorAtHalves = {
    0.15342640972002734529,  0.08106146679532725822,  0.054814121051917653896,
    0.041340695955409294094, 0.033162873519936287485, 0.027677925684998339149,
    0.023746163656297495971, 0.020790672103765093112, 0.018488450532673185231,
    0.016644691189821192163, 0.015134973221917378874, 0.013876128823070747999,
    0.012810465242920226924, 0.011896709945891770095, 0.011104559758206917327,
    0.010411265261972096497, 0.0097994161261588032984, 0.0092554621827127329177,
    0.008768700134139385463, 0.0083305634333628712565, 0.0079341145643140205472,
    0.007573675487951840795, 0.0072445543013203831795, 0.0069428401072095298657,
    0.0066652470327076824424, 0.0064089941880042070684, 0.0061717122630394576475,
    0.0059513701127588477356, 0.005746216513010115682,  0.005554733551962801371,
};
constexpr double kLargestTabulated = 15.0;

// Coefficients 1/12, 1/360, 1/1260, 1/1680, 1/1188 of the series 1/(12n) − 1/(360n³) + ...
constexpr double kS0 = 1.0 / 12.0;
constexpr double kS1 = 1.0 / 360.0;
constexpr double kS2 = 1.0 / 1260.0;
constexpr double kS3 = 1.0 / 1680.0;
constexpr double kS4 = 1.0 / 1188.0;

// Where |x − M| < 0.1 (x + M) the deviance is summed as 2x Σ v^(2k+1)/(2k+1) − (x − M)v,
// v = (x − M)/(x + M) < 0.1: fewer than 20 terms reach double precision.
constexpr double kSeriesRange = 0.1;
constexpr int kMaxSeriesTerms = 1000;
}  // namespace

double stirlingError(double n) {
    if (n <= kLargestTabulated) {
        const double twice = 2.0 * n;
        if (twice == std::floor(twice) && twice >= 1.0) {
            return kStirlingErrorAtHalves[static_cast<int>(twice) - 1];
        }
        return std::lgamma(n + 1.0) - (n + 0.5) * std::log(n) + n - kLogSqrtTwoPi;
    }
    // The asymptotic series, cut where its next term lies below 1e-17 of its first.
    const double nn = n * n;
    if (n > 500.0) return (kS0 - kS1 / nn) / n;
    if (n > 80.0) return (kS0 - (kS1 - kS2 / nn) / nn) / n;
    if (n > 35.0) return (kS0 - (kS1 - (kS2 - kS3 / nn) / nn) / nn) / n;
    return (kS0 - (kS1 - (kS2 - (kS3 - kS4 / nn) / nn) / nn) / nn) / n;
}

double deviance(double x, double M) {
    if (x == 0.0) {
        return M;
    }
    const double difference = x - M;
    if (std::fabs(difference) < kSeriesRange * (x + M)) {
        const double v = difference / (x + M);
        const double v2 = v * v;
        double sum = difference * v;
        double power = 2.0 * x * v;
        for (int k = 1; k <= kMaxSeriesTerms; ++k) {
            power *= v2;
            const double next = sum + power / (2 * k + 1);
            if (next == sum) {
                return next;
            }
            sum = next;
        }
        return sum;
    }
    // Within a factor 2 the difference x − M is exact (Sterbenz) and ln(x/M) = log1p((x − M)/M)
    // carries one rounding of the quotient less than ln of a rounded ratio; x/M leaves the
    // double range only for an M next to the smallest doubles.
    const double ratio = x / M;
    double logRatio = 0.0;
    if (ratio > 0.5 && ratio < 2.0) {
        logRatio = std::log1p(difference / M);
    } else if (std::isfinite(ratio) && ratio > 0.0) {
        logRatio = std::log(ratio);
    } else {
        logRatio = std::log(x) - std::log(M);
    }
    return x * logRatio - difference;
}

// e^(−m) m^j / Γ(j + 1) = e^(−stirlingError(j) − deviance(j, m)) / √(2πj).
double logPoissonProbability(double j, double mean) {
    if (j == 0.0) {
        return -mean;
    }
    if (mean == 0.0) {
        return -HUGE_VAL;
    }
    return -stirlingError(j) - deviance(j, mean) - 0.5 * std::log(kTwoPi * j);
}

// With n = a + b, Γ(k) = √(2π) k^(k − 1/2) e^(−k + stirlingError(k)) gives
// x^a y^b / B(a, b) = √(ab / (2πn)) · e^(stirlingError(n) − stirlingError(a) − stirlingError(b)
// − deviance(a, nx) − deviance(b, ny)), every exponent a small difference.
double logBetaPrefactor(double x, double y, double a, double b) {
    const double n = a + b;
    return stirlingError(n) - stirlingError(a) - stirlingError(b) - deviance(a, n * x) -
           deviance(b, n * y) + 0.5 * std::log(a / kTwoPi * (b / n));
}

}  // namespace quorvel
