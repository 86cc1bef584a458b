#include "numerics/computation.h"

#include <cmath>
#include <limits>

#include "numerics/f/f_quantities.h"

namespace quorvel {

ComputeOutcome computeQuantity(Calculators& calculators, const ComputeRequest& request) {
    switch (request.distribution) {
        case DistributionKind::F:
            return computeF(calculators, request);
        case DistributionKind::T:
        case DistributionKind::ChiSquare:
            break;
    }
    return {};
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

bool isAvailable(DistributionKind distribution, QuantityKind quantity) {
    switch (distribution) {
        case DistributionKind::F:
            return quantity == QuantityKind::CumP;
        case DistributionKind::T:
            return false;
        case DistributionKind::ChiSquare:
            return false;
    }
    return false;
}

}  // namespace quorvel
