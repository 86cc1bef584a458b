#pragma once

namespace quorvel::f_limits {

// Inclusive bounds of the arguments that the F family's searches accept.
constexpr int kMaxDf = 10000;
constexpr double kMaxLambda = 10000.0;
constexpr double kSmallestCumP = 0.0001;
constexpr double kLargestCumP = 0.9999;

// `method` 1 selects Tiku's three-moment approximation instead of the exact series.
constexpr int kApproximateMethod = 1;

}  // namespace quorvel::f_limits
