#pragma once

#include <cmath>

namespace quorvel::t_arguments {

// Inclusive bounds of the arguments that the t family's routines accept.
constexpr int kMaxDf = 100000;
constexpr double kMaxAbsDelta = 5000.0;
// The percentage point takes CumP in .0001 to .9999, the noncentrality search .00001 to .99999 so
// that confidence levels up to .9999 can be searched.
constexpr double kSmallestValueCumP = 0.0001;
constexpr double kLargestValueCumP = 0.9999;
constexpr double kSmallestDeltaCumP = 0.00001;
constexpr double kLargestDeltaCumP = 0.99999;

constexpr const char* kDfOutOfRange =
    "T distribution Df parameter out of range. Limits 1 <= Df <= 100000";
constexpr const char* kDeltaOutOfRange =
    "T distribution parameter Delta out of range. Should have absolute value less than or equal "
    "to 5000.";
constexpr const char* kTNotANumber = "T value is not a number.";

// The message for the first of Df, δ and t (in that order; NaN δ and NaN t are refused, an
// infinite t is accepted) that the distribution function and the density do not accept, or
// nullptr when all three are accepted. `largestDf` is the family's 100000 except for the limits
// of δ at any Df.
inline const char* distributionArgumentProblem(double t, int df, double delta,
                                               int largestDf = kMaxDf) {
    if (df < 1 || df > largestDf) {
        return kDfOutOfRange;
    }
    if (!(delta >= -kMaxAbsDelta && delta <= kMaxAbsDelta)) {
        return kDeltaOutOfRange;
    }
    if (std::isnan(t)) {
        return kTNotANumber;
    }
    return nullptr;
}

}  // namespace quorvel::t_arguments
