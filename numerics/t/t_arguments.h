#pragma once

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

}  // namespace quorvel::t_arguments
