#pragma once

namespace quorvel {

// Natural logarithm of the gamma function for x > 0, by shifting x above 13 and a Stirling
// series with three correction terms; absolute error about 1e-11 (slightly high) for x up to
// 14, double precision for large x. Returns NaN for x <= 0 or NaN, which no caller passes.
double logGamma(double x);

// Base-10 logarithm as ln(x) times log10(e); the noncentral beta series uses this form.
double decimalLog(double x);

}  // namespace quorvel
