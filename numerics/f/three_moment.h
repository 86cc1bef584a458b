#pragma once

namespace quorvel {

// Parameters of Tiku's three-moment approximation of the noncentral F distribution with
// (m, n) degrees of freedom and noncentrality λ by c·G − d, G central F with (ν, n) degrees of
// freedom (Tiku, "A new statistic for testing ... noncentral F", JASA 1966). For n = 2 the
// parameters are not numbers (a division by zero), and for n = 1 ν is negative or NaN.
struct ThreeMomentParameters {
    double nu;
    double c;
    double d;
};

ThreeMomentParameters threeMomentParameters(double m, double n, double lambda);

}  // namespace quorvel
