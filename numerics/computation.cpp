#include "numerics/computation.h"

#include <cmath>
#include <limits>

#include "numerics/calculators.h"
#include "numerics/chisquare/noncentral_chi_square.h"
#include "numerics/f/f_quantities.h"
#include "numerics/single_df_quantities.h"
#include "numerics/t/noncentral_t.h"

namespace quorvel {

ComputeOutcome computeQuantity(Calculators& calculators, const ComputeRequest& request) {
    switch (request.distribution) {
        case DistributionKind::F:
            return computeF(calculators, request);
        case DistributionKind::T:
            return computeSingleDf(calculators.t(), calculators.failureValue, request);
        case DistributionKind::ChiSquare:
            return computeSingleDf(calculators.chiSquare(), calculators.failureValue, request);
    }
    return {};
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
