#pragma once

// Every message the chi-square family's routines show, each text once. The texts are the
// program's own and are kept exactly (a routine's documentation and its users' scripts quote
// them), so the same check may have different words in different routines.

namespace quorvel::chi_square_messages {

constexpr const char* kNegativeChiSquare = "Chi-Square must be nonnegative.";
constexpr const char* kDfOutOfRange = "Df out of range. Limits: 1 <= Df <= 100000.";
constexpr const char* kLambdaOutOfRange = "Lambda out of range. Limits: 0. <= Lambda <= 5000.";
constexpr const char* kCumPOutOfRange = "CumP out of range. Limits: .0001 <= CumP <= .9999";
constexpr const char* kCdfNotConverged = "X2 CDF failed to converge.";
constexpr const char* kDensityNotConverged = "X2 density failed to converge.";

// The percentage point (its Df message has no full stop).
constexpr const char* kPercentageDfOutOfRange = "Df out of range. Limits: 1 <= Df <= 100000";
constexpr const char* kSearchNotConverged = "Percentage point convergence failure.";

// The noncentrality and the confidence interval.
constexpr const char* kNoNonNegativeLambda =
    "No non-negative value of Lambda will produce the desired cumulative probability.";
constexpr const char* kConfidenceOutOfRange =
    "Confidence out of range. Limits: .8 <= Confidence <= .9999";

}  // namespace quorvel::chi_square_messages
