#pragma once

namespace quorvel {

// The terms of Loader's saddle-point form of binomial and Poisson probabilities (C. Loader,
// "Fast and accurate computation of binomial probabilities", 2000), which write a probability
// as exp(−(small differences)) instead of differences of large logarithms, so that it keeps
// full relative precision for parameters of any size.

// The error of Stirling's formula, ln Γ(n + 1) − (n + 1/2) ln n + n − ln √(2π), for n > 0:
// exact tabulated values at the half-integers up to 15, the asymptotic series above 15.
double stirlingError(double n);

// The deviance term x ln(x/M) + M − x >= 0 for x >= 0, M > 0, by its series in (x − M)/(x + M)
// where x and M are close (where the direct form cancels).
double deviance(double x, double M);

// ln of the Poisson probability e^(−mean) mean^j / Γ(j + 1) for real j >= 0 and mean >= 0, and
// so of the prefactor x^a e^(−x)/Γ(a + 1) of the incomplete gamma function: −mean at j = 0, −∞
// for mean 0 and j > 0.
double logPoissonProbability(double j, double mean);

// ln(x^a y^b / B(a, b)) for 0 < x, y with x + y = 1 (each passed as exactly as the caller has
// it, so that x next to 1 keeps the digits of y) and a, b > 0.
double logBetaPrefactor(double x, double y, double a, double b);

}  // namespace quorvel
