#include <cmath>
#include <string>

#include "numerics/f/noncentral_beta.h"
#include "numerics/foundations/gamma_beta/incomplete_beta.h"

namespace quorvel {

namespace {
// The one calculation error raised as an exception; incompleteBeta catches it itself.
struct CalculationError {
    std::string message;
};
}  // namespace

// The checked entry of the regularized incomplete beta function, the terms of the noncentral
// beta series.
double NoncentralBeta::incompleteBeta(double x, double a, double b) {
    failed = 0;
    try {
        if (x < 0.0 || x > 1.0 || std::isnan(x)) {
            throw CalculationError{"x in Betai is out of range."};
        }
    } catch (const CalculationError& error) {
        return reportFailure(error.message);
    }
    return regularizedIncompleteBeta(x, a, b);
}

}  // namespace quorvel
