#pragma once

namespace quorvel {

// The regularized incomplete beta function I_x(a, b) for 0 < x < 1 and a, b > 0 (0 at x = 0,
// 1 at x = 1), about 5e-10 relative; no argument checks.
double regularizedIncompleteBeta(double x, double a, double b);

// The continued fraction of I_x(a, b) (even and odd steps combined), to a relative 1e-10
// within 100000 steps; after that the last approximant.
double betaContinuedFraction(double a, double b, double x);

}  // namespace quorvel
