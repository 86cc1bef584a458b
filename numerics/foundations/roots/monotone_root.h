#pragma once

#include "numerics/foundations/roots/root_bracketing.h"

namespace quorvel {

// The accepted range of a searched argument (inclusive, finite) and whether the function
// searched on rises or falls along it.
struct MonotoneRange {
    double lo;
    double hi;
    bool increasing;
};

// The root of a monotone residual F(x) − target inside `range`, the safeguard behind every
// secant search. From `start` (held inside the range; its middle for a start that is not a
// number) it steps towards the root with steps that double from 1, each time keeping the last
// point as the inner end, until the residual changes sign; then Brent's method on that
// bracket stops at |residual| <= residualTolerance, or where the bracket has shrunk to the
// spacing of doubles (the residual then jumps across 0 between two neighbouring arguments, and
// the point found is as good as the function allows). NotBracketed when the residual keeps its
// sign up to the end of the range: the root lies outside it. EvaluationFailed when an
// evaluation failed (it has reported its own message).
RootSearchResult solveMonotone(RootFunction residual, double start, const MonotoneRange& range,
                               double residualTolerance);

}  // namespace quorvel
