#pragma once

#include "numerics/foundations/tail_probability.h"

namespace quorvel {

struct PoissonBetaMixture {
    double value = 0.0;
    bool tooManyTerms = false;  // more than maxTerms terms were needed; value is meaningless
};

// Σ_{j>=0} e^(−c) c^(j+s) / Γ(j + s + 1) · I_x(a + j, b) (Tail::Lower) or the same mixture of
// the complements 1 − I_x(a + j, b) (Tail::Upper), for 0 < x <= 1 given with its complement
// y = 1 − x (each as exactly as the caller has it), a, b > 0, c > 0 and the shift s = 0
// (Poisson weights) or 1/2 (the odd half of the noncentral t series). Summed outwards from the
// largest weight to the full precision of the series: each side stops once a bound on its
// remaining terms lies below 1e-16 of the sum. One evaluation of the incomplete beta function
// in the tail asked; every other term comes from the recurrence
// I_x(A + 1, b) = I_x(A, b) − x^A y^b / (A·B(A, b)) (for the complement with the opposite
// sign). No underflow however small the sum (0 only where it lies below the double range).
PoissonBetaMixture poissonBetaMixture(double x, double y, double a, double b, double c,
                                      double shift, Tail tail, int maxTerms);

// The lower-tail mixture at x with y = 1 − x.
PoissonBetaMixture poissonBetaMixture(double x, double a, double b, double c, double shift,
                                      int maxTerms);

}  // namespace quorvel
