#include <cmath>
#include <limits>
#include <optional>

#include "numerics/calculators.h"
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
// Above this many degrees of freedom the start solves the full normal approximation.
constexpr double kFullApproximationDf = 3.0;
// Every finite t, on which the distribution function rises.
constexpr MonotoneRange kTRange{-std::numeric_limits<double>::max(),
                                std::numeric_limits<double>::max(), true};

// The t at which the normal approximation (t(1 − 1/(4ν)) − δ)/√(1 + t²/(2ν)) of the
// distribution function equals z: the root with the positive square root of the quadratic
// multiplied by 16ν², R its radicand and Q its leading coefficient. The approximation stays
// below (1 − 1/(4ν))√(2ν) in absolute value, so for Q <= 0 it never reaches z, and for R < 0
// (or NaN) the quadratic has no root: nothing then. Used for ν > 3 only.
std::optional<double> normalApproximationStart(double nu, double z, double delta) {
    if (!(nu > kFullApproximationDf)) {
        return std::nullopt;
    }
    const double R = 1.0 - 8.0 * nu + 8.0 * nu * delta * delta + 16.0 * nu * nu - 8.0 * nu * z * z;
    const double Q = 1.0 - 8.0 * nu + 16.0 * nu * nu - 8.0 * nu * z * z;
    if (!(R >= 0.0 && Q > 0.0)) {
        return std::nullopt;
    }
    return 4.0 * (nu * z * std::sqrt(R) + 4.0 * nu * nu * delta - nu * delta) / Q;
}
}  // namespace

double NoncentralT::percentagePoint(double cumP, int df, double delta) {
    if (!(cumP >= kMinValueCumP && cumP <= kMaxValueCumP)) {
        return reportFailure(kPercentageCumPOutOfRange);
    }
    if (df < 1 || df > kMaxDf) {
        return reportFailure(kPercentageDfOutOfRange);
    }
    this->cumP = cumP;
    this->delta = delta;
    this->df = df;
    return searchPercentagePoint();
}

double NoncentralT::percentagePointOfTail(TailProbability target, int df, double delta) {
    if (!isAcceptedTailProbability(target.probability)) {
        return reportFailure(kTailProbabilityOutOfRange);
    }
    if (df < 1 || df > kMaxDf) {
        return reportFailure(kPercentageDfOutOfRange);
    }
    cumP = lowerTailEquivalent(target);
    this->delta = delta;
    this->df = df;
    return searchPercentagePointOfTail(target);
}

double NoncentralT::twoSidedCriticalValue(double alpha, int df) {
    if (!isAcceptedTailProbability(alpha)) {
        return reportFailure(kTailProbabilityOutOfRange);
    }
    if (df < 1 || df > kMaxDf) {
        return reportFailure(kPercentageDfOutOfRange);
    }
    const TailProbability target{Tail::Upper, alpha / 2.0};
    cumP = lowerTailEquivalent(target);
    delta = 0.0;
    this->df = df;
    return searchPercentagePointOfTail(target);
}

double NoncentralT::searchPercentagePoint() {
    return searchPercentagePointOfTail(tailOfCumP(cumP));
}

// Secant search from a normal-approximation start on ln P of the target's tail; should it fail,
// again from z + δ, and then the bracketed fallback over all finite t. The messages of a
// recovered attempt are never shown.
double NoncentralT::searchPercentagePointOfTail(TailProbability target) {
    failed = 0;
    const int searchDf = df;
    const double searchDelta = delta;
    const TailProbability solved = inSmallerTail(target);
    const double z = normalQuantileOfTail(solved, calculators().normal());
    const double logTarget = std::log(solved.probability);
    // Both tails' residuals rise with t: ln P(T <= t) and −ln P(T > t).
    const double direction = solved.tail == Tail::Lower ? 1.0 : -1.0;
    auto residual = [this, searchDf, searchDelta, solved, logTarget,
                     direction](double x) -> std::optional<double> {
        failed = 0;
        const double logP = logTail(x, searchDf, searchDelta, solved.tail);
        if (failed) {
            return std::nullopt;
        }
        return direction * logRatioResidual(logP, logTarget);
    };
    // Near the ends of the CumP range the approximation's root can lie far out in a flat tail,
    // where the secant steps zig-zag without converging; z + δ lies nearer the centre.
    const double simpleStart = z + searchDelta;
    const std::optional<double> approximateStart =
        normalApproximationStart(searchDf, z, searchDelta);
    HeldMessages held(failures());
    const RootSearchResult search =
        approximateStart
            ? safeguardedSearch({*approximateStart, simpleStart}, residual, {}, kTRange)
            : safeguardedSearch({simpleStart}, residual, {}, kTRange);
    return answerOf(search, SearchFailureMessages::always(kPercentagePointNotFound), &held);
}

}  // namespace quorvel
