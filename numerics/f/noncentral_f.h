#pragma once

#include <cstdint>

#include "numerics/foundations/reporting_calculator.h"

namespace quorvel {

// The noncentral F distribution: its distribution function (this file's first group of
// operations, by the noncentral beta series or Tiku's three-moment approximation).
// Degrees of freedom cross the public entries as 32-bit integers and become doubles inside.
// Every failure is shown at once, sets `failed` and returns the failure value.
class NoncentralF : public ReportingCalculator {
  public:
    using ReportingCalculator::ReportingCalculator;

    // P(F' <= fValue) for df1, df2 in 1..10000 and λ in 0..10000 (inclusive), method 0 = exact
    // series, 1 = three-moment approximation, any other −9999 without a message. Checks Df1,
    // Df2, then λ ("Df1 out of range.", "Df2 out of range.", "Lambda out of range."), then
    // stores its arguments. A value <= 0 or NaN gives 0. Never clears `failed`.
    double cdf(double fValue, int df1, int df2, double lambda, int method);

    // The cdf of the stored fields by the stored method.
    double evaluateCdf();

    // The noncentral F distribution function for real degrees of freedom 0 < ν1, ν2 <= 10000
    // and 0 <= λ <= 10000; otherwise "F distribution parameter out of range." and the failure
    // value. A failure of the beta series sets `failed` and returns the failure value.
    double exactCdf(double f, double nu1, double nu2, double lambda);

    // Tiku's three-moment approximation: the central F distribution function at (f + d)/c with
    // (ν, df2) degrees of freedom. Clears `failed` first.
    double approximateCdf(double f, int df1, int df2, double lambda);

    double confidence = 0.0;
    std::int32_t df2 = 0;
    std::int32_t df1 = 0;
    double lambda = 0.0;
    double fValue = 0.0;
    double cumP = 0.0;
    std::int32_t method = 0;
};

}  // namespace quorvel
