#pragma once

#include "numerics/foundations/failure/reporting_calculator.h"
#include "numerics/foundations/tail_probability.h"

namespace quorvel {

// The noncentral beta distribution function, the special function under the noncentral F
// distribution, with the checked entry of the regularized incomplete beta function.
class NoncentralBeta : public ReportingCalculator {
  public:
    using ReportingCalculator::ReportingCalculator;

    // I_x(a, b; λ) = Σ_j e^(−λ/2) (λ/2)^j / j! · I_x(a + j, b) for 0 <= x <= 1, a, b > 0,
    // λ >= 0 (the F distribution's own λ), summed outwards from the mode of the Poisson weights
    // until a bound on the remaining terms of each side lies below 1e-16 of the sum, far inside
    // an absolute 1e-9. An x outside [0, 1] reports the incomplete beta function's failure at
    // both levels, more than 100000 terms "Iteration Limit Exceeded in Noncentral Beta"; both
    // return the failure value. Where the probability lies below the double range it returns 0.
    double cdf(double x, double a, double b, double lambda);
    // One tail of the same series, I_x(a, b; λ) or its complement, each summed directly to full
    // relative precision, at 0 <= x <= 1 given with its complement y = 1 − x (so that x next to
    // 1 keeps the digits of y); no check of x. Clears `failed`; the term limit as for cdf.
    double tailProbability(double x, double y, double a, double b, double lambda, Tail tail);
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
