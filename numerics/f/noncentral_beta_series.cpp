#include <algorithm>
#include <cmath>

#include "numerics/f/noncentral_beta.h"
#include "numerics/foundations/gamma_beta/log_gamma.h"

namespace quorvel {

namespace {
constexpr int kMaxTerms = 100000;
constexpr double kStoppingTerm = 1e-9;  // absolute, before the factor e^(−λ/2)
constexpr double kScaleStep = 1e50;     // the decimal exponents move in steps of 50
constexpr double kScaleFloor = 1e-50;
constexpr int kScaleDigits = 50;
constexpr double kStartEstimate = 1e300;
constexpr double kOverflowEstimate = 1e300;
// Beyond this decimal exponent 10^W itself leaves the double range although the term
// w·t·10^W may not; the term is then formed through logarithms.
constexpr int kLargestDirectExponent = 300;
constexpr double kLn10 = 2.302585092994046;

constexpr const char* kBetaFailed = "Failure in Incomplete Beta Calculation";
constexpr const char* kTooManyTerms = "Iteration Limit Exceeded in Noncentral Beta";
constexpr const char* kOverflow = "Overflow error in Noncentral Beta routine";

// w·t·10^W for w > 0, t >= 0.
double scaledTerm(double w, double t, int W) {
    if (W <= kLargestDirectExponent) {
        return w * t * std::pow(10.0, W);
    }
    if (t == 0.0) {
        return 0.0;
    }
    return std::exp(std::log(w) + std::log(t) + W * kLn10);
}
}  // namespace

double NoncentralBeta::evaluateCdf() {
    return cdf(x, a, b, lambda);
}

// Poisson mixture of incomplete beta functions, summed upwards from j = 0 without the factor
// e^(−c) (c = λ/2), which is applied at the end in logarithmic form. The running sum is
// S·10^R and the weight of the next term w·10^(R+W), so both stay inside the double range for
// λ up to 10000, where e^(−c) alone underflows.
double NoncentralBeta::cdf(double x, double a, double b, double lambda) {
    double S = incompleteBeta(x, a, b);
    if (failed) {
        return reportFailure(kBetaFailed);
    }
    const double c = lambda / 2.0;
    if (c == 0.0) {
        return S;
    }
    const double limit = decimalLog(kStoppingTerm);
    const double E = std::exp(-c);
    double K0 = kStartEstimate;
    double j = 0.0;
    int count = 0;
    double w = c;
    int R = 0;
    int W = 0;
    double nextSum = S;
    while (true) {
        j += 1.0;
        ++count;
        if (count > kMaxTerms) {
            return reportFailure(kTooManyTerms);
        }
        const double t = incompleteBeta(x, a + j, b);
        if (failed) {
            return reportFailure(kBetaFailed);
        }
        nextSum = S + scaledTerm(w, t, W);
        if (nextSum > kScaleStep) {
            nextSum /= kScaleStep;
            S /= kScaleStep;
            w /= kScaleStep;
            R += kScaleDigits;
        }
        if (w > kScaleStep) {
            w /= kScaleStep;
            W += kScaleDigits;
        }
        if (nextSum < kScaleFloor && nextSum != 0.0) {
            nextSum *= kScaleStep;
            S *= kScaleStep;
            w *= kScaleStep;
            R -= kScaleDigits;
        }
        if (w < kScaleFloor) {
            w *= kScaleStep;
            W -= kScaleDigits;
        }
        w = w * c / (j + 1.0);
        if (t == 0.0) {
            break;
        }
        // t bounds the next incomplete beta value from above; r the ratio of the next weight.
        const double q = c / (j + 2.0) + E;
        const double r = q > 1.0 ? 1.0 : q;
        const double K = decimalLog(w) + decimalLog(t) + decimalLog(r) + R + W;
        if (!(K > limit)) {
            break;
        }
        if (K > kOverflowEstimate && K > K0) {
            return reportFailure(kOverflow);
        }
        if (nextSum == S) {
            break;
        }
        S = nextSum;
        K0 = K;
    }
    if (nextSum == 0.0) {
        return 0.0;
    }
    // Rounding in a sum of thousands of terms can leave the result a few units above 1.
    return std::min(1.0, std::exp(std::log(nextSum) + R * kLn10 - c));
}

}  // namespace quorvel
