#include "numerics/foundations/gamma_beta/incomplete_gamma.h"

#include <cmath>
#include <limits>

#include "numerics/foundations/gamma_beta/saddle_point_terms.h"

namespace quorvel {

namespace {
constexpr double kEpsilon = std::numeric_limits<double>::epsilon();
// Near x = a the series and the continued fraction each need some 9·√a steps; a million
// reach a = 1e10 and guard the loops (the last partial sum or approximant is used after it).
constexpr int kMaxSteps = 1000000;
constexpr double kTiny = 1e-300;

// ln Σ_{k>=0} x^k/((a + 1)···(a + k)) for x < a, so that P(a, x) is x^a·e^(−x)/Γ(a + 1) times
// this sum (Abramowitz and Stegun 6.5.29). The terms fall by r = x/(a + k + 1) < 1, so those
// after the last one added sum to at most term·r/(1 − r) = term·x/(a + k + 1 − x); the sum stops
// when that is below half a rounding unit.
double logLowerSeries(double a, double x) {
    double term = 1.0;
    double sum = 1.0;
    for (int k = 1; k <= kMaxSteps; ++k) {
        term *= x / (a + k);
        sum += term;
        if (term * x <= 0.5 * kEpsilon * sum * (a + k + 1.0 - x)) {
            break;
        }
    }
    return std::log(sum);
}

// ln of Legendre's continued fraction 1/(x + 1 − a − 1·(1 − a)/(x + 3 − a − 2·(2 − a)/(x + 5 −
// a − ...))) for x >= a, by the modified Lentz method (Press et al., Numerical Recipes, gcf), so
// that Q(a, x) is a·x^a·e^(−x)/Γ(a + 1) times it. Every denominator b >= 1 here.
double logUpperContinuedFraction(double a, double x) {
    double b = x + 1.0 - a;
    double c = 1.0 / kTiny;
    double d = 1.0 / b;
    double h = d;
    for (int i = 1; i <= kMaxSteps; ++i) {
        const double an = -i * (i - a);
        b += 2.0;
        d = an * d + b;
        if (std::fabs(d) < kTiny) {
            d = kTiny;
        }
        c = b + an / c;
        if (std::fabs(c) < kTiny) {
            c = kTiny;
        }
        d = 1.0 / d;
        const double step = d * c;
        h *= step;
        if (std::fabs(step - 1.0) <= kEpsilon) {
            break;
        }
    }
    return std::log(h);
}

// ln(1 − e^l) for l <= 0.
double logComplement(double logProbability) {
    return std::log1p(-std::exp(logProbability));
}
}  // namespace

double logRegularizedIncompleteGamma(Tail tail, double a, double x) {
    const bool lower = tail == Tail::Lower;
    if (!(x > 0.0)) {
        return lower ? -HUGE_VAL : 0.0;
    }
    if (std::isinf(x)) {
        return lower ? 0.0 : -HUGE_VAL;
    }
    const double logPrefactor = logPoissonProbability(a, x);
    if (x < a) {
        const double logLower = logPrefactor + logLowerSeries(a, x);
        return lower ? logLower : logComplement(logLower);
    }
    const double logUpper = std::log(a) + logPrefactor + logUpperContinuedFraction(a, x);
    return lower ? logComplement(logUpper) : logUpper;
}

double regularizedLowerIncompleteGamma(double a, double x) {
    return std::exp(logRegularizedIncompleteGamma(Tail::Lower, a, x));
}

double regularizedUpperIncompleteGamma(double a, double x) {
    return std::exp(logRegularizedIncompleteGamma(Tail::Upper, a, x));
}

}  // namespace quorvel
