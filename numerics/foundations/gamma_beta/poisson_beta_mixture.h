#pragma once

namespace quorvel {

struct PoissonBetaMixture {
    double value = 0.0;
    bool tooManyTerms = false;  // more than maxTerms terms were needed; value is meaningless
};

// Σ_{j>=0} e^(−c) c^(j+s) / Γ(j + s + 1) · I_x(a + j, b) for 0 < x <= 1, a, b > 0, c > 0 and
// the shift s = 0 (Poisson weights) or 1/2 (the odd half of the noncentral t series), summed
// outwards from the largest weight to the full precision of the series: each side stops once a
// bound on its remaining terms lies below 1e-16 of the sum. One evaluation of the incomplete
// beta function's continued fraction; every other I_x(a + j, b) comes from the recurrence
// I_x(A + 1, b) = I_x(A, b) − x^A (1 − x)^b / (A·B(A, b)). No underflow however small the sum
// (0 only where it lies below the double range).
PoissonBetaMixture poissonBetaMixture(double x, double a, double b, double c, double shift,
                                      int maxTerms);

}  // namespace quorvel
