#include <cmath>

#include "numerics/calculators.h"
#include "numerics/chisquare/chi_square_arguments.h"
#include "numerics/chisquare/chi_square_messages.h"
#include "numerics/chisquare/chi_square_targets.h"
#include "numerics/chisquare/noncentral_chi_square.h"
#include "numerics/foundations/confidence_range.h"
#include "numerics/foundations/failure/held_messages.h"
#include "numerics/foundations/normal_distribution.h"
#include "numerics/foundations/roots/secant_search.h"

namespace quorvel {

using namespace chi_square_arguments;
using namespace chi_square_messages;
using namespace chi_square_targets;

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
    target = targetOfCumP(cumP);
    return searchLambda();
}

double NoncentralChiSquare::noncentralityOfTail(double x, int df, TailProbability target) {
    if (!isChiSquareValue(x)) {
        return reportFailure(kNegativeChiSquare);
    }
    if (!isDegreesOfFreedom(df)) {
        return reportFailure(kDfOutOfRange);
    }
    if (!isAcceptedTailProbability(target.probability)) {
        return reportFailure(kTailProbabilityOutOfRange);
    }
    chiSquare = x;
    this->df = df;
    this->target = target;
    return searchLambda();
}

double NoncentralChiSquare::chiSquareSpread(double df, double lambda) {
    return std::sqrt(2.0 * df + 4.0 * lambda);
}

// Start: two normal-approximation steps, each with the spread averaged over both ends of the
// step, and one secant step between them; then a secant search on λ, which lowers the lower
// tail and raises the upper one.
double NoncentralChiSquare::searchLambda() {
    constexpr double kLowestStart = 1.0;
    const double x = chiSquare;
    const int n = df;
    const TailProbability goal = target;
    const bool lowerTail = goal.tail == Tail::Lower;
    const double d = n;
    failed = 0;

    const double tailAtZero = lowerTail ? cdf(x, n, 0.0) : upper(x, n, 0.0);
    if (lowerTail ? tailAtZero < goal.probability : tailAtZero > goal.probability) {
        // Not a calculation error: the request has no answer, so `failed` stays 0.
        failures().reporter().show(kNoNonNegativeLambda);
        return failureValue();
    }

    // The start's evaluations are not checked for failure: the returned numbers only move the
    // start, which the search below checks again. Their messages are held with the search's
    // and shown only when no λ is found.
    HeldMessages held(failures());
    const double z = startQuantile(calculators().normal(), goal);
    // The start's residuals are lower-tail differences, cdf − cumP, in either tail.
    const double p = lowerTail ? goal.probability : 1.0 - goal.probability;
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

    if (std::fabs(searchResidual(SearchedArgument::Lambda, 0.0, x, n, goal)) <=
        secant::kTolerance) {
        return 0.0;
    }
    return secantSearch(SearchedArgument::Lambda, start, x, n, goal, held);
}

// Inverts the distribution function at both tails: the upper limit is the λ that puts x at
// the lower tail α = (1 − C)/2, the lower limit the λ that puts it at the upper tail α.
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
    if (!isAcceptedConfidence(confidence)) {
        reportFailure(kConfidenceOutOfRange);
        return;
    }
    const double alpha = (1.0 - confidence) / 2.0;
    if (cdf(x, df, 0.0) <= alpha) {
        lower = 0.0;
        upper = 0.0;
        return;
    }
    upper = tailNoncentrality(x, df, {Tail::Lower, alpha});
    lower = this->upper(x, df, 0.0) < alpha ? tailNoncentrality(x, df, {Tail::Upper, alpha}) : 0.0;
}

// The interval's tails reach down to (1 − .9999)/2, below the public CumP range, so its searches
// skip that check; x and Df have been checked.
double NoncentralChiSquare::tailNoncentrality(double x, int df, TailProbability tail) {
    chiSquare = x;
    this->df = df;
    // cumP keeps the lower-tail probability of the search, as the other searches store it.
    cumP = tail.tail == Tail::Lower ? tail.probability : 1.0 - tail.probability;
    target = tail;
    return searchLambda();
}

}  // namespace quorvel
