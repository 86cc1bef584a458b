#include <algorithm>
#include <cmath>

#include "numerics/f/f_messages.h"
#include "numerics/f/noncentral_beta.h"
#include "numerics/foundations/gamma_beta/incomplete_beta.h"
#include "numerics/foundations/gamma_beta/poisson_beta_mixture.h"

namespace quorvel {

using namespace f_messages;

namespace {
constexpr int kMaxTerms = 100000;
}  // namespace

double NoncentralBeta::evaluateCdf() {
    return cdf(x, a, b, lambda);
}

double NoncentralBeta::cdf(double x, double a, double b, double lambda) {
    failed = 0;
    if (!(x >= 0.0 && x <= 1.0)) {
        incompleteBeta(x, a, b);
        return reportFailure(kBetaFailed);
    }
    return tailProbability(x, 1.0 - x, a, b, lambda, Tail::Lower);
}

// The Poisson mixture Σ_j e^(−c) c^j / j! · I_x(a + j, b), c = λ/2, or the same mixture of the
// complements, summed outwards from the mode of the Poisson weights with the incomplete beta
// function's two-term recurrence (poissonBetaMixture): one continued fraction per call instead
// of one per term.
double NoncentralBeta::tailProbability(double x, double y, double a, double b, double lambda,
                                       Tail tail) {
    failed = 0;
    const double c = lambda / 2.0;
    if (c == 0.0) {
        return incompleteBetaTail(x, y, a, b, tail);
    }
    if (x == 0.0) {
        return tail == Tail::Lower ? 0.0 : 1.0;
    }
    const PoissonBetaMixture mixture = poissonBetaMixture(x, y, a, b, c, 0.0, tail, kMaxTerms);
    if (mixture.tooManyTerms) {
        return reportFailure(kBetaTooManyTerms);
    }
    // Rounding in the sum can leave the result a few units above 1.
    return std::min(1.0, mixture.value);
}

}  // namespace quorvel
