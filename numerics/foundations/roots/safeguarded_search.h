#pragma once

#include <initializer_list>
#include <optional>

#include "numerics/foundations/roots/monotone_root.h"
#include "numerics/foundations/roots/secant_search.h"

namespace quorvel {

struct SafeguardedOutcome {
    double root = 0.0;
    // Whether a root was found, by a secant attempt or by the bracketed fallback.
    bool found = false;
    // How the last secant attempt ended; it decides the message when nothing was found.
    SecantEnd secantEnd = SecantEnd::EvaluationFailed;
};

// A family's search: the secant scheme with the family's rules from each start in turn until
// one converges, then, should none, the bracketed fallback on the same residual inside the
// accepted range, from the last start, to the secant's residual tolerance. A secant result is
// returned exactly as the secant found it. The caller holds back the messages of the attempts
// (HeldMessages) and shows them only when nothing was found.
template <typename Residual>
SafeguardedOutcome safeguardedSearch(std::initializer_list<double> starts, Residual&& residual,
                                     const SecantRules& rules, const MonotoneRange& range) {
    SafeguardedOutcome outcome;
    double lastStart = 0.0;
    for (const double start : starts) {
        lastStart = start;
        const SecantOutcome secant = secantSearch(start, residual, rules);
        outcome.secantEnd = secant.end;
        if (secant.converged()) {
            outcome.root = secant.root;
            outcome.found = true;
            return outcome;
        }
    }
    auto evaluate = [&residual](double x) -> std::optional<double> { return residual(x); };
    const RootSearchResult fallback = solveMonotone(evaluate, lastStart, range, secant::kTolerance);
    outcome.found = fallback.status == RootSearchStatus::Found;
    outcome.root = fallback.root;
    return outcome;
}

}  // namespace quorvel
