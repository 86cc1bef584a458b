#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

#include "model/effects/effect_parts.h"
#include "numerics/foundations/roots/whole_number_search.h"
#include "numerics/calculators.h"
#include "numerics/chisquare/chi_square_arguments.h"
#include "numerics/f/f_arguments.h"
#include "numerics/t/t_arguments.h"

namespace quorvel {

namespace {

// The whole N the search may try, and the message for a target beyond the largest of them.
struct SearchRange {
    long long smallest = 1;
    long long largest = 1;
    const char* beyondLimits = "";
};

// The largest whole N with scale·N <= limit, at most INT_MAX (the int fields of a request).
long long largestWithin(double limit, double scale) {
    const double n = std::floor(limit / scale);
    return n >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<long long>(n);
}

// The N each family can take: the t family's Df <= 100000 and |δ| <= 5000, the F family's
// V = N − U − 1 <= 10000 and λ = f²·N <= 10000 (U + V + 1 = N), the chi-square family's
// λ = N·w² <= 5000. The effect is positive here.
SearchRange searchRange(const EffectRequest& request) {
    const double effect = request.effect;
    switch (request.distribution) {
        case DistributionKind::T: {
            // δ = d·√(N/2) for two equal groups of N (Df 2N − 2), d·√N for one sample (Df N − 1).
            const double perN = request.twoSample ? 0.5 : 1.0;
            const long long dfLimit =
                request.twoSample ? (t_arguments::kMaxDf + 2LL) / 2 : t_arguments::kMaxDf + 1LL;
            const double deltaLimit = t_arguments::kMaxAbsDelta / effect;
            return {2, std::min(dfLimit, largestWithin(deltaLimit * deltaLimit, perN)),
                    "Sample size above the limits of the t distribution (Df <= 100000, "
                    "|Delta| <= 5000)."};
        }
        case DistributionKind::F:
            return {static_cast<long long>(request.df1) + 2,
                    std::min(static_cast<long long>(request.df1) + f_arguments::kMaxDf + 1,
                             largestWithin(f_arguments::kMaxLambda, effect)),
                    "Sample size above the limits of the F distribution (Df2 <= 10000, "
                    "Lambda <= 10000)."};
        case DistributionKind::ChiSquare:
            break;
    }
    const long long byLambda = largestWithin(chi_square_arguments::kMaxLambda, effect * effect);
    return {1, byLambda,
            byLambda == INT_MAX
                ? "Sample size above 2147483647, the largest N a request holds."
                : "Sample size above the limits of the chi-square distribution (Lambda <= 5000)."};
}

EffectOutcome failedWith(Calculators& calculators, const char* message) {
    showEffectMessage(calculators, message);
    EffectOutcome outcome;
    outcome.failed = true;
    return outcome;
}

}  // namespace

// Power grows with N, so the smallest N reaching the target lies between the last N below it
// and the first at or above it: doubling finds such a pair, bisection on whole numbers closes
// it. An N beyond the family's limits is reported, never extrapolated.
EffectOutcome findSampleSize(Calculators& calculators, const EffectRequest& request) {
    if (!(request.effect > 0.0) || !std::isfinite(request.effect)) {
        return failedWith(calculators, "The effect must be positive to find a sample size.");
    }
    if (!(request.power > 0.0 && request.power < 1.0)) {
        return failedWith(calculators, "Power out of range. Limits: 0 < Power < 1.");
    }
    const SearchRange range = searchRange(request);
    if (range.largest < range.smallest) {
        return failedWith(calculators, range.beyondLimits);
    }
    EffectOutcome outcome;
    auto powerAt = [&](double n) -> std::optional<double> {
        const PowerValue value =
            testPower(calculators, powerRequestAt(request, static_cast<long long>(n)));
        outcome.failed = value.failed;
        return value.failed ? std::nullopt : std::optional<double>(value.power);
    };
    const WholeSearchResult found =
        smallestWholeReaching(powerAt, {range.smallest, range.largest}, request.power);
    if (found.search.found()) {
        outcome.n = static_cast<int>(found.search.root);
        outcome.power = found.valueAtRoot;
        return outcome;
    }
    // A failed power has shown its message; otherwise the target lies beyond the largest N.
    return outcome.failed ? outcome : failedWith(calculators, range.beyondLimits);
}

}  // namespace quorvel
