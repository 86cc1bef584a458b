#include <cmath>

#include "numerics/calculators.h"
#include "numerics/chisquare/chi_square_arguments.h"
#include "numerics/chisquare/noncentral_chi_square.h"
#include "numerics/foundations/failure/held_messages.h"
#include "numerics/foundations/normal_distribution.h"

namespace quorvel {

using namespace chi_square_arguments;

namespace {
constexpr double kMinConfidence = 0.8;
constexpr double kMaxConfidence = 0.9999;
}  // namespace

double NoncentralChiSquare::noncentrality(double x, int df, double cumP) {
    if (!isChiSquareValue(x)) {
        return reportFailure(kNegativeChiSquare);
    }
    if (!isDegreesOfFreedom(df)) {
        return reportFailure(kDfOutOfRange);
    }
    if (!isCumulativeProbability(cumP)) {
        return reportFailure(kCumPOutOfRange);
    }
    chiSquare = x;
    this->df = df;
    this->cumP = cumP;
    return searchLambda();
}

double NoncentralChiSquare::chiSquareSpread(double df, double lambda) {
    return std::sqrt(2.0 * df + 4.0 * lambda);
}

// Start: two normal-approximation steps, each with the spread averaged over both ends of the
// step, and one secant step between them; then a secant search on λ, which lowers cdf.
double NoncentralChiSquare::searchLambda() {
    constexpr double kZeroAnswerTolerance = 1e-10;
    constexpr double kLowestStart = 1.0;
    const double x = chiSquare;
    const int n = df;
    const double p = cumP;
    const double d = n;
    failed = 0;

    if (cdf(x, n, 0.0) < p) {
        // Not a calculation error: the request has no answer, so `failed` stays 0.
        failures().reporter().show(
            "No non-negative value of Lambda will produce the desired cumulative probability.");
        return failureValue();
    }

    // The start's evaluations are not checked for failure: the returned numbers only move the
    // start, which the search below checks again. Their messages are held with the search's
    // and shown only when no λ is found.
    HeldMessages held(failures());
    const double z = calculators().normal().quantile(p);
    const double lambda0 = x - d < 0.0 ? 0.0 : x - d;
    double spread0 = chiSquareSpread(d, lambda0);
    double trial = lambda0 - spread0 * z;
    double spread1 = chiSquareSpread(d, trial);
    double lambda1 = lambda0 - z * (spread0 + spread1) / 2.0;
    if (!(lambda1 >= 0.0)) {
        lambda1 = 0.0;
    }
    const double residual1 = cdf(x, n, lambda1) - p;

    spread0 = chiSquareSpread(d, lambda1);
    const double u = (x - d - lambda1) / spread0;
    trial = lambda1 - (u - z) * spread0;
    spread1 = chiSquareSpread(d, trial);
    double lambda2 = lambda1 - (u - z) * (spread0 + spread1) / 2.0;
    if (!(lambda2 >= 0.0)) {
        lambda2 = 0.0;
    }
    const double residual2 = cdf(x, n, lambda2) - p;

    // Equal residuals (both stages left λ where it was) give no secant: keep the second stage.
    double start = lambda2;
    if (residual1 != residual2) {
        start = lambda2 - residual2 * (lambda1 - lambda2) / (residual1 - residual2);
    }
    if (!(start > kLowestStart)) {
        start = kLowestStart;
    }

    if (std::fabs(cdf(x, n, 0.0) - p) <= kZeroAnswerTolerance) {
        return 0.0;
    }
    return secantSearch(SearchedArgument::Lambda, start, x, n, p, held);
}

// Inverts the distribution function at both tails: the upper limit is the λ that puts x at
// the lower tail α = (1 − C)/2, the lower limit the λ that puts it at 1 − α.
void NoncentralChiSquare::confidenceLimits(double x, int df, double confidence, double& lower,
                                           double& upper) {
    chiSquare = x;
    this->df = df;
    this->confidence = confidence;
    if (!isChiSquareValue(x)) {
        reportFailure(kNegativeChiSquare);
        return;
    }
    if (!isDegreesOfFreedom(df)) {
        reportFailure(kDfOutOfRange);
        return;
    }
    if (!(confidence >= kMinConfidence && confidence <= kMaxConfidence)) {
        reportFailure("Confidence out of range. Limits: .8 <= Confidence <= .9999");
        return;
    }
    const double alpha = (1.0 - confidence) / 2.0;
    if (cdf(x, df, 0.0) <= alpha) {
        lower = 0.0;
        upper = 0.0;
        return;
    }
    upper = tailNoncentrality(x, df, alpha);
    lower = cdf(x, df, 0.0) > 1.0 - alpha ? tailNoncentrality(x, df, 1.0 - alpha) : 0.0;
}

// The interval's tails reach down to (1 − .9999)/2, below the public CumP range, so its searches
// skip that check; x and Df have been checked.
double NoncentralChiSquare::tailNoncentrality(double x, int df, double tail) {
    chiSquare = x;
    this->df = df;
    cumP = tail;
    return searchLambda();
}

}  // namespace quorvel
