#pragma once

namespace quorvel {

// The regularized lower incomplete gamma function P(a, x) = γ(a, x)/Γ(a) for a > 0 and x >= 0
// (0 at x = 0, 1 at x = ∞): the series or continued fraction to a relative 1e-15 within 100000
// steps (after that the last partial sum or approximant), times the prefactor x^a e^(−x)/Γ(a)
// through its logarithm, whose rounding (2.2e-16 of the sizes of a·ln x, x and ln Γ(a)) is the
// relative error of the smaller of P and 1 − P for large a: 8e-11 at a 50000. No argument
// checks.
double regularizedLowerIncompleteGamma(double a, double x);

}  // namespace quorvel
