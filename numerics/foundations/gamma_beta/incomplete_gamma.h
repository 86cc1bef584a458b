#pragma once

#include "numerics/foundations/tail_probability.h"

namespace quorvel {

// The logarithm of the regularized incomplete gamma function in one tail for a > 0 and x >= 0:
// ln P(a, x) = ln(γ(a, x)/Γ(a)) for Tail::Lower, ln Q(a, x) = ln(Γ(a, x)/Γ(a)) for
// Tail::Upper (P = 0, Q = 1 at x = 0; P = 1, Q = 0 at x = ∞). The smaller tail is computed
// directly, P by its power series where x < a and Q by Legendre's continued fraction where
// x >= a, each to double precision, times the prefactor x^a·e^(−x)/Γ(a + 1) from
// logPoissonProbability; the other tail, never below 0.3 there, is 1 minus it. Relative error of
// either tail a few units of 1e-16 times (1 + |ln of the prefactor|), also for a far beyond
// 50000 (measured against mpmath, see the tests). No argument checks.
double logRegularizedIncompleteGamma(Tail tail, double a, double x);

// P(a, x) and Q(a, x) themselves: the exponentials of the above.
double regularizedLowerIncompleteGamma(double a, double x);
double regularizedUpperIncompleteGamma(double a, double x);

}  // namespace quorvel
