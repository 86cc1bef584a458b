#include "model/computation.h"

#include <cmath>
#include <limits>
#include <utility>

#include "model/f_quantities.h"
#include "model/single_df_quantities.h"
#include "numerics/calculators.h"
#include "numerics/foundations/confidence_range.h"
#include "numerics/chisquare/noncentral_chi_square.h"
#include "numerics/foundations/failure/message_tee.h"
#include "numerics/t/noncentral_t.h"

namespace quorvel {

namespace {
// Whether a t interval searches δ at every Df (the effect sizes) or within the family's range.
enum class DfReach { FamilyRange, AnyDf };

ComputeOutcome computeTwoSided(Calculators& calculators, const ComputeRequest& request,
                               DfReach reach) {
    if (reach == DfReach::AnyDf) {
        ComputeOutcome outcome;
        outcome.lower = calculators.failureValue;
        outcome.upper = calculators.failureValue;
        calculators.t().confidenceLimitsAtAnyDf(request.value, request.df1, request.confidence,
                                                outcome.lower, outcome.upper);
        return outcome;
    }
    switch (request.distribution) {
        case DistributionKind::F:
            return computeF(calculators, request);
        case DistributionKind::T:
            return computeSingleDf(calculators.t(), calculators.failureValue, request);
        case DistributionKind::ChiSquare:
            break;
    }
    return computeSingleDf(calculators.chiSquare(), calculators.failureValue, request);
}

// The one-sided interval at level C: the end the two-sided interval at 2C − 1 gives, the other
// at the noncentrality's bound (δ is unbounded, λ >= 0).
ComputeOutcome computeOneSided(Calculators& calculators, const ComputeRequest& request,
                               DfReach reach) {
    const double failure = calculators.failureValue;
    if (!(request.confidence >= kSmallestOneSidedConfidence &&
          request.confidence <= kLargestConfidence)) {
        calculators.reporter().show(kOneSidedConfidenceOutOfRange);
        ComputeOutcome refused;
        refused.lower = failure;
        refused.upper = failure;
        return refused;
    }
    ComputeRequest twoSided = request;
    twoSided.alternative = Alternative::TwoSided;
    twoSided.confidence = 2.0 * request.confidence - 1.0;
    ComputeOutcome outcome = computeTwoSided(calculators, twoSided, reach);
    if (outcome.lower == failure || outcome.upper == failure) {
        return outcome;
    }
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    if (request.alternative == Alternative::Greater) {
        outcome.upper = kInfinity;
    } else {
        outcome.lower = request.distribution == DistributionKind::T ? -kInfinity : 0.0;
    }
    return outcome;
}

ComputeOutcome computeOf(Calculators& calculators, const ComputeRequest& request,
                         DfReach reach) {
    if (request.quantity == QuantityKind::Interval &&
        request.alternative != Alternative::TwoSided) {
        return computeOneSided(calculators, request, reach);
    }
    return computeTwoSided(calculators, request, reach);
}

ComputeOutcome computeShown(Calculators& calculators, const ComputeRequest& request,
                            DfReach reach) {
    MessageTee shown(calculators.reporter());
    calculators.redirectReporter(shown);
    ComputeOutcome outcome = computeOf(calculators, request, reach);
    calculators.redirectReporter(shown.next());
    outcome.failed = !shown.messages.empty();
    outcome.messages = std::move(shown.messages);
    return outcome;
}
}  // namespace

ComputeOutcome computeQuantity(Calculators& calculators, const ComputeRequest& request) {
    return computeShown(calculators, request, DfReach::FamilyRange);
}

ComputeOutcome computeTIntervalAtAnyDf(Calculators& calculators, const ComputeRequest& request) {
    return computeShown(calculators, request, DfReach::AnyDf);
}

const char* alternativeName(Alternative alternative) {
    switch (alternative) {
        case Alternative::TwoSided:
            return "two-sided";
        case Alternative::Greater:
            return "greater";
        case Alternative::Less:
            break;
    }
    return "less";
}

std::optional<Alternative> alternativeNamed(std::string_view name) {
    for (Alternative alternative :
         {Alternative::TwoSided, Alternative::Greater, Alternative::Less}) {
        if (name == alternativeName(alternative)) {
            return alternative;
        }
    }
    return std::nullopt;
}

const char* distributionName(DistributionKind distribution) {
    switch (distribution) {
        case DistributionKind::F:
            return "f";
        case DistributionKind::T:
            return "t";
        case DistributionKind::ChiSquare:
            break;
    }
    return "chisq";
}

int truncateDegreesOfFreedom(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    constexpr int kLargest = std::numeric_limits<int>::max();
    constexpr int kSmallest = std::numeric_limits<int>::min();
    if (value >= static_cast<double>(kLargest)) {
        return kLargest;
    }
    if (value <= static_cast<double>(kSmallest)) {
        return kSmallest;
    }
    return static_cast<int>(value);
}

}  // namespace quorvel
