#pragma once

#include <cmath>

#include "numerics/t/t_messages.h"

namespace quorvel::t_arguments {

// Inclusive bounds of the arguments that the t family's routines accept.
constexpr int kMaxDf = 100000;
constexpr double kMaxAbsDelta = 5000.0;
// The percentage point takes CumP in .0001 to .9999, the noncentrality search .00001 to .99999 so
// that confidence levels up to .9999 can be searched.
constexpr double kMinValueCumP = 0.0001;
constexpr double kMaxValueCumP = 0.9999;
constexpr double kMinDeltaCumP = 0.00001;
constexpr double kMaxDeltaCumP = 0.99999;

// The message for the first of Df, δ and t (in that order; NaN δ and NaN t are refused, an
// infinite t is accepted) that the distribution function and the density do not accept, or
// nullptr when all three are accepted. `largestDf` is the family's 100000 except for the limits
// of δ at any Df.
inline const char* distributionArgumentProblem(double t, int df, double delta,
                                               int largestDf = kMaxDf) {
    if (df < 1 || df > largestDf) {
        return t_messages::kDfOutOfRange;
    }
    if (!(delta >= -kMaxAbsDelta && delta <= kMaxAbsDelta)) {
        return t_messages::kDeltaOutOfRange;
    }
    if (std::isnan(t)) {
        return t_messages::kTNotANumber;
    }
    return nullptr;
}

}  // namespace quorvel::t_arguments
