#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "model/effects/design_test.h"
#include "model/effects/effect_parts.h"
#include "model/effects/equivalence_sizes.h"
#include "model/number_text.h"
#include "numerics/calculators.h"
#include "numerics/chisquare/chi_square_arguments.h"
#include "numerics/f/f_arguments.h"
#include "numerics/foundations/roots/monotone_root.h"
#include "numerics/foundations/roots/whole_number_search.h"
#include "numerics/t/noncentral_t.h"
#include "numerics/t/t_arguments.h"

namespace quorvel {

namespace {

// The α a criterion or compromise search may return: the levels a power request accepts at
// the low end, and up to .999, where 1 − α still lies inside the percentage points' CumP range
// after rounding (1 − .9999 rounds below .0001).
constexpr double kSmallestSearchedAlpha = 0.0001;
constexpr double kLargestSearchedAlpha = 0.999;
// A power, or a balance β − Q·α, within this of its target ends a search; the bracket shrinks
// to the spacing of doubles before a residual this small is missed.
constexpr double kResidualTolerance = 1e-14;

EffectOutcome failedWith(Calculators& calculators, const std::string& message) {
    showEffectMessage(calculators, message);
    EffectOutcome outcome;
    outcome.failed = true;
    return outcome;
}

// A failed outcome after an evaluation has shown its own message.
EffectOutcome alreadyFailed() {
    EffectOutcome outcome;
    outcome.failed = true;
    return outcome;
}

// Evaluates the power of variants of one request, remembering whether one failed.
class PowerProbe {
  public:
    PowerProbe(Calculators& calculators, const EffectRequest& request)
        : calculators_(calculators), request_(request) {}

    std::optional<double> at(const EffectRequest& variant) {
        const PowerValue value = designPower(calculators_, variant);
        failed = failed || value.failed;
        return value.failed ? std::nullopt : std::optional<double>(value.power);
    }
    std::optional<double> atEffect(double effect) {
        EffectRequest variant = request_;
        variant.effect = effect;
        return at(variant);
    }
    // The effect a sensitivity searches: an equivalence design's margin, the effect otherwise.
    std::optional<double> atSearched(double value) {
        if (request_.design != StudyDesign::Equivalence) {
            return atEffect(value);
        }
        EffectRequest variant = request_;
        variant.margin = value;
        return at(variant);
    }
    std::optional<double> atAlpha(double alpha) {
        EffectRequest variant = request_;
        variant.alpha = alpha;
        return at(variant);
    }

    bool failed = false;

