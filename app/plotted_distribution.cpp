#include "app/plotted_distribution.h"

#include <limits>

#include "numerics/calculators.h"
#include "numerics/chisquare/noncentral_chi_square.h"
#include "numerics/f/noncentral_f.h"
#include "numerics/foundations/held_messages.h"
#include "numerics/foundations/roots/monotone_root.h"
#include "numerics/t/noncentral_t.h"

namespace quorvel {

namespace {
// The exact series for F, as the window computes it.
constexpr int kExactMethod = 0;
// Quantiles only set the plotted range: a probability within 1e-7 is far below a pixel.
constexpr double kQuantileTolerance = 1e-7;

template <class Evaluation>
std::optional<double> heldEvaluation(Calculators& calculators, Evaluation evaluation) {
    const HeldMessages held(calculators);
    const double value = evaluation();
    if (held.anyHeld() || value == calculators.failureValue) {
        return std::nullopt;
    }
    return value;
}
}  // namespace

PlottedDistribution::PlottedDistribution(Calculators& calculators, DistributionKind distribution,
                                         int df1, int df2, double noncentrality)
    : calculators_(calculators),
      distribution_(distribution),
      df1_(df1),
      df2_(df2),
      noncentrality_(noncentrality) {}

std::optional<double> PlottedDistribution::density(double x) const {
    return heldEvaluation(calculators_, [&] {
        switch (distribution_) {
            case DistributionKind::F:
                return calculators_.f().pdf(x, df1_, df2_, noncentrality_);
            case DistributionKind::T:
                return calculators_.t().pdf(x, df1_, noncentrality_);
            case DistributionKind::ChiSquare:
                break;
        }
        return calculators_.chiSquare().pdf(x, df1_, noncentrality_);
    });
}

std::optional<double> PlottedDistribution::probability(double x) const {
    return heldEvaluation(calculators_, [&] {
        switch (distribution_) {
            case DistributionKind::F:
                return calculators_.f().cdf(x, df1_, df2_, noncentrality_, kExactMethod);
            case DistributionKind::T:
                return calculators_.t().cdf(x, df1_, noncentrality_);
            case DistributionKind::ChiSquare:
                break;
        }
        return calculators_.chiSquare().cdf(x, df1_, noncentrality_);
    });
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
    return distribution_ == DistributionKind::T ? std::numeric_limits<double>::lowest() : 0.0;
}

}  // namespace quorvel
