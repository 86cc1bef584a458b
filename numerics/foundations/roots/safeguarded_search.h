#pragma once

#include <initializer_list>
#include <optional>

#include "numerics/foundations/roots/monotone_root.h"
#include "numerics/foundations/roots/secant_search.h"

namespace quorvel {

// A family's search: the secant scheme with the family's rules from each start in turn until
// one converges, then, should none, the bracketed fallback on the same residual inside the
// accepted range, from the last start, to the secant's residual tolerance. A secant result is
// returned exactly as the secant found it; when nothing was found the status is the last secant
// attempt's, which decides the message. The caller holds back the messages of the attempts
// (HeldMessages) and shows them only when nothing was found.
template <typename Residual>
RootSearchResult safeguardedSearch(std::initializer_list<double> starts, Residual&& residual,
                                   const SecantRules& rules, const MonotoneRange& range) {
    RootSearchResult attempt{RootSearchStatus::EvaluationFailed, 0.0};
    double lastStart = 0.0;
    for (const double start : starts) {
        lastStart = start;
        attempt = secantSearch(start, residual, rules);
        if (attempt.found()) {
            return attempt;
        }
    }
    auto evaluate = [&residual](double x) -> std::optional<double> { return residual(x); };
    const RootSearchResult fallback = solveMonotone(evaluate, lastStart, range, secant::kTolerance);
    return fallback.found() ? fallback : RootSearchResult{attempt.status, fallback.root};
}

}  // namespace quorvel
