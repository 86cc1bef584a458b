#pragma once

#include "numerics/foundations/reporting_calculator.h"

namespace quorvel {

// The noncentral beta distribution function, the special function under the noncentral F
// distribution, with the checked entry of the regularized incomplete beta function.
class NoncentralBeta : public ReportingCalculator {
  public:
    using ReportingCalculator::ReportingCalculator;

    // I_x(a, b; λ) = Σ_j e^(−λ/2) (λ/2)^j / j! · I_x(a + j, b) for 0 <= x <= 1, a, b > 0,
    // λ >= 0 (the F distribution's own λ). The series stops when the estimate of the next term
    // falls below an absolute 1e-9 (before the factor e^(−λ/2)). On a failure of the incomplete
    // beta function, more than 100000 terms or an overflowing estimate it reports and returns
    // the failure value. Where the probability lies below the double range it returns 0.
    double cdf(double x, double a, double b, double lambda);
    // cdf of the stored fields.
    double evaluateCdf();

    // I_x(a, b) for 0 <= x <= 1, a, b > 0 (regularizedIncompleteBeta). Clears `failed`; an x
    // outside [0, 1] or NaN reports "x in Betai is out of range." and returns the failure value.
    double incompleteBeta(double x, double a, double b);

    void setX(double value) { x = value; }
    void setA(double value) { a = value; }
    void setB(double value) { b = value; }
    void setLambda(double value) { lambda = value; }

    double x = 0.0;
    double a = 0.0;
    double b = 0.0;
    double lambda = 0.0;
};

}  // namespace quorvel
