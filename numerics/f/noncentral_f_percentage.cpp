#include <cmath>

#include "numerics/calculators.h"
#include "numerics/f/f_arguments.h"
#include "numerics/f/f_messages.h"
#include "numerics/f/noncentral_f.h"
#include "numerics/f/three_moment.h"
#include "numerics/foundations/normal_distribution.h"
#include "numerics/foundations/roots/root_bracketing.h"
#include "numerics/foundations/tail_probability.h"

namespace quorvel {

using namespace f_arguments;
using namespace f_messages;

namespace {
// The first bracket spans ±1 % around the rough central start and ±0.1 % around the closer
// three-moment start.
constexpr double kCentralBracketBelow = 0.99;
constexpr double kCentralBracketAbove = 1.01;
constexpr double kNoncentralBracketBelow = 0.999;
constexpr double kNoncentralBracketAbove = 1.001;
// Brackets used when the start value is not a positive number.
constexpr double kCentralFallbackLo = 0.0;
constexpr double kCentralFallbackHi = 0.5;
constexpr double kNoncentralFallbackLo = 1e-6;
constexpr double kNoncentralFallbackHi = 2e-6;

constexpr SearchFailureMessages kCentralSearch{kCentralNotBracketed, kCentralNotConverged,
                                               kCentralNotConverged};
constexpr SearchFailureMessages kNoncentralSearch{kNoncentralNotBracketed, kNoncentralNotConverged,
                                                  kNoncentralNotConverged};

// Start value of the central search from the normal quantile z of cumP: for m, n > 1.1 the
// normal approximation of log F after Abramowitz and Stegun 26.6.16 (here with the cube of z
// in l; only the first bracket depends on it), else for n > 4 the normal approximation with
// the mean and standard deviation of central F, else 1. NaN when h + l < 0.
double centralStartValue(double m, double n, double z) {
    if (m > 1.1 && n > 1.1) {
        const double h = 2.0 / (1.0 / (m - 1.0) + 1.0 / (n - 1.0));
        const double l = (z * z * z - 3.0) / 6.0;
        const double w = z * std::sqrt(h + l) / h -
                         (1.0 / (m - 1.0) + 1.0 / (n - 1.0)) * (l + 5.0 / 6.0 - 2.0 / (3.0 * h));
        return std::exp(2.0 * w);
    }
    if (n > 4.0) {
        const double mean = (n / m) * m / (n - 2.0);
        const double standardDeviation =
            (n / m) * std::sqrt(2.0 * (m * m / (n - 2.0) + m) / ((n - 2.0) * (n - 4.0)));
        return z * standardDeviation + mean;
    }
    return 1.0;
}

// Beyond this |z| no double probability lies in the normal's tail (Φ(−38.5) < 1e-323); a
// quantile outside it is the normal quantile's out-of-range value.
constexpr double kLargestNormalQuantile = 38.5;

// The normal quantile of the target's lower-tail probability, from the tail it is given in;
// NaN (no start value) where the normal quantile does not reach the target.
double normalQuantileOf(const NormalDistribution& normal, const TailProbability& target) {
    const double z = normal.quantile(target.probability);
    if (!(std::fabs(z) <= kLargestNormalQuantile)) {
        return std::nan("");
    }
    return target.tail == Tail::Lower ? z : -z;
}

// A start value is usable where it is a positive number (an approximation taken far into a
// tail can overflow to infinity).
bool isUsableStart(double x) {
    return x > 0.0 && std::isfinite(x);
}

// x -> P(x) − p for a lower-tail target, p − Q(x) for an upper-tail one (rising in x either
// way), with P and Q the exact distribution function's tails for (ν1, ν2, λ); nothing once an
// evaluation has failed, so that a failure ends the search after its one message.
struct ExactTailResidual {
    NoncentralF& distribution;
    double nu1;
    double nu2;
    double lambda;
    TailProbability target;

    std::optional<double> operator()(double x) const {
        const double p = distribution.exactTail(x, nu1, nu2, lambda, target.tail);
        if (distribution.failed) {
            return std::nullopt;
        }
        return target.tail == Tail::Lower ? p - target.probability : target.probability - p;
    }

