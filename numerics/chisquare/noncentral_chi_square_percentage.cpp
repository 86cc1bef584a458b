#include <cmath>

#include "numerics/calculators.h"
#include "numerics/chisquare/chi_square_arguments.h"
#include "numerics/chisquare/chi_square_messages.h"
#include "numerics/chisquare/chi_square_targets.h"
#include "numerics/chisquare/noncentral_chi_square.h"
#include "numerics/foundations/failure/held_messages.h"
#include "numerics/foundations/gamma_beta/log_gamma.h"
#include "numerics/foundations/normal_distribution.h"

namespace quorvel {

using namespace chi_square_arguments;
using namespace chi_square_messages;
using namespace chi_square_targets;

namespace {
// The x at which the first term of the Poisson mixture, e^(−λ/2)·(x/2)^(n/2)/Γ(n/2 + 1) (the
// leading term of the central lower tail, Abramowitz and Stegun 26.4.6), equals p: where the
// cube approximation falls to 0 or below, the percentage point lies deep in the lower tail and
// this term dominates. Computed in logarithms; the mean n + λ where even that does not give a
// positive finite x. For an upper-tail target p is its complement.
double lowerTailStart(double p, int n, double lambda) {
    const double halfDf = n / 2.0;
    const double start =
        2.0 * std::exp((std::log(p) + lambda / 2.0 + logGamma(halfDf + 1.0)) / halfDf);
    return start > 0.0 && std::isfinite(start) ? start : n + lambda;
}
}  // namespace

double NoncentralChiSquare::percentagePoint(double cumP, int df, double lambda) {
    if (!isNoncentrality(lambda)) {
        return reportFailure(kLambdaOutOfRange);
    }
    if (!isDegreesOfFreedom(df)) {
        return reportFailure(kPercentageDfOutOfRange);
    }
    if (!isCumulativeProbability(cumP)) {
        return reportFailure(kCumPOutOfRange);
    }
    this->cumP = cumP;
    target = targetOfCumP(cumP);
    this->df = df;
    this->lambda = lambda;
    return searchPercentagePoint();
}

double NoncentralChiSquare::percentagePointOfTail(TailProbability target, int df,
                                                  double noncentrality) {
    if (!isNoncentrality(noncentrality)) {
        return reportFailure(kLambdaOutOfRange);
    }
    if (!isDegreesOfFreedom(df)) {
        return reportFailure(kPercentageDfOutOfRange);
    }
    if (!isAcceptedTailProbability(target.probability)) {
        return reportFailure(kTailProbabilityOutOfRange);
    }
    this->target = target;
    this->df = df;
    lambda = noncentrality;
    return searchPercentagePoint();
}

// Start: the Wilson–Hilferty cube approximation with the noncentral mean n + λ and variance
// 2(n + 2λ) (Abdel-Aty, Biometrika 41, 1954), or the lower-tail term where that is not positive;
// then a secant search on the distribution function, with the bracketed fallback. The messages
// of a recovered attempt are never shown.
double NoncentralChiSquare::searchPercentagePoint() {
    // 2/9 to the digits the start uses.
    constexpr double kTwoNinths = 0.2222222222222222;
    const int n = df;
    const double noncentrality = lambda;
    const double z = startQuantile(calculators().normal(), target);
    const double a = n + noncentrality;
    const double r = noncentrality / a;
    const double s = (1.0 + r) / a;
    const double v = kTwoNinths * s;
    const double root = std::sqrt(v) * z + 1.0 - v;
    double start = a * (root * root * root);
    // A start at 0 would end the secant search before its first step.
    if (!(start > 0.0)) {
        const double lowerProbability =
            target.tail == Tail::Lower ? target.probability : 1.0 - target.probability;
        start = lowerTailStart(lowerProbability, n, noncentrality);
    }
    HeldMessages held(failures());
    return secantSearch(SearchedArgument::ChiSquare, start, noncentrality, n, target, held);
}

}  // namespace quorvel
