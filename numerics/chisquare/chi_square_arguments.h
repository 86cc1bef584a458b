#pragma once

// The argument ranges of the chi-square family's public operations and their messages, shared
// by the four operations so that a limit and its text are stated once. Every check is written
// so that NaN fails it.

namespace quorvel::chi_square_arguments {

constexpr int kMinDf = 1;
constexpr int kMaxDf = 100000;
constexpr double kMaxLambda = 5000.0;
constexpr double kMinCumP = 0.0001;
constexpr double kMaxCumP = 0.9999;

constexpr const char* kNegativeChiSquare = "Chi-Square must be nonnegative.";
constexpr const char* kDfOutOfRange = "Df out of range. Limits: 1 <= Df <= 100000.";
constexpr const char* kLambdaOutOfRange = "Lambda out of range. Limits: 0. <= Lambda <= 5000.";
constexpr const char* kCumPOutOfRange = "CumP out of range. Limits: .0001 <= CumP <= .9999";

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
        return kNegativeChiSquare;
    }
    if (!isDegreesOfFreedom(df)) {
        return kDfOutOfRange;
    }
    if (!isNoncentrality(lambda)) {
        return kLambdaOutOfRange;
    }
    return nullptr;
}

}  // namespace quorvel::chi_square_arguments
