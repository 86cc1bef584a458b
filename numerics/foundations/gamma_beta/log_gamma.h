#pragma once

namespace quorvel {

// Natural logarithm of the gamma function for x > 0: the C library's lgamma up to 15, Stirling's
// formula with stirlingError (saddle_point_terms.h) beyond; measured against mpmath at 40 digits within 3.8e-16
// relative over 1e-3..1e6 and at every half-integer up to 200. Returns NaN for x <= 0 or NaN,
// which no caller passes.
double logGamma(double x);

// Base-10 logarithm as ln(x) times log10(e); the noncentral beta series uses this form.
double decimalLog(double x);

}  // namespace quorvel
