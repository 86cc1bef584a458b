#include "gui/plot/plotted_distribution.h"

#include <limits>

#include "numerics/calculators.h"
#include "numerics/foundations/failure/held_messages.h"
#include "numerics/foundations/roots/monotone_root.h"

namespace quorvel {

namespace {
// Quantiles only set the plotted range: a probability within 1e-7 is far below a pixel.
constexpr double kQuantileTolerance = 1e-7;
}  // namespace

PlottedDistribution::PlottedDistribution(Calculators& calculators, DistributionKind distribution,
                                         int df1, int df2, double noncentrality)
    : calculators_(calculators) {
    request_.distribution = distribution;
    request_.df1 = df1;
    request_.df2 = df2;
    request_.noncentrality = noncentrality;
}

// Through the shared entry, with its messages held: a failed evaluation shows nothing.
std::optional<double> PlottedDistribution::evaluate(QuantityKind quantity, double x) const {
    ComputeRequest request = request_;
    request.quantity = quantity;
    request.value = x;
    const HeldMessages held(calculators_);
    const ComputeOutcome outcome = computeQuantity(calculators_, request);
    if (outcome.failed) {
        return std::nullopt;
    }
    return outcome.result;
}

std::optional<double> PlottedDistribution::density(double x) const {
    return evaluate(QuantityKind::Density, x);
}

std::optional<double> PlottedDistribution::probability(double x) const {
    return evaluate(QuantityKind::CumP, x);
}

std::optional<double> PlottedDistribution::upperProbability(double x) const {
    return evaluate(QuantityKind::Upper, x);
}

std::optional<double> PlottedDistribution::quantile(double p, double start) const {
    auto residual = [&](double x) -> std::optional<double> {
        const std::optional<double> probabilityAtX = probability(x);
        if (!probabilityAtX) {
            return std::nullopt;
        }
        return *probabilityAtX - p;
    };
    const double largest = std::numeric_limits<double>::max();
    const MonotoneRange range{supportFloor(), largest, true};
    const RootSearchResult found = solveMonotone(residual, start, range, kQuantileTolerance);
    if (found.status != RootSearchStatus::Found) {
        return std::nullopt;
    }
    return found.root;
}

double PlottedDistribution::supportFloor() const {
    return request_.distribution == DistributionKind::T ? std::numeric_limits<double>::lowest()
                                                        : 0.0;
}

}  // namespace quorvel
