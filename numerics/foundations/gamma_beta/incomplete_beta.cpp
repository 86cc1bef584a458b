#include "numerics/foundations/gamma_beta/incomplete_beta.h"

#include <cmath>

#include "numerics/foundations/gamma_beta/log_gamma.h"

namespace quorvel {

namespace {
constexpr int kContinuedFractionSteps = 100000;
constexpr double kContinuedFractionTolerance = 1e-10;

}  // namespace

// Regularized incomplete beta function as in Press et al., Numerical Recipes, betai: the
// continued fraction is used on the side of (a + 1)/(a + b + 2) where it converges fast.
double regularizedIncompleteBeta(double x, double a, double b) {
    double bt = 0.0;
    if (x != 0.0 && x != 1.0) {
        bt = std::exp(logGamma(a + b) - logGamma(a) - logGamma(b) + a * std::log(x) +
                      b * std::log(1.0 - x));
    }
    if (x < (a + 1.0) / (a + b + 2.0)) {
        return bt * betaContinuedFraction(a, b, x) / a;
    }
    return 1.0 - bt * betaContinuedFraction(b, a, 1.0 - x) / b;
}

// Continued fraction for the incomplete beta function, Numerical Recipes betacf (the even and
// odd steps of the modified Lentz-free recurrence, renormalised every step).
double betaContinuedFraction(double a, double b, double x) {
    const double qab = a + b;
    const double qap = a + 1.0;
    const double qam = a - 1.0;
    double am = 1.0;
    double bm = 1.0;
    double az = 1.0;
    double bz = 1.0 - qab * x / qap;
    for (int m = 1; m <= kContinuedFractionSteps; ++m) {
        const double em = m;
        const double tem = em + em;
        double d = (b - em) * em * x / ((qam + tem) * (a + tem));
        const double ap = az + d * am;
        const double bp = bz + d * bm;
        d = -(a + em) * (qab + em) * x / ((a + tem) * (qap + tem));
        const double app = ap + d * az;
        const double bpp = bp + d * bz;
        const double aold = az;
        am = ap / bpp;
        bm = bp / bpp;
        az = app / bpp;
        bz = 1.0;
        if (!(kContinuedFractionTolerance * std::fabs(az) < std::fabs(az - aold))) {
            return az;
        }
    }
    return az;
}

}  // namespace quorvel
