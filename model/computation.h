#pragma once

#include <optional>
#include <string>
#include <vector>

#include "numerics/foundations/tail_probability.h"

namespace quorvel {

class Calculators;

enum class DistributionKind { F, T, ChiSquare };
// Density is the pdf at the value and Upper the upper-tail probability P(X > x), computed in
// that tail (a p-value keeps its digits however small): the command line and the plots ask for
// them, the window's radio buttons have no position for them.
enum class QuantityKind { CumP, Value, Noncentrality, Interval, Density, Upper };

// The inputs of one computation as the user gave them. `df1` is the single Df of t and
// chi-square; `noncentrality` is λ for F and chi-square and δ for t.
struct ComputeRequest {
    DistributionKind distribution = DistributionKind::F;
    QuantityKind quantity = QuantityKind::CumP;
    double value = 0.0;
    double noncentrality = 0.0;
    double cumP = 0.0;
    int df1 = 0;
    int df2 = 0;
    double confidence = 0.95;
    // When set, value and noncentrality solve for this probability of one tail (from 1e-300 up
    // to but not including 1) in that tail, instead of for cumP.
    std::optional<TailProbability> tailTarget = std::nullopt;
};

// `result` for a single quantity; `lower` and `upper` for an interval. `failed` is set when the
// request showed a calculation error; any of the numbers may then be the failure value (or,
// where a routine says so, 0).
struct ComputeOutcome {
    double result = 0.0;
    double lower = 0.0;
    double upper = 0.0;
    bool failed = false;
    // The messages shown while the request ran, in order.
    std::vector<std::string> messages;
};

// "f", "t" or "chisq": the distribution's name on the command line and in batch files.
const char* distributionName(DistributionKind distribution);

// Calls exactly one public operation of the chosen family with the request's arguments (the
// F routines with method 0, the exact series). The window and the command-line program both
// compute through here, so they give the same numbers. For an interval both limits start as
// the failure value, so a routine that rejects its arguments leaves them so. The request has
// failed when any message was shown while it ran.
ComputeOutcome computeQuantity(Calculators& calculators, const ComputeRequest& request);

// A Df read as a double, truncated toward zero and saturated to the int range (NaN gives 0),
// so that an absurd value such as 1e12 reaches the routine's own Df check instead of an
// undefined conversion.
int truncateDegreesOfFreedom(double value);

}  // namespace quorvel
