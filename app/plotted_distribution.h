#pragma once

#include <optional>

#include "numerics/computation.h"

namespace quorvel {

class Calculators;

// One member of a family, as the plot evaluates it: its density, its distribution function and
// its quantiles through the family's public operations. A plot evaluates hundreds of points,
// so nothing here shows a message: the calculators' messages are held while it runs and a
// failed evaluation is an empty optional.
class PlottedDistribution {
  public:
    // `df1` is the single Df of t and chi-square; `noncentrality` is λ or δ.
    PlottedDistribution(Calculators& calculators, DistributionKind distribution, int df1, int df2,
                        double noncentrality);

    std::optional<double> density(double x) const;
    // P(X <= x).
    std::optional<double> probability(double x) const;
    // The x with P(X <= x) = p, searched from `start` on the distribution function.
    std::optional<double> quantile(double p, double start) const;
    // The lowest x of the support: 0 for F and chi-square, the lowest double for t.
    double supportFloor() const;

    DistributionKind distribution() const { return distribution_; }
    double noncentrality() const { return noncentrality_; }

  private:
    Calculators& calculators_;
    DistributionKind distribution_;
    int df1_;
    int df2_;
    double noncentrality_;
};

}  // namespace quorvel
