#include "numerics/foundations/gamma_beta/incomplete_gamma.h"

#include <cmath>

namespace quorvel {

namespace {
constexpr int kMaxSteps = 100000;
constexpr double kTolerance = 1e-15;
constexpr double kTiny = 1e-300;
}  // namespace

// Press et al., Numerical Recipes, gammp: the series for x < a + 1, otherwise the continued
// fraction of the complement (modified Lentz), each with the prefactor x^a e^(−x) / Γ(a) formed
// through logarithms.
double regularizedLowerIncompleteGamma(double a, double x) {
    if (!(x > 0.0)) {
        return 0.0;
    }
    if (std::isinf(x)) {
        return 1.0;
    }
    const double logPrefactor = a * std::log(x) - x - std::lgamma(a);
    if (x < a + 1.0) {
        double ap = a;
        double term = 1.0 / a;
        double sum = term;
        for (int n = 0; n < kMaxSteps; ++n) {
            ap += 1.0;
            term *= x / ap;
            sum += term;
            if (std::fabs(term) < std::fabs(sum) * kTolerance) {
                break;
            }
        }
        return sum * std::exp(logPrefactor);
    }
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
        if (std::fabs(step - 1.0) < kTolerance) {
            break;
        }
    }
    return 1.0 - std::exp(logPrefactor) * h;
}

}  // namespace quorvel