  private:
    Calculators& calculators_;
    const EffectRequest& request_;
};

long long floorWithin(double value, double cap) {
    return static_cast<long long>(std::floor(std::min(value, cap)));
}

// Why a design's power cannot reach a target above α at any N, or nothing.
std::optional<std::string> unreachable(const EffectRequest& request) {
    switch (request.design) {
        case StudyDesign::Equivalence:
            if (!(std::fabs(request.effect) < request.margin)) {
                return "No sample size reaches that power: the true effect lies on or outside the "
                       "equivalence margins, where the power stays at or below alpha.";
            }
            return std::nullopt;
        case StudyDesign::Rmsea:
            if (request.effect == request.rmsea0) {
                return "No sample size reaches that power: with RMSEA1 equal to RMSEA0 the power "
                       "stays at alpha.";
            }
            return std::nullopt;
        default:
            break;
    }
    if (!(request.effect > 0.0) || !std::isfinite(request.effect)) {
        return std::string("The effect must be positive to find a sample size.");
    }
    return std::nullopt;
}

// The largest effect a sensitivity search may try at the request's N, within its family's
// limits on the noncentrality: |δ| <= 5000 (t), λ <= 10000 (F), λ <= 5000 (chi-square).
double largestEffect(const EffectRequest& request) {
    if (isFDesign(request.design)) {
        return f_arguments::kMaxLambda / fDesignTestAt(request, request.n, 1.0).lambda;
    }
    if (request.design == StudyDesign::Rmsea) {
        return std::sqrt(chi_square_arguments::kMaxLambda / ((request.n - 1.0) * request.df1));
    }
    switch (request.distribution) {
        case DistributionKind::T: {
            const double n1 = request.n1;
            const double n2 = request.n2;
            const double effectiveN = request.n1 > 0 ? n1 * n2 / (n1 + n2) : request.n;
            return t_arguments::kMaxAbsDelta / std::sqrt(effectiveN);
        }
        case DistributionKind::F:
            return f_arguments::kMaxLambda / (request.df1 + request.df2 + 1.0);
        case DistributionKind::ChiSquare:
            break;
    }
    return std::sqrt(chi_square_arguments::kMaxLambda / request.n);
}

// The smallest effect whose power reaches the target: power rises with the effect from α at
// none (at ε1 = ε0 for RMSEA, searched upwards: close or exact fit).
// The margins an equivalence sensitivity searches: from |d|, where the power is at most α, to
// where both tests reject at nearly every sample, M >= |d| + k·(kClearance + t·s) for s up to
// the top of its range (the integral's), k the SD of the mean difference.
struct MarginRange {
    double lo = 0.0;
    double hi = 0.0;
    bool failed = false;
};
MarginRange marginRange(Calculators& calculators, const EffectRequest& request) {
    constexpr double kClearance = 10.0;  // Φ(−10) ≈ 8e-24 of the power left out
    const EquivalenceTest test = equivalenceTestOf(calculators, request);
    if (test.failed) {
        return {0.0, 0.0, true};
    }
    const auto [nu, k] = test.sizes;
    const double critical = test.critical;
    const double lo = std::fabs(request.effect);
    const double largestS = 1.0 + kEquivalenceSpread / std::sqrt(nu);
    return {lo, lo + k * (kClearance + std::max(critical, 0.0) * largestS), false};
}

// The smallest effect whose power reaches the target: power rises with the effect from α at
// none (at ε1 = ε0 for RMSEA, searched upwards for close or exact fit, downwards from ε0 to 0
// for not-close fit), and with an equivalence design's margin from at most α at |d|.
EffectOutcome findSensitivity(Calculators& calculators, const EffectRequest& request) {
    double lo = request.design == StudyDesign::Rmsea ? request.rmsea0 : 0.0;
    double hi = 0.0;
    const bool notCloseFit =
        request.design == StudyDesign::Rmsea && request.alternative == Alternative::Less;
    if (notCloseFit) {
        lo = 0.0;
        hi = request.rmsea0;
    } else if (request.design == StudyDesign::Equivalence) {
        const MarginRange range = marginRange(calculators, request);
        if (range.failed) {
            return alreadyFailed();
        }
        lo = range.lo;
        hi = range.hi;
    } else {
        hi = largestEffect(request);
    }
    PowerProbe probe(calculators, request);
    auto residual = [&](double effect) -> std::optional<double> {
        const std::optional<double> power = probe.atSearched(effect);
        return power ? std::optional<double>(*power - request.power) : std::nullopt;
    };
    const RootSearchResult search =
        solveMonotone(residual, (lo + hi) / 2.0, {lo, hi, !notCloseFit}, kResidualTolerance);
    if (!search.found()) {
        if (probe.failed) {
            return alreadyFailed();
        }
        return failedWith(calculators,
                          notCloseFit ? "No RMSEA1 reaches that power at this sample size: even "
                                        "RMSEA1 = 0 falls short of it."
                                      : "No effect within the limits of the distribution (its "
                                        "noncentrality) reaches that power at this sample size.");
    }
    EffectOutcome outcome;
    outcome.effect = search.root;
    const std::optional<double> power = probe.atSearched(search.root);
    outcome.power = power.value_or(calculators.failureValue);
    outcome.failed = !power;
    return outcome;
}

// The sign of a one-sided t test's effect against its direction: a negative d cannot reach a
// power above α at any level.
bool contradictsOneSidedTest(const EffectRequest& request) {
    return request.design == StudyDesign::Basic && request.distribution == DistributionKind::T &&
           request.sides == 1 && request.effect < 0.0;
}

constexpr const char* kContradictingSign =
    "No alpha answers: the effect's sign contradicts the one-sided test, whose power stays below "
    "alpha.";

// The α whose power is the target: power rises with α.
EffectOutcome findCriterion(Calculators& calculators, const EffectRequest& request) {
    if (contradictsOneSidedTest(request)) {
        return failedWith(calculators, kContradictingSign);
    }
    PowerProbe probe(calculators, request);
    auto residual = [&](double alpha) -> std::optional<double> {
        const std::optional<double> power = probe.atAlpha(alpha);
        return power ? std::optional<double>(*power - request.power) : std::nullopt;
    };
    const std::optional<double> atSmallest = residual(kSmallestSearchedAlpha);
    if (!atSmallest) {
        return alreadyFailed();
    }
    if (*atSmallest > 0.0) {
        return failedWith(calculators,
                          "No alpha answers: the power exceeds the target already at alpha = "
                          "0.0001, the smallest level searched.");
    }
    const RootSearchResult search =
        solveMonotone(residual, request.alpha,
                      {kSmallestSearchedAlpha, kLargestSearchedAlpha, true}, kResidualTolerance);
    if (!search.found()) {
        return probe.failed ? alreadyFailed()
                            : failedWith(calculators,
                                         "No alpha answers: the power stays below the target up "
                                         "to alpha = 0.999.");
    }
    EffectOutcome outcome;
    outcome.alpha = search.root;
    return outcome;
}

// The α at which β/α = Q: β − Q·α falls from near 1 at α → 0 to −Q at α = 1.
EffectOutcome findCompromise(Calculators& calculators, const EffectRequest& request) {
    if (contradictsOneSidedTest(request)) {
        return failedWith(calculators, kContradictingSign);
    }
    PowerProbe probe(calculators, request);
    auto balance = [&](double alpha) -> std::optional<double> {
        const std::optional<double> power = probe.atAlpha(alpha);
        return power ? std::optional<double>(1.0 - *power - request.ratio * alpha) : std::nullopt;
    };
    const std::optional<double> atSmallest = balance(kSmallestSearchedAlpha);
    if (!atSmallest) {
        return alreadyFailed();
    }
    if (*atSmallest < 0.0) {
        return failedWith(calculators,
                          "No alpha answers: beta/alpha falls below the ratio already at alpha = "
                          "0.0001, the smallest level searched.");
    }
    const RootSearchResult search =
        solveMonotone(balance, request.alpha,
                      {kSmallestSearchedAlpha, kLargestSearchedAlpha, false}, kResidualTolerance);
    if (!search.found()) {
        return probe.failed ? alreadyFailed()
                            : failedWith(calculators,
                                         "No alpha answers: beta/alpha stays above the ratio up to "
                                         "alpha = 0.999.");
    }
    EffectOutcome outcome;
    outcome.alpha = search.root;
    const std::optional<double> power = probe.atAlpha(search.root);
    outcome.power = power.value_or(calculators.failureValue);
    outcome.failed = !power;
    return outcome;
}

}  // namespace

DesignRange designRange(const EffectRequest& request) {
    constexpr double kLargestN = 2147483647.0;  // the int fields of a request
    if (request.design == StudyDesign::Equivalence) {
        const bool twoGroups = request.groups != 1;
        const double largest =
            twoGroups ? (t_arguments::kMaxDf + 2.0) / 2.0 : t_arguments::kMaxDf + 1.0;
        return {2, floorWithin(largest, kLargestN),
                "Sample size above the limits of the t distribution (Df <= 100000)."};
    }
    if (request.design == StudyDesign::Rmsea) {
        const double largerRmsea = std::max(request.rmsea0, request.effect);
        const double perN = request.df1 * largerRmsea * largerRmsea;
        return {2, floorWithin(chi_square_arguments::kMaxLambda / perN + 1.0, kLargestN),
                "Sample size above the limits of the chi-square distribution (Lambda <= 5000)."};
    }
    // Df2 = slope·(N − N0) with a whole N0 (K, K + C, P + 1 or the cells), found by rounding
    // so that an ε-scaled slope cannot move it; λ is proportional to N.
    const double df2AtZero = fDesignTestAt(request, 0.0, request.effect).nu2;
    const double slope = fDesignTestAt(request, 1.0, request.effect).nu2 - df2AtZero;
    const double lambdaPerN = fDesignTestAt(request, 1.0, request.effect).lambda;
    const long long smallest = std::llround(-df2AtZero / slope) + 1;
    const double byDf = (f_arguments::kMaxDf - df2AtZero) / slope;
    return {std::max(smallest, 2LL),
            floorWithin(std::min(byDf, f_arguments::kMaxLambda / lambdaPerN), kLargestN),
            "Sample size above the limits of the F distribution (Df2 <= 10000, Lambda <= "
            "10000)."};
}

EffectOutcome findDesignSampleSize(Calculators& calculators, const EffectRequest& request) {
    if (const std::optional<std::string> why = unreachable(request)) {
        return failedWith(calculators, *why);
    }
    const DesignRange range = designRange(request);
    if (range.largest < range.smallest) {
        return failedWith(calculators, range.beyondLimits);
    }
    PowerProbe probe(calculators, request);
    auto powerAt = [&](double n) {
        return probe.at(powerRequestAt(request, static_cast<long long>(n)));
    };
    const WholeSearchResult found =
        smallestWholeReaching(powerAt, {range.smallest, range.largest}, request.power);
    if (found.search.found()) {
        const long long n = static_cast<long long>(found.search.root);
        if (n == range.smallest) {
            return failedWith(calculators,
                              "The power reaches the target already at N = " + std::to_string(n) +
                                  ", the smallest sample the design can test; no smaller N "
                                  "answers.");
        }
        EffectOutcome outcome;
        outcome.n = static_cast<int>(n);
        outcome.power = found.valueAtRoot;
        return outcome;
    }
    return probe.failed ? alreadyFailed() : failedWith(calculators, range.beyondLimits);
}

EffectOutcome answerPowerQuestion(Calculators& calculators, const EffectRequest& request) {
    switch (request.question) {
        case PowerQuestion::Sensitivity:
            return findSensitivity(calculators, request);
        case PowerQuestion::Criterion:
            return findCriterion(calculators, request);
        case PowerQuestion::Compromise:
            return findCompromise(calculators, request);
        case PowerQuestion::Power:
            break;
    }
    EffectOutcome outcome;
    const PowerValue value = designPower(calculators, request);
    outcome.power = value.power;
    outcome.failed = value.failed;
    return outcome;
}

}  // namespace quorvel
