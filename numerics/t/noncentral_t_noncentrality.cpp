#include <cmath>
#include <limits>
#include <optional>

#include "numerics/calculators.h"
#include "numerics/foundations/confidence_range.h"
#include "numerics/foundations/failure/held_messages.h"
#include "numerics/foundations/normal_distribution.h"
#include "numerics/foundations/roots/safeguarded_search.h"
#include "numerics/t/noncentral_t.h"
#include "numerics/t/t_arguments.h"
#include "numerics/t/t_messages.h"
#include "numerics/t/tail_search.h"

namespace quorvel {

using namespace t_arguments;
using namespace t_messages;

namespace {
// The accepted δ, on which the distribution function at a fixed t falls.
constexpr MonotoneRange kDeltaRange{-kMaxAbsDelta, kMaxAbsDelta, false};
}  // namespace

double NoncentralT::noncentrality(double t, int df, double cumP) {
    if (df < 1 || df > kMaxDf) {
        return reportFailure(kDfOutOfRange);
    }
    if (!(cumP >= kMinDeltaCumP && cumP <= kMaxDeltaCumP)) {
        return reportFailure(kNoncentralityCumPOutOfRange);
    }
    tValue = t;
    this->df = df;
    this->cumP = cumP;
    return searchDelta();
}

double NoncentralT::noncentralityOfTail(double t, int df, TailProbability target) {
    if (df < 1 || df > kMaxDf) {
        return reportFailure(kDfOutOfRange);
    }
    if (!isAcceptedTailProbability(target.probability)) {
        return reportFailure(kTailProbabilityOutOfRange);
    }
    tValue = t;
    this->df = df;
    cumP = lowerTailEquivalent(target);
    return searchDeltaOfTail(target);
}

// Solves (t(1 − 1/(4ν)) − δ)/√(1 + t²/(2ν)) = z, the normal approximation of the distribution
// function, for δ.
double NoncentralT::deltaStartValue(double t, int df, double cumP) {
    return deltaStartForZ(t, df, calculators().normal().quantile(cumP));
}

double NoncentralT::searchDelta() {
    return searchDeltaOfTail(tailOfCumP(cumP));
}

// Secant search on δ, on which ln P(T <= t) and −ln P(T > t) at the stored t decrease, with
// the bracketed fallback inside |δ| <= 5000; the messages of a recovered attempt are never
// shown.
double NoncentralT::searchDeltaOfTail(TailProbability target) {
    return searchDeltaOfTailWithin(target, kMaxDf);
}

double NoncentralT::searchDeltaOfTailWithin(TailProbability target, int largestDf) {
    failed = 0;
    const double searchT = tValue;
    const int searchDf = df;
    const TailProbability solved = inSmallerTail(target);
    const double start =
        deltaStartForZ(searchT, searchDf, normalQuantileOfTail(solved, calculators().normal()));
    const double logTarget = std::log(solved.probability);
    const double direction = solved.tail == Tail::Lower ? 1.0 : -1.0;
    auto residual = [this, searchT, searchDf, solved, logTarget, direction,
                     largestDf](double d) -> std::optional<double> {
        failed = 0;
        const double logP = logTailWithin(searchT, searchDf, d, solved.tail, largestDf);
        if (failed) {
            return std::nullopt;
        }
        return direction * logRatioResidual(logP, logTarget);
    };
    HeldMessages held(failures());
    return answerOf(safeguardedSearch({start}, residual, {}, kDeltaRange),
                    SearchFailureMessages::always(kDeltaNotFound), &held);
}

bool NoncentralT::acceptsIntervalArguments(double t, int df, double level) {
    if (df < 1) {
        reportFailure(kIntervalDfOutOfRange);
        return false;
    }
    if (!isAcceptedConfidence(level)) {
        reportFailure(kConfidenceOutOfRange);
        return false;
    }
    tValue = t;
    this->df = df;
    confidence = level;
    return true;
}

void NoncentralT::confidenceLimits(double t, int df, double level, double& lower, double& upper) {
    if (!acceptsIntervalArguments(t, df, level)) {
        return;
    }
    const double tailProbability = (1.0 - level) / 2.0;
    // The upper limit first: the distribution function decreases in δ.
    upper = noncentrality(t, df, tailProbability);
    lower = noncentrality(t, df, 1.0 - tailProbability);
}

// The limits of confidenceLimits with its checks, searched without the 100000 Df bound: the
// distribution function is the same integral over the scale at every Df.
void NoncentralT::confidenceLimitsAtAnyDf(double t, int df, double level, double& lower,
                                          double& upper) {
    if (!acceptsIntervalArguments(t, df, level)) {
        return;
    }
    const double tailProbability = (1.0 - level) / 2.0;
    constexpr int kAnyDf = std::numeric_limits<int>::max();
    upper = searchDeltaOfTailWithin({Tail::Lower, tailProbability}, kAnyDf);
    tValue = t;
    this->df = df;
    lower = searchDeltaOfTailWithin({Tail::Upper, tailProbability}, kAnyDf);
}

}  // namespace quorvel
