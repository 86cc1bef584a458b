#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "numerics/foundations/tail_probability.h"

namespace quorvel {

class Calculators;

enum class DistributionKind { F, T, ChiSquare };
// Density is the pdf at the value and Upper the upper-tail probability P(X > x), computed in
// that tail (a p-value keeps its digits however small): the command line and the plots ask for
// them, the window's radio buttons have no position for them.
enum class QuantityKind { CumP, Value, Noncentrality, Interval, Density, Upper };

// Which ends an interval bounds: both (the two-sided interval), only the lower end (Greater:
// the upper end is the parameter's bound) or only the upper end (Less: the lower end is the
// bound). A one-sided interval at level C is the two-sided interval at level 2C − 1 with the
// other end at the bound: +infinity above, and below −infinity for δ and 0 for λ.
enum class Alternative { TwoSided, Greater, Less };

// The one-sided levels: 2C − 1 must be a level the two-sided interval accepts.
inline constexpr double kSmallestOneSidedConfidence = 0.9;
inline constexpr const char* kOneSidedConfidenceOutOfRange =
    "One-sided Confidence Level out of range. Limits .90 <= Conf <= .9999";

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
    Alternative alternative = Alternative::TwoSided;  // of an interval
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

// "two-sided", "greater" or "less": an alternative's name on the command line and in batch files.
const char* alternativeName(Alternative alternative);
std::optional<Alternative> alternativeNamed(std::string_view name);

// "f", "t" or "chisq": the distribution's name on the command line and in batch files.
const char* distributionName(DistributionKind distribution);

// Calls exactly one public operation of the chosen family with the request's arguments (the
// F routines with method 0, the exact series). The window and the command-line program both
// compute through here, so they give the same numbers. For an interval both limits start as
// the failure value, so a routine that rejects its arguments leaves them so; a one-sided
// interval refuses a level outside .90 to .9999 with its own message, then computes the
// family's two-sided interval at 2C − 1 and puts the other end at the bound. The request has
// failed when any message was shown while it ran.
ComputeOutcome computeQuantity(Calculators& calculators, const ComputeRequest& request);

// A t interval request as computeQuantity computes it, but at every Df >= 1 (the t family's
// confidenceLimitsAtAnyDf): the limits of δ behind the effect sizes of samples beyond the
// family's 100000 Df.
ComputeOutcome computeTIntervalAtAnyDf(Calculators& calculators, const ComputeRequest& request);

// A Df read as a double, truncated toward zero and saturated to the int range (NaN gives 0),
// so that an absurd value such as 1e12 reaches the routine's own Df check instead of an
// undefined conversion.
int truncateDegreesOfFreedom(double value);

}  // namespace quorvel