    // The residual at x = 0, where P = 0 and Q = 1.
    double atZero() const {
        return target.tail == Tail::Lower ? -target.probability : target.probability - 1.0;
    }
};
}  // namespace

// Central F quantile by bracket expansion and Brent's method on the residual in the target's
// tail (Press et al.,
// Numerical Recipes, zbrac and zbrent), P the central F distribution function.
RootSearchResult NoncentralF::searchCentralPercentagePoint(double nu1, double nu2,
                                                           TailProbability target) {
    const double z = normalQuantileOf(calculators().normal(), target);
    const double x0 = centralStartValue(nu1, nu2, z);
    const bool startIsPositive = isUsableStart(x0);
    const double lo = startIsPositive ? kCentralBracketBelow * x0 : kCentralFallbackLo;
    const double hi = startIsPositive ? kCentralBracketAbove * x0 : kCentralFallbackHi;
    ExactTailResidual f{*this, nu1, nu2, 0.0, target};
    // F values are never negative: an expansion below 0 stops at 0, where P = 0.
    return findNonNegativeRoot(lo, hi, f, ExpansionFloor{0.0, f.atZero()});
}

double NoncentralF::centralPercentagePoint(double nu1, double nu2, double cumP, int /*method*/) {
    failed = 0;
    if (cumP == 0.0) {
        return 0.0;
    }
    return answerOf(searchCentralPercentagePoint(nu1, nu2, tailOfCumP(cumP)), kCentralSearch);
}

double NoncentralF::centralPercentagePointOfTail(double nu1, double nu2, TailProbability target) {
    failed = 0;
    if (!(target.probability >= kSmallestTailProbability && target.probability < 1.0)) {
        return reportFailure(kTailProbabilityOutOfRange);
    }
    return answerOf(searchCentralPercentagePoint(nu1, nu2, target), kCentralSearch);
}

// Noncentral F quantile: Tiku's (1966) three-moment approximation F' ≈ c·G − d, G central F on
// (ν, n) degrees of freedom, as the start of bracket expansion and Brent's method on the exact
// distribution function (Press et al., Numerical Recipes, zbrac and zbrent).
double NoncentralF::percentagePoint(double cumP, int df1, int df2, double lambda, int method) {
    failed = 0;
    if (df1 <= 0 || df2 <= 0 || df1 > kMaxDf || df2 > kMaxDf) {
        return reportFailure(kPercentageDfOutOfRange);
    }
    if (!(lambda >= 0.0 && lambda <= kMaxLambda)) {
        return reportFailure(kPercentageLambdaOutOfRange);
    }
    if (!(cumP >= kMinCumP && cumP <= kMaxCumP)) {
        return reportFailure(kPercentageCumPOutOfRange);
    }
    return searchPercentagePoint(tailOfCumP(cumP), df1, df2, lambda, method);
}

double NoncentralF::percentagePointOfTail(TailProbability target, int df1, int df2, double lambda) {
    failed = 0;
    if (df1 <= 0 || df2 <= 0 || df1 > kMaxDf || df2 > kMaxDf) {
        return reportFailure(kPercentageDfOutOfRange);
    }
    if (!(lambda >= 0.0 && lambda <= kMaxLambda)) {
        return reportFailure(kPercentageLambdaOutOfRange);
    }
    if (!isAcceptedTailProbability(target.probability)) {
        return reportFailure(kTailProbabilityOutOfRange);
    }
    return searchPercentagePoint(target, df1, df2, lambda, methodNumber(FMethod::Exact));
}

double NoncentralF::searchPercentagePoint(TailProbability target, int df1, int df2, double lambda,
                                          int method) {
    if (lambda == 0.0) {
        return answerOf(searchCentralPercentagePoint(df1, df2, target), kCentralSearch);
    }
    const double m = df1;
    const double n = df2;
    const ThreeMomentParameters tiku = threeMomentParameters(m, n, lambda);
    // ν is not a positive number for n <= 2 and exceeds the range of the distribution function
    // for some large m and λ: the approximation does not exist there.
    const bool approximationExists = tiku.nu > 0.0 && tiku.nu <= kMaxDf;
    if (method == methodNumber(FMethod::ThreeMoment)) {
        if (!approximationExists) {
            return reportFailure(kParameterOutOfRange);
        }
        const double q = answerOf(searchCentralPercentagePoint(tiku.nu, n, target), kCentralSearch);
        return failed ? failureValue() : tiku.c * q - tiku.d;
    }
    // The approximation only places the first bracket. Where it cannot be had, the search
    // starts next to 0 instead, without troubling the user with the start's own failure.
    double lo = kNoncentralFallbackLo;
    double hi = kNoncentralFallbackHi;
    if (approximationExists) {
        const RootSearchResult central = searchCentralPercentagePoint(tiku.nu, n, target);
        const double x0 = tiku.c * central.root - tiku.d;
        if (central.status == RootSearchStatus::Found && isUsableStart(x0)) {
            lo = kNoncentralBracketBelow * x0;
            hi = kNoncentralBracketAbove * x0;
        }
    } else {
        // Patnaik's two-moment approximation (Biometrika 36, 1949), F' ≈ ((m + λ)/m)·G with G
        // central F on ((m + λ)²/(m + 2λ), n) degrees of freedom, which exists wherever that
        // ν is in range (λ near 10000 with small m, where Tiku's ν is not): a start ±1 % wide
        // instead of an expansion from next to 0 through two dozen evaluations.
        const double nu = (m + lambda) * (m + lambda) / (m + 2.0 * lambda);
        if (nu <= kMaxDf) {
            const RootSearchResult central = searchCentralPercentagePoint(nu, n, target);
            const double x0 = (m + lambda) / m * central.root;
            if (central.status == RootSearchStatus::Found && isUsableStart(x0)) {
                lo = kCentralBracketBelow * x0;
                hi = kCentralBracketAbove * x0;
            }
        }
    }
    failed = 0;
    ExactTailResidual f{*this, m, n, lambda, target};
    // No floor: below 0 the distribution function is 0 (its complement 1), so f = f.atZero().
    const RootSearchResult search = findNonNegativeRoot(lo, hi, f, std::nullopt);
    return answerOf(search, kNoncentralSearch);
}

}  // namespace quorvel
