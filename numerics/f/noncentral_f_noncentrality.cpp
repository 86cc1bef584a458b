#include <cmath>
#include <optional>

#include "numerics/f/f_arguments.h"
#include "numerics/f/f_messages.h"
#include "numerics/f/noncentral_f.h"
#include "numerics/foundations/confidence_range.h"
#include "numerics/foundations/failure/held_messages.h"
#include "numerics/foundations/roots/safeguarded_search.h"
#include "numerics/foundations/tail_probability.h"

namespace quorvel {

using namespace f_arguments;
using namespace f_messages;

namespace {
// The relative difference of the searched tail from its target at which a search stops.
constexpr double kRelativeProbabilityTolerance = 1e-13;

}  // namespace

double NoncentralF::noncentrality(double fValue, int df1, int df2, double cumP, int method) {
    if (df1 <= 0 || df2 <= 0 || df1 > kMaxDf || df2 > kMaxDf) {
        return reportFailure(kNoncentralityDfOutOfRange);
    }
    if (!(cumP >= kMinCumP && cumP <= kMaxCumP)) {
        return reportFailure(kNoncentralityCumPOutOfRange);
    }
    return searchLambda(fValue, df1, df2, tailOfCumP(cumP), method);
}

double NoncentralF::noncentralityOfTail(double fValue, int df1, int df2, TailProbability target) {
    if (df1 <= 0 || df2 <= 0 || df1 > kMaxDf || df2 > kMaxDf) {
        return reportFailure(kNoncentralityDfOutOfRange);
    }
    if (!isAcceptedTailProbability(target.probability)) {
        return reportFailure(kTailProbabilityOutOfRange);
    }
    return searchLambda(fValue, df1, df2, target, methodNumber(FMethod::Exact));
}

// Secant search in λ on the target's tail, P(F' <= fValue; λ) or P(F' > fValue; λ), against
// its probability, started from the method-of-moments estimate: the λ whose noncentral F mean
// n(m + λ)/(m(n − 2)) equals fValue. Should it fail, a bracketed search inside 0 <= λ <= 10000
// takes over, and the messages of the attempt are shown only when that finds nothing either.
// The residual is the relative difference (tail/probability − 1) scaled so that the searches'
// absolute tolerance of 1e-10 on it is a relative 1e-13 in the probability, whatever its size.
double NoncentralF::searchLambda(double fValue, int df1, int df2, TailProbability target,
                                 int method) {
    failed = 0;
    const bool lower = target.tail == Tail::Lower;
    const auto tailAt = [&](double lambda) {
        return lower ? cdf(fValue, df1, df2, lambda, method)
                     : upper(fValue, df1, df2, lambda, method);
    };
    // P decreases in λ (and Q rises), so a target beyond the tail at λ = 0 has no solution.
    const double probabilityAtZero = tailAt(0.0);
    if (probabilityAtZero == failureValue()) {
        return failureValue();  // the distribution function itself failed
    }
    if (lower ? probabilityAtZero < target.probability : probabilityAtZero > target.probability) {
        reportFailure(kNoNonNegativeLambda);
        return 0.0;
    }
    this->fValue = fValue;
    this->df1 = df1;
    this->df2 = df2;
    this->method = method;
    this->cumP = lower ? target.probability : 1.0 - target.probability;

    const double residualScale = secant::kTolerance / kRelativeProbabilityTolerance;
    auto g = [&](double lambda) -> std::optional<double> {
        failed = 0;
        const double p = tailAt(lambda);
        if (failed) {
            return std::nullopt;
        }
        return (p / target.probability - 1.0) * residualScale;
    };
    const double m = df1;
    const double n = df2;
    const double estimate = std::fabs(fValue * m * (n - 2.0) / n - m);
    // λ has no values below 0, and the first slope is taken over the probe's actual distance,
    // so it has the right sign and size where the probe was held at 0 or reflected; a start at
    // or next to 0 is still searched from.
    SecantRules rules;
    rules.nonNegative = true;
    rules.slopeOverProbeDistance = true;
    rules.firstPassAlwaysRuns = true;
    HeldMessages held(failures());
    const MonotoneRange range{0.0, kMaxLambda, !lower};
    // The secant's two ways of stopping short have messages of their own.
    return answerOf(safeguardedSearch({estimate}, g, rules, range),
                    {.notBracketed = kLambdaNotWithinTolerance,
                     .notConverged = kLambdaNotConverged,
                     .outsideTolerance = kLambdaNotWithinTolerance},
                    &held);
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
        reportFailure(kDf1OutOfRange);
        return;
    }
    if (df2 > kMaxDf || df2 < 1) {
        reportFailure(kDf2OutOfRange);
        return;
    }
    if (!isAcceptedConfidence(confidence)) {
        reportFailure(kConfidenceOutOfRange);
        return;
    }
    if (!(fValue >= 0.0)) {
        reportFailure(kNegativeFValue);
        return;
    }
    const double probabilityAtZero = cdf(fValue, df1, df2, 0.0, method);
    if (probabilityAtZero == failureValue()) {
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
    // The tails reach down to (1 − .9999)/2, below the public CumP range, so the interval
    // searches without that check; the Df have been checked above. The lower limit leaves α
    // above fValue and is solved on the upper tail.
    upper = searchLambda(fValue, df1, df2, {Tail::Lower, alpha}, method);
    const double upperTailAtZero = this->upper(fValue, df1, df2, 0.0, method);
    if (upperTailAtZero >= alpha) {
        lower = 0.0;
        return;
    }
    lower = searchLambda(fValue, df1, df2, {Tail::Upper, alpha}, method);
}

}  // namespace quorvel
