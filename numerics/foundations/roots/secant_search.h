#pragma once

#include <cmath>
#include <optional>

#include "numerics/foundations/roots/root_bracketing.h"

namespace quorvel {

// The secant scheme shared by the F noncentrality search and the percentage-point and
// noncentrality searches of the t and chi-square families: relative first step 1e-4 (at least
// 1e-10), step and residual tolerance 1e-10, smallest usable slope 1e-35, at most 10000 passes.
namespace secant {
constexpr double kRelativeFirstStep = 1e-4;
constexpr double kTolerance = 1e-10;
constexpr double kSmallestSlope = 1e-35;
constexpr int kMaxPasses = 10000;
}  // namespace secant

// What a family's search does differently from the plain scheme.
struct SecantRules {
    // The searched argument has no values below 0 (an F noncentrality or a chi-square value):
    // a first probe below 0 is held at 0, or reflected to +step when the start itself is 0, and
    // every later point below 0 is held at 0. The step test still takes the point before it
    // was held, so a step out of the domain is not mistaken for convergence.
    bool nonNegative = false;
    // The first slope is taken over the distance to the probe as placed rather than over the
    // nominal step, so it keeps its sign and size when the probe was held or reflected.
    bool slopeOverProbeDistance = false;
    // The first pass runs whatever the distance from the probe to 0, so that a start at or next
    // to 0 is still searched from.
    bool firstPassAlwaysRuns = false;
};

// The secant method on residual(x) = F(x) − target from `start`, the first slope from a
// one-sided difference below the start. `residual` returns nothing when its evaluation failed.
// The loop runs while the last step was longer than 1e-10 (the first time the distance from the
// probe to 0), fewer than 10000 passes were made, |residual| > 1e-10 and |slope| >= 1e-35; a
// comparison with a value that is not a number ends it. Found when |residual| <= 1e-10 with the
// pass counter below 10000; NotConverged when the counter reached 10000; OutsideTolerance when
// it stopped on a short step or a flat (or undefined) slope; EvaluationFailed when an
// evaluation failed (it has reported its own message).
template <typename Residual>
RootSearchResult secantSearch(double start, Residual&& residual, const SecantRules& rules) {
    using namespace secant;
    std::optional<double> value = residual(start);
    if (!value) {
        return {RootSearchStatus::EvaluationFailed, start};
    }
    double x = start;
    double F = *value;
    const double firstStep =
        kRelativeFirstStep * start > kTolerance ? kRelativeFirstStep * start : kTolerance;
    double probe = start - firstStep;
    if (rules.nonNegative && probe < 0.0) {
        probe = start > 0.0 ? 0.0 : -probe;
    }
    value = residual(probe);
    if (!value) {
        return {RootSearchStatus::EvaluationFailed, probe};
    }
    double slope =
        rules.slopeOverProbeDistance ? (F - *value) / (start - probe) : (F - *value) / firstStep;
    double previous = 0.0;
    // The point of the step test: the probe before the first pass, later the new point as the
    // secant step gave it.
    double stepTestPoint = probe;
    int passes = 1;
    while (((rules.firstPassAlwaysRuns && passes == 1) ||
            std::fabs(stepTestPoint - previous) > kTolerance) &&
           passes < kMaxPasses && std::fabs(F) > kTolerance && std::fabs(slope) >= kSmallestSlope) {
        ++passes;
        const double next = x - F / slope;
        previous = x;
        const double previousF = F;
        x = rules.nonNegative && next < 0.0 ? 0.0 : next;
        value = residual(x);
        if (!value) {
            return {RootSearchStatus::EvaluationFailed, x};
        }
        F = *value;
        slope = (previousF - F) / (previous - x);
        stepTestPoint = next;
    }
    if (passes >= kMaxPasses) {
        return {RootSearchStatus::NotConverged, x};
    }
    if (!(std::fabs(F) <= kTolerance)) {
        return {RootSearchStatus::OutsideTolerance, x};
    }
    return {RootSearchStatus::Found, x};
}

}  // namespace quorvel
