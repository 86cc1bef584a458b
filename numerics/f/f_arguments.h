#pragma once

namespace quorvel::f_arguments {

// Inclusive bounds of the arguments that the F family's routines accept.
constexpr int kMaxDf = 10000;
constexpr double kMaxLambda = 10000.0;
constexpr double kSmallestCumP = 0.0001;
constexpr double kLargestCumP = 0.9999;

// The `method` argument of the F routines: 0 the exact noncentral beta series, 1 Tiku's
// three-moment approximation; the distribution function gives the failure value, without a
// message, for any other number.
enum class FMethod : int { Exact = 0, ThreeMoment = 1 };
constexpr int methodNumber(FMethod method) {
    return static_cast<int>(method);
}

}  // namespace quorvel::f_arguments
