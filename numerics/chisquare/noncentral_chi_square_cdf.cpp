#include <cmath>

#include "numerics/chisquare/chi_square_arguments.h"
#include "numerics/chisquare/chi_square_messages.h"
#include "numerics/chisquare/noncentral_chi_square.h"
#include "numerics/chisquare/poisson_gamma_mixture.h"

namespace quorvel {

using namespace chi_square_arguments;
using namespace chi_square_messages;

double NoncentralChiSquare::cdf(double x, int df, double lambda) {
    if (const char* problem = distributionArgumentProblem(x, df, lambda)) {
        return reportFailure(problem);
    }
    chiSquare = x;
    this->df = df;
    this->lambda = lambda;
    return evaluateCdf();
}

double NoncentralChiSquare::upper(double x, int df, double lambda) {
    if (const char* problem = distributionArgumentProblem(x, df, lambda)) {
        return reportFailure(problem);
    }
    chiSquare = x;
    this->df = df;
    this->lambda = lambda;
    return evaluateTail(Tail::Upper);
}

double NoncentralChiSquare::evaluateCdf() {
    return evaluateTail(Tail::Lower);
}

// The Poisson mixture of central probabilities of the tail asked for (Abramowitz and Stegun
// 26.4.25), in the halved units of the gamma distribution: y = x/2, a = Df/2, m = λ/2.
double NoncentralChiSquare::evaluateTail(Tail tail) {
    failed = 0;
    const bool lowerTail = tail == Tail::Lower;
    const double x = chiSquare;
    // The whole mass lies below an infinite x, none below 0.
    if (std::isinf(x)) {
        return lowerTail ? 1.0 : 0.0;
    }
    if (x == 0.0) {
        return lowerTail ? 0.0 : 1.0;
    }
    const PoissonGammaMixture mixture =
        sumPoissonGammaMixture(tail, x / 2.0, df / 2.0, lambda / 2.0);
    if (!mixture.converged) {
        return reportFailure(kCdfNotConverged);
    }
    return mixture.value();
}

}  // namespace quorvel
