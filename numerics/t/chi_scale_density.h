#pragma once

namespace quorvel {

// ln f_ν(u) − ln f_ν(1) for the density f_ν(u) = 2(ν/2)^(ν/2)/Γ(ν/2)·u^(ν−1)·e^(−νu²/2) of
// U = √(χ²_ν/ν), u >= 0: (ν−1)·ln u − ν(u² − 1)/2, near u = 1 written as
// ν·(ln(1+d) − d) − ν·d²/2 − ln(1+d) with d = u − 1, so that its two large parts never cancel.
double logChiScaleDensityRatio(double u, double nu);

// ln f_ν(1) = ½·ln(ν/π) − stirlerr(ν/2), with Stirling's error term stirlerr(k) =
// ln Γ(k+1) − (k+½)·ln k + k − ½·ln 2π (Loader 2000, "Fast and accurate computation of binomial
// probabilities"), so that the constant keeps full precision for every ν.
double logChiScaleDensityAtOne(double nu);

}  // namespace quorvel
