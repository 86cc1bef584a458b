#include "numerics/foundations/roots/monotone_root.h"

#include <cmath>
#include <limits>

namespace quorvel {

namespace {
// Doubling from 1 passes the largest double after 1024 steps, and every step is held inside
// the finite range, so the walk ends at the range's end well within this bound.
constexpr int kMaxSteps = 1100;
constexpr double kFirstStep = 1.0;
// Brent's method down to the spacing of doubles, with a floor that keeps a root at 0 from
// asking for more than the smallest step Brent's method can still take.
constexpr double kRelativeSpacing = std::numeric_limits<double>::epsilon();
constexpr double kAbsoluteSpacing = 1e-300;

bool changesSign(double a, double b) {
    return (a <= 0.0 && b >= 0.0) || (a >= 0.0 && b <= 0.0);
}

double heldInside(double x, const MonotoneRange& range) {
    if (std::isnan(x)) {
        return range.lo / 2.0 + range.hi / 2.0;
    }
    return x < range.lo ? range.lo : (x > range.hi ? range.hi : x);
}
}  // namespace

RootSearchResult solveMonotone(RootFunction residual, double start, const MonotoneRange& range,
                               double residualTolerance) {
    double inner = heldInside(start, range);
    std::optional<double> value = residual(inner);
    if (!value) {
        return {RootSearchStatus::EvaluationFailed, inner};
    }
    double innerValue = *value;
    if (std::fabs(innerValue) <= residualTolerance) {
        return {RootSearchStatus::Found, inner};
    }
    // Where the residual is positive on a rising function, the root lies below.
    const bool downwards = (innerValue > 0.0) == range.increasing;
    double step = kFirstStep;
    for (int stepCount = 0; stepCount < kMaxSteps; ++stepCount) {
        const double outer = heldInside(downwards ? inner - step : inner + step, range);
        value = residual(outer);
        if (!value) {
            return {RootSearchStatus::EvaluationFailed, outer};
        }
        const double outerValue = *value;
        if (changesSign(innerValue, outerValue)) {
            const Bracket bracket = downwards ? Bracket{outer, inner, outerValue, innerValue}
                                              : Bracket{inner, outer, innerValue, outerValue};
            const BrentTolerances tolerances{kRelativeSpacing, kAbsoluteSpacing, residualTolerance,
                                             range.lo, range.hi};
            return solveBracketed(bracket, residual, tolerances);
        }
        if (outer == range.lo || outer == range.hi) {
            return {RootSearchStatus::NotBracketed, outer};
        }
        inner = outer;
        innerValue = outerValue;
        step = 2.0 * step;
    }
    return {RootSearchStatus::NotBracketed, inner};
}

}  // namespace quorvel
