#include <algorithm>
#include <cmath>

#include "numerics/f/noncentral_beta.h"
#include "numerics/foundations/gamma_beta/poisson_beta_mixture.h"

namespace quorvel {

namespace {
constexpr int kMaxTerms = 100000;

constexpr const char* kBetaFailed = "Failure in Incomplete Beta Calculation";
constexpr const char* kTooManyTerms = "Iteration Limit Exceeded in Noncentral Beta";
}  // namespace

double NoncentralBeta::evaluateCdf() {
    return cdf(x, a, b, lambda);
}

// The Poisson mixture Σ_j e^(−c) c^j / j! · I_x(a + j, b), c = λ/2, summed outwards from the
// mode of the Poisson weights with the incomplete beta function's two-term recurrence
// (poissonBetaMixture): one continued fraction per call instead of one per term.
double NoncentralBeta::cdf(double x, double a, double b, double lambda) {
    failed = 0;
    if (!(x >= 0.0 && x <= 1.0)) {
        incompleteBeta(x, a, b);
        return reportFailure(kBetaFailed);
    }
    const double c = lambda / 2.0;
    if (c == 0.0) {
        return incompleteBeta(x, a, b);
    }
    if (x == 0.0) {
        return 0.0;
    }
    const PoissonBetaMixture mixture = poissonBetaMixture(x, a, b, c, 0.0, kMaxTerms);
    if (mixture.tooManyTerms) {
        return reportFailure(kTooManyTerms);
    }
    // Rounding in the sum can leave the result a few units above 1.
    return std::min(1.0, mixture.value);
}

}  // namespace quorvel
