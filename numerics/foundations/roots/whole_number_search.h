#pragma once

#include "numerics/foundations/roots/root_bracketing.h"

namespace quorvel {

// The whole numbers a search may try, inclusive: smallest <= largest.
struct WholeRange {
    long long smallest;
    long long largest;
};

// A whole-number search's result, and the measure at the number found.
struct WholeSearchResult {
    RootSearchResult search;
    double valueAtRoot = 0.0;
};

// The smallest whole n in `range` (1 <= smallest, largest below 2^53, where doubles hold every
// whole number) at which a measure that rises with n (a power with the sample size) reaches
// `target`. It evaluates the smallest n, doubles n (at most to the largest) until the measure
// reaches the target, then bisects the last pair of whole numbers below and at or above it;
// each phase ends within 64 steps, more than the 53 any such range needs. Found with root = n;
// NotBracketed when the measure stays below the target up to the largest n; EvaluationFailed
// when an evaluation failed (it has shown its own message).
WholeSearchResult smallestWholeReaching(RootFunction measure, WholeRange range, double target);

}  // namespace quorvel
