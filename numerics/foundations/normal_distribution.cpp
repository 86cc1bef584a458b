#include "numerics/foundations/normal_distribution.h"

#include <array>
#include <cmath>
#include <numbers>

#include "numerics/foundations/failure/failure_value.h"
#include "numerics/foundations/math_constants.h"

namespace quorvel {

namespace {
// Quantile result outside the accepted probabilities.
constexpr double kQuantileOutOfRange = kFailureValue;
// 1/√2 as the nearest double and the remainder of the exact value.
constexpr double kInvSqrt2High = 0.70710678118654757;
constexpr double kInvSqrt2Low = -4.8336466567264567e-17;
// ln √(2π) and √(2π).
constexpr double kSqrtTwoPi = 2.5066282746310002;
// Below z = −37 Φ(z) < 6e-300 nears the end of the normalized doubles; there ln Φ comes from
// the asymptotic series Φ(z) = φ(z)/|z| · Σ (−1)^k (2k−1)!!/z^(2k), whose terms fall below
// 1e-19 of the first within these many for |z| >= 37.
constexpr double kLogSeriesReach = -37.0;
constexpr int kMillsSeriesTerms = 8;

// ½·erfc(x) for x >= 0, the argument given as x + e with e the part of the exact argument that
// rounding dropped: erfc(x + e) = erfc(x)·(1 − e·H(x)) to first order, with H(x) =
// (2/√π)·e^(−x²)/erfc(x) the logarithmic slope, which for x >= 1 lies within 14% of 2x + 1/x;
// that suffices, the correction being a few units in the last place. Below x = 1 the
// uncorrected rounding costs at most 3e-16. Without the correction the rounding of z/√2 alone
// costs a relative z²·1.1e-16 (1.5e-13 at z = 37).
constexpr double kCorrectionFrom = 1.0;
double halfErfcCorrected(double x, double e) {
    const double value = 0.5 * std::erfc(x);
    return x < kCorrectionFrom ? value : value * (1.0 - e * (2.0 * x + 1.0 / x));
}

// The asymptotic series of Mills' ratio, Φ(z)·|z|/φ(z) = Σ (−1)^k (2k−1)!!/z^(2k), for z < −37.
double millsSeries(double z) {
    const double inverseSquare = 1.0 / (z * z);
    double term = 1.0;
    double sum = 1.0;
    for (int k = 1; k <= kMillsSeriesTerms; ++k) {
        term *= -(2.0 * k - 1.0) * inverseSquare;
        sum += term;
    }
    return sum;
}

// Φ(z) for z <= 0: ½·erfc(|z|/√2) with the rounding of |z|/√2 carried as a correction; below
// z = −37, where the library's erfc nears underflow and loses digits (1.4e-13 at −37.5),
// φ(z)/|z| times Mills' series, with e^(−z²/2) as e^(−hi/2)·e^(−lo/2) from z² = hi + lo exactly.
double lowerTail(double z) {
    if (z < kLogSeriesReach) {
        const double square = z * z;
        const double main = std::exp(-0.5 * square);
        // Below z = −38.6 e^(−z²/2) underflows, and so does Φ(z).
        if (main == 0.0) {
            return 0.0;
        }
        const double squareLow = std::fma(z, z, -square);
        return main * std::exp(-0.5 * squareLow) * millsSeries(z) / (-z * kSqrtTwoPi);
    }
    const double a = -z;
    const double x = a * kInvSqrt2High;
    const double e = std::fma(a, kInvSqrt2High, -x) + a * kInvSqrt2Low;
    return halfErfcCorrected(x, e);
}

// Wichura's rational function: numerator and denominator coefficients, lowest order first.
double ratio(const std::array<double, 8>& num, const std::array<double, 8>& den, double r) {
    double n = num[7];
    double d = den[7];
    for (int k = 6; k >= 0; --k) {
        n = n * r + num[k];
        d = d * r + den[k];
    }
    return n / d;
}

constexpr std::array<double, 8> kCentralNum{
    3.3871328727963666080e0, 1.3314166789178437745e+2, 1.9715909503065514427e+3,
    1.3731693765509461125e+4, 4.5921953931549871457e+4, 6.7265770927008700853e+4,
    3.3430575583588128105e+4, 2.5090809287301226727e+3};
constexpr std::array<double, 8> kCentralDen{
    1.0, 4.2313330701600911252e+1, 6.8718700749205790830e+2, 5.3941960214247511077e+3,
    2.1213794301586595867e+4, 3.9307895800092710610e+4, 2.8729085735721942674e+4,
    5.2264952788528545610e+3};
constexpr std::array<double, 8> kIntermediateNum{
    1.42343711074968357734e0, 4.63033784615654529590e0, 5.76949722146069140550e0,
    3.64784832476320460504e0, 1.27045825245236838258e0, 2.41780725177450611770e-1,
    2.27238449892691845833e-2, 7.74545014278341407640e-4};
constexpr std::array<double, 8> kIntermediateDen{
    1.0, 2.05319162663775882187e0, 1.67638483018380384940e0, 6.89767334985100004550e-1,
    1.48103976427480074590e-1, 1.51986665636164571966e-2, 5.47593808499534494600e-4,
    1.05075007164441684324e-9};
constexpr std::array<double, 8> kTailNum{
    6.65790464350110377720e0, 5.46378491116411436990e0, 1.78482653991729133580e0,
    2.96560571828504891230e-1, 2.65321895265761230930e-2, 1.24266094738807843860e-3,
    2.71155556874348757815e-5, 2.01033439929228813265e-7};
constexpr std::array<double, 8> kTailDen{
    1.0, 5.99832206555887937690e-1, 1.36929880922735805310e-1, 1.48753612908506148525e-2,
    7.86869131145613259100e-4, 1.84631831751005468180e-5, 1.42151175831644588870e-7,
    2.04426310338993978564e-15};
// AS 241's split points: |p − ½| <= 0.425 is the central region; beyond, r = √(−ln q) below 5
// the intermediate one.
constexpr double kCentralSplit = 0.425;
constexpr double kCentralShift = 0.180625;
constexpr double kTailSplit = 5.0;
constexpr double kIntermediateShift = 1.6;
}  // namespace

double NormalDistribution::cdf(double z) const {
    if (std::isnan(z) || std::isinf(z)) {
        return std::isnan(z) ? z : (z > 0.0 ? 1.0 : 0.0);
    }
    return z <= 0.0 ? lowerTail(z) : 1.0 - lowerTail(-z);
}

double NormalDistribution::complement(double z) const {
    return cdf(-z);
}

double NormalDistribution::logCdf(double z) const {
    if (std::isinf(z)) {
        return z > 0.0 ? 0.0 : z;
    }
    if (z >= kLogSeriesReach) {
        return z > 0.0 ? std::log1p(-lowerTail(-z)) : std::log(lowerTail(z));
    }
    // z² split exactly into its rounded value and remainder, so that −z²/2 is exact to the
    // last place of the logarithm.
    const double square = z * z;
    if (std::isinf(square)) {
        return -square;
    }
    const double squareLow = std::fma(z, z, -square);
    return -0.5 * square - 0.5 * squareLow - kLogSqrtTwoPi - std::log(-z) +
           std::log(millsSeries(z));
}

// Wichura, "Algorithm AS 241: The percentage points of the normal distribution", Applied
// Statistics 37 (1988), no. 3 (PPND16).
double NormalDistribution::quantile(double probability) const {
    if (!(probability > 0.0 && probability < 1.0)) {
        return kQuantileOutOfRange;
    }
    const double q = probability - 0.5;
    if (std::fabs(q) <= kCentralSplit) {
        const double r = kCentralShift - q * q;
        return q * ratio(kCentralNum, kCentralDen, r);
    }
    const double tail = q < 0.0 ? probability : 1.0 - probability;
    const double r = std::sqrt(-std::log(tail));
    const double value = r <= kTailSplit
                             ? ratio(kIntermediateNum, kIntermediateDen, r - kIntermediateShift)
                             : ratio(kTailNum, kTailDen, r - kTailSplit);
    return q < 0.0 ? -value : value;
}

double NormalDistribution::cdf(double value, double mu, double sigma) {
    x = value;
    mean = mu;
    standardDeviation = sigma;
    return cdf();
}

double NormalDistribution::cdf() const {
    return cdf((x - mean) / standardDeviation);
}

double NormalDistribution::quantile(double probability, double mu, double sigma) {
    p = probability;
    mean = mu;
    standardDeviation = sigma;
    return quantile();
}

double NormalDistribution::quantile() const {
    return mean + standardDeviation * quantile(p);
}

}  // namespace quorvel
