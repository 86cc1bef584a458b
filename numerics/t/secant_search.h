#pragma once

#include <cmath>
#include <optional>

namespace quorvel {

// How a secant search ended.
struct SecantOutcome {
    double root = 0.0;
    // The residual met its tolerance within the pass limit.
    bool converged = false;
    // An evaluation failed (it has reported its own message); the search stopped there.
    bool aborted = false;
};

// The secant scheme that the t family's percentage-point and noncentrality searches share:
// relative first step 1e-4 (at least 1e-10), step and residual tolerance 1e-10, smallest usable
// slope 1e-35, at most 10000 passes. `residual(x)` returns F(x) − target, or nothing when the
// evaluation failed. Converged only if |F| <= 1e-10 with the counter still below 10000.
template <typename Residual>
SecantOutcome secantSearch(double start, Residual&& residual) {
    constexpr double kRelativeFirstStep = 1e-4;
    constexpr double kTolerance = 1e-10;
    constexpr double kSmallestSlope = 1e-35;
    constexpr int kMaxPasses = 10000;

    SecantOutcome outcome;
    const std::optional<double> startResidual = residual(start);
    if (!startResidual) {
        outcome.aborted = true;
        return outcome;
    }
    const double firstStep =
        kRelativeFirstStep * start > kTolerance ? kRelativeFirstStep * start : kTolerance;
    const double second = start - firstStep;
    const std::optional<double> secondResidual = residual(second);
    if (!secondResidual) {
        outcome.aborted = true;
        return outcome;
    }
    double slope = (*startResidual - *secondResidual) / firstStep;
    double x = start;
    double F = *startResidual;
    double previous = 0.0;
    // The first step test compares the second point with 0, later ones the last secant step.
    double stepTestPoint = second;
    int passes = 1;
    while (!(std::fabs(stepTestPoint - previous) <= kTolerance || passes >= kMaxPasses ||
             std::fabs(F) <= kTolerance || std::fabs(slope) < kSmallestSlope)) {
        passes = passes + 1;
        const double next = x - F / slope;
        const std::optional<double> nextResidual = residual(next);
        if (!nextResidual) {
            outcome.aborted = true;
            return outcome;
        }
        slope = (F - *nextResidual) / (x - next);
        previous = x;
        x = next;
        F = *nextResidual;
        stepTestPoint = x;
    }
    outcome.root = x;
    outcome.converged = passes < kMaxPasses && std::fabs(F) <= kTolerance;
    return outcome;
}

}  // namespace quorvel
