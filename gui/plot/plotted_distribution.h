#pragma once

#include <optional>

#include "model/computation.h"

namespace quorvel {

class Calculators;

// One member of a family, as the plot evaluates it: its density, its distribution function and
// its quantiles through computeQuantity, the entry the window and the command line use. A plot
// evaluates hundreds of points, so nothing here shows a message: the calculators' messages are held
// while it runs and a failed evaluation is an empty optional.
class PlottedDistribution {
  public:
    // `df1` is the single Df of t and chi-square; `noncentrality` is λ or δ.
    PlottedDistribution(Calculators& calculators, DistributionKind distribution, int df1, int df2,
                        double noncentrality);

    std::optional<double> density(double x) const;
    // P(X <= x).
    std::optional<double> probability(double x) const;
    // P(X > x), computed in the upper tail.
    std::optional<double> upperProbability(double x) const;
    // The x with P(X <= x) = p, searched from `start` on the distribution function.
    std::optional<double> quantile(double p, double start) const;
    // The lowest x of the support: 0 for F and chi-square, the lowest double for t.
    double supportFloor() const;

    double noncentrality() const { return request_.noncentrality; }

  private:
    std::optional<double> evaluate(QuantityKind quantity, double x) const;

    Calculators& calculators_;
    ComputeRequest request_;
};

}  // namespace quorvel
