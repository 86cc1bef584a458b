#include "numerics/computation.h"

#include <cmath>
#include <limits>

#include "numerics/calculators.h"
#include "numerics/f/noncentral_f.h"

namespace quorvel {

namespace {
constexpr int kExactMethod = 0;

ComputeOutcome computeF(Calculators& calculators, const ComputeRequest& request) {
    NoncentralF& f = calculators.f();
    ComputeOutcome outcome;
    switch (request.quantity) {
        case QuantityKind::CumP:
            outcome.result =
                f.cdf(request.value, request.df1, request.df2, request.noncentrality, kExactMethod);
            break;
        case QuantityKind::Value:
        case QuantityKind::Noncentrality:
        case QuantityKind::Interval:
            break;
    }
    return outcome;
}
}  // namespace

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
    return distribution == DistributionKind::F && quantity == QuantityKind::CumP;
}

}  // namespace quorvel
