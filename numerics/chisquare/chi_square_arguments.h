#pragma once

#include "numerics/chisquare/chi_square_messages.h"

// The argument ranges of the chi-square family's public operations, shared by the four
// operations so that a limit is stated once (their messages are in chi_square_messages.h).
// Every check is written so that NaN fails it.

namespace quorvel::chi_square_arguments {

constexpr int kMinDf = 1;
constexpr int kMaxDf = 100000;
constexpr double kMaxLambda = 5000.0;
constexpr double kMinCumP = 0.0001;
constexpr double kMaxCumP = 0.9999;

inline bool isChiSquareValue(double x) {
    return x >= 0.0;
}
inline bool isDegreesOfFreedom(int df) {
    return df >= kMinDf && df <= kMaxDf;
}
inline bool isNoncentrality(double lambda) {
    return lambda >= 0.0 && lambda <= kMaxLambda;
}
inline bool isCumulativeProbability(double p) {
    return p >= kMinCumP && p <= kMaxCumP;
}

// The message for the first of x, Df and λ (in that order) that the distribution function and
// the density do not accept, or nullptr when all three are accepted.
inline const char* distributionArgumentProblem(double x, int df, double lambda) {
    if (!isChiSquareValue(x)) {
        return chi_square_messages::kNegativeChiSquare;
    }
    if (!isDegreesOfFreedom(df)) {
        return chi_square_messages::kDfOutOfRange;
    }
    if (!isNoncentrality(lambda)) {
        return chi_square_messages::kLambdaOutOfRange;
    }
    return nullptr;
}

}  // namespace quorvel::chi_square_arguments
