#pragma once

#include <cmath>

#include "numerics/foundations/tail_probability.h"

namespace quorvel {

// A tail of the noncentral chi-square distribution as exp(logScale)·sum, so that it is formed
// without underflow wherever it lies inside the double range.
struct PoissonGammaMixture {
    double logScale = 0.0;
    double sum = 0.0;
    // False when the walk used up its step budget before the stopping rule was met.
    bool converged = false;

    // The scale alone may lie outside the double range where the product does not.
    double value() const { return sum == 0.0 ? 0.0 : std::exp(logScale + std::log(sum)); }
};

// Σ_j Poisson(j; m)·P(a + j, y) for Tail::Lower, Σ_j Poisson(j; m)·Q(a + j, y) for Tail::Upper
// (Abramowitz and Stegun 26.4.25 with y = x/2, a = Df/2, m = λ/2), for y > 0 finite, a > 0,
// m >= 0, to a relative 1e-15 plus the rounding of its terms.
PoissonGammaMixture sumPoissonGammaMixture(Tail tail, double y, double a, double m);

}  // namespace quorvel
