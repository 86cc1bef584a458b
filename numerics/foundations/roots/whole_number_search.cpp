#include "numerics/foundations/roots/whole_number_search.h"

#include <algorithm>
#include <optional>

namespace quorvel {

namespace {
constexpr int kMaxDoublings = 64;
constexpr int kMaxBisections = 64;
}  // namespace

WholeSearchResult smallestWholeReaching(RootFunction measure, WholeRange range, double target) {
    const auto at = [&measure](long long n) { return measure(static_cast<double>(n)); };
    const auto failedAt = [](long long n) {
        return WholeSearchResult{{RootSearchStatus::EvaluationFailed, static_cast<double>(n)}};
    };
    long long below = range.smallest;
    const std::optional<double> atSmallest = at(below);
    if (!atSmallest) {
        return failedAt(below);
    }
    if (*atSmallest >= target) {
        return {{RootSearchStatus::Found, static_cast<double>(below)}, *atSmallest};
    }
    long long above = 0;
    double valueAbove = 0.0;
    // Evaluates n and moves the end of the pair on its side of the target to it; false when the
    // evaluation failed.
    const auto probe = [&](long long n) {
        const std::optional<double> value = at(n);
        if (!value) {
            return false;
        }
        if (*value >= target) {
            above = n;
            valueAbove = *value;
        } else {
            below = n;
        }
        return true;
    };
    for (int step = 0; step < kMaxDoublings && above == 0; ++step) {
        if (below == range.largest) {
            break;
        }
        const long long next = std::min(range.largest, 2 * below);
        if (!probe(next)) {
            return failedAt(next);
        }
    }
    if (above == 0) {
        return {{RootSearchStatus::NotBracketed, static_cast<double>(below)}};
    }
    for (int step = 0; step < kMaxBisections && above - below > 1; ++step) {
        const long long middle = below + (above - below) / 2;
        if (!probe(middle)) {
            return failedAt(middle);
        }
    }
    return {{RootSearchStatus::Found, static_cast<double>(above)}, valueAbove};
}

}  // namespace quorvel
