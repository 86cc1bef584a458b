#include <cmath>
#include <optional>

#include "numerics/f/f_limits.h"
#include "numerics/f/noncentral_f.h"

namespace quorvel {

using namespace f_limits;

namespace {
constexpr int kMaxPasses = 10000;
constexpr double kProbeStep = 1e-4;  // relative to λ
constexpr double kTolerance = 1e-10;
constexpr double kSmallestSlope = 1e-35;
constexpr double kSmallestConfidence = 0.8;
constexpr double kLargestConfidence = 0.9999;

constexpr const char* kDfOutOfRange =
    "F distribution parameter out of range. Limits: 1 <= Df <= 10000";
constexpr const char* kCumPOutOfRange = "CumP out of range. Limits: .0001 <= CumP <= .9999";
constexpr const char* kNoNonNegativeLambda =
    "No non-negative value of Lambda can be found. Returning 0.";
constexpr const char* kNotConverged = "Lambda-finding algorithm failed to converge.";
constexpr const char* kNotWithinTolerance =
    "Caution: Probability value not within tolerance for this value of Lambda.";
}  // namespace

// Secant search in λ on P(F' <= fValue; λ) − cumP, started from the method-of-moments
// estimate: the λ whose noncentral F mean n(m + λ)/(m(n − 2)) equals fValue.
double NoncentralF::noncentrality(double fValue, int df1, int df2, double cumP, int method) {
    if (df1 <= 0 || df2 <= 0 || df1 > kMaxDf || df2 > kMaxDf) {
        return reportFailure(kDfOutOfRange);
    }
    if (!(cumP >= kSmallestCumP && cumP <= kLargestCumP)) {
        return reportFailure(kCumPOutOfRange);
    }
    failed = 0;
    // P decreases in λ, so a target above P(λ = 0) has no solution.
    const double probabilityAtZero = cdf(fValue, df1, df2, 0.0, method);
    if (probabilityAtZero < 0.0) {
        return failureValue();  // the distribution function itself failed
    }
    if (probabilityAtZero < cumP) {
        reportFailure(kNoNonNegativeLambda);
        return 0.0;
    }
    this->fValue = fValue;
    this->df1 = df1;
    this->df2 = df2;
    this->method = method;
    this->cumP = cumP;

    auto g = [&](double lambda) -> std::optional<double> {
        const double p = cdf(fValue, df1, df2, lambda, method);
        if (failed) {
            return std::nullopt;
        }
        return p - cumP;
    };
    const double m = df1;
    const double n = df2;
    double estimate = std::fabs(fValue * m * (n - 2.0) / n - m);
    std::optional<double> value = g(estimate);
    if (!value) {
        return failureValue();
    }
    double G = *value;
    // The first slope comes from a probe just below the estimate, held at 0 or reflected to
    // the other side of a zero estimate; it is taken over the probe's actual distance, so it
    // has the right sign and size there too.
    const double h = kProbeStep * estimate > kTolerance ? kProbeStep * estimate : kTolerance;
    double next = estimate - h;
    if (next < 0.0) {
        next = estimate > 0.0 ? 0.0 : -next;
    }
    value = g(next);
    if (!value) {
        return failureValue();
    }
    double slope = (G - *value) / (estimate - next);
    double previous = 0.0;
    int passes = 1;
    // The step test takes the new point before it is held at 0, so a step that leaves the
    // domain is not mistaken for convergence. Before the first pass there is no step yet, so
    // a start at or next to λ = 0 is still searched from.
    while ((passes == 1 || std::fabs(next - previous) > kTolerance) && passes < kMaxPasses &&
           std::fabs(G) > kTolerance && std::fabs(slope) >= kSmallestSlope) {
        ++passes;
        next = estimate - G / slope;
        previous = estimate;
        const double previousG = G;
        estimate = next < 0.0 ? 0.0 : next;
        value = g(estimate);
        if (!value) {
            return failureValue();
        }
        G = *value;
        slope = (previousG - G) / (previous - estimate);
    }
    if (passes >= kMaxPasses) {
        return reportFailure(kNotConverged);
    }
    if (!(std::fabs(G) <= kTolerance)) {
        return reportFailure(kNotWithinTolerance);
    }
    return estimate;
}

// Confidence interval for λ by inverting the distribution function, which decreases in λ:
// the upper limit leaves probability α = (1 − confidence)/2 below fValue, the lower 1 − α.
void NoncentralF::confidenceLimits(double fValue, int df1, int df2, double confidence, int method,
                                   double& lower, double& upper) {
    this->fValue = fValue;
    this->df1 = df1;
    this->df2 = df2;
    this->confidence = confidence;
    const double alpha = (1.0 - confidence) / 2.0;
    if (df1 > kMaxDf || df1 < 1) {
        reportFailure("Df1 out of range.");
        return;
    }
    if (df2 > kMaxDf || df2 < 1) {
        reportFailure("Df2 out of range.");
        return;
    }
    if (!(confidence >= kSmallestConfidence && confidence <= kLargestConfidence)) {
        reportFailure("Confidence out of range. Limits: .80 to .9999");
        return;
    }
    if (!(fValue >= 0.0)) {
        reportFailure("F Value must be non-negative.");
        return;
    }
    const double probabilityAtZero = cdf(fValue, df1, df2, 0.0, method);
    if (probabilityAtZero < 0.0) {
        // The distribution function itself failed.
        lower = failureValue();
        upper = failureValue();
        return;
    }
    // Even at λ = 0 the observed value lies in the lower tail: no λ >= 0 reaches either end.
    if (probabilityAtZero <= alpha) {
        upper = 0.0;
        lower = 0.0;
        return;
    }
    upper = noncentrality(fValue, df1, df2, alpha, method);
    if (probabilityAtZero <= 1.0 - alpha) {
        lower = 0.0;
        return;
    }
    lower = noncentrality(fValue, df1, df2, 1.0 - alpha, method);
}

}  // namespace quorvel
