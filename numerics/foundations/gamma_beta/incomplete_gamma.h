#pragma once

namespace quorvel {

// The regularized lower incomplete gamma function P(a, x) = γ(a, x)/Γ(a) for a > 0 and x >= 0
// (0 at x = 0, 1 at x = ∞), to about 1e-15 relative in the smaller of P and 1 − P plus the
// rounding of the prefactor's logarithm (a few units of 1e-16 times a·|ln x|); no argument
// checks.
double regularizedLowerIncompleteGamma(double a, double x);

}  // namespace quorvel
