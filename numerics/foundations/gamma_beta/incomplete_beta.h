#pragma once

#include "numerics/foundations/tail_probability.h"

namespace quorvel {

// One tail of the regularized incomplete beta function in logarithmic form, so that a tail
// below the double range keeps its digits: ln I_x(a, b) for Tail::Lower, ln(1 − I_x(a, b)) =
// ln I_y(b, a) for Tail::Upper, and the logarithm of x^a y^b / (a·B(a, b)), the step of the
// recurrence I_x(a + 1, b) = I_x(a, b) − x^a y^b / (a·B(a, b)).
struct LogIncompleteBeta {
    double logValue = 0.0;
    double logStep = 0.0;
};

// For 0 <= x <= 1 given with its complement y = 1 − x (each as exactly as the caller has it)
// and a, b > 0: the tail is computed directly, to about 1e-15 relative for any tail (see the
// definition). At x = 0 or y = 0 the logarithms are exact (0 or −∞).
LogIncompleteBeta logIncompleteBeta(double x, double y, double a, double b, Tail tail);

// I_x(a, b) (Tail::Lower) or 1 − I_x(a, b) (Tail::Upper), each computed directly; 0 where the
// tail lies below the double range. No argument checks.
double incompleteBetaTail(double x, double y, double a, double b, Tail tail);

// I_x(a, b) for 0 <= x <= 1 and a, b > 0 (0 at x = 0, 1 at x = 1); no argument checks.
double regularizedIncompleteBeta(double x, double a, double b);

}  // namespace quorvel
