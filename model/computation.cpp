#include "model/computation.h"

#include <cmath>
#include <limits>
#include <utility>

#include "model/f_quantities.h"
#include "model/single_df_quantities.h"
#include "numerics/calculators.h"
#include "numerics/chisquare/noncentral_chi_square.h"
#include "numerics/foundations/failure/message_tee.h"
#include "numerics/t/noncentral_t.h"

namespace quorvel {

namespace {
ComputeOutcome computeOf(Calculators& calculators, const ComputeRequest& request) {
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
}  // namespace

ComputeOutcome computeQuantity(Calculators& calculators, const ComputeRequest& request) {
    MessageTee shown(calculators.reporter());
    calculators.redirectReporter(shown);
    ComputeOutcome outcome = computeOf(calculators, request);
    calculators.redirectReporter(shown.next());
    outcome.failed = !shown.messages.empty();
    outcome.messages = std::move(shown.messages);
    return outcome;
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
