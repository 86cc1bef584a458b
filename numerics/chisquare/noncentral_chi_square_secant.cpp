#include <cmath>

#include "numerics/chisquare/noncentral_chi_square.h"

namespace quorvel {

double NoncentralChiSquare::searchResidual(SearchedArgument searched, double value,
                                           double fixedArgument, int df, double target) {
    const double probability = searched == SearchedArgument::ChiSquare
                                   ? cdf(value, df, fixedArgument)
                                   : cdf(fixedArgument, df, value);
    return probability - target;
}

// The secant method on cdf − target, the first slope from a one-sided difference.
double NoncentralChiSquare::secantSearch(SearchedArgument searched, double start,
                                         double fixedArgument, int df, double target) {
    constexpr double kRelativePerturbation = 1e-4;
    constexpr double kTolerance = 1e-10;
    constexpr int kMaxIterations = 10000;
    constexpr double kSmallestSlope = 1e-35;
    // A chi-square value below 0 has no probability; λ is left free so that cdf reports it.
    const bool clampAtZero = searched == SearchedArgument::ChiSquare;
    auto residualAt = [&](double value) {
        return searchResidual(searched, value, fixedArgument, df, target);
    };

    int iteration = 1;
    double previous = 0.0;
    double current = start;
    double residual = residualAt(current);
    if (failed != 0) {
        return failureValue();
    }
    const double scaledStep = kRelativePerturbation * current;
    const double step = scaledStep > kTolerance ? scaledStep : kTolerance;
    double candidate = current - step;
    if (clampAtZero && candidate < 0.0) {
        // Step to the other side of 0 only when the start itself is 0 (or below).
        candidate = current > 0.0 ? 0.0 : -candidate;
    }
    const double candidateResidual = residualAt(candidate);
    if (failed != 0) {
        return failureValue();
    }
    // Divided by the full step also when the candidate was moved.
    double slope = (residual - candidateResidual) / step;

    // The step test compares the unclamped candidate with the previous point, which starts at
    // 0: a chi-square start within about 2e-10 of 0 ends the search before its first step.
    while (std::fabs(candidate - previous) > kTolerance && iteration < kMaxIterations &&
           std::fabs(residual) > kTolerance && std::fabs(slope) >= kSmallestSlope) {
        ++iteration;
        candidate = current - residual / slope;
        previous = current;
        const double previousResidual = residual;
        current = clampAtZero && candidate < 0.0 ? 0.0 : candidate;
        residual = residualAt(current);
        if (failed != 0) {
            return failureValue();
        }
        slope = (previousResidual - residual) / (previous - current);
    }
    if (iteration < kMaxIterations && std::fabs(residual) <= kTolerance) {
        return current;
    }
    return reportFailure("Percentage point convergence failure.");
}

}  // namespace quorvel
