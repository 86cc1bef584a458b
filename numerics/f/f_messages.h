#pragma once

// Every message the F family's routines show, each text once. The texts are the program's own
// and are kept exactly (a routine's documentation and its users' scripts quote them), so the
// same check may have different words in different routines.

namespace quorvel::f_messages {

// The distribution function, the density and the confidence interval.
constexpr const char* kDf1OutOfRange = "Df1 out of range.";
constexpr const char* kDf2OutOfRange = "Df2 out of range.";
constexpr const char* kLambdaOutOfRange = "Lambda out of range.";
constexpr const char* kParameterOutOfRange = "F distribution parameter out of range.";
constexpr const char* kDensityNotConverged = "F density failed to converge.";
constexpr const char* kBetaFailed = "Failure in Incomplete Beta Calculation";
constexpr const char* kBetaTooManyTerms = "Iteration Limit Exceeded in Noncentral Beta";

// The percentage point.
constexpr const char* kPercentageDfOutOfRange =
    "F distribution parameter out of range. Limits 1 <= Df <= 10000";
constexpr const char* kPercentageLambdaOutOfRange =
    "F distribution parameter out of range. Limits 0. <= Lambda <= 10000.";
constexpr const char* kPercentageCumPOutOfRange =
    "CumP out of range. Limits are .0001 <= CumP <= .9999 ";
constexpr const char* kCentralNotBracketed =
    "Unable to Bracket Root in Inverse Central F Rountine.";
constexpr const char* kCentralNotConverged =
    "Failure to converge in Central F Inverse CDF routine.";
constexpr const char* kNoncentralNotBracketed =
    "Failed to Bracket in Noncentral F Inverse CDF routine.";
constexpr const char* kNoncentralNotConverged =
    "Failed to find a solution in Noncentral F Inverse CDF routine.";

// The noncentrality and the confidence interval.
constexpr const char* kNoncentralityDfOutOfRange =
    "F distribution parameter out of range. Limits: 1 <= Df <= 10000";
constexpr const char* kNoncentralityCumPOutOfRange =
    "CumP out of range. Limits: .0001 <= CumP <= .9999";
constexpr const char* kNoNonNegativeLambda =
    "No non-negative value of Lambda can be found. Returning 0.";
constexpr const char* kLambdaNotConverged = "Lambda-finding algorithm failed to converge.";
constexpr const char* kLambdaNotWithinTolerance =
    "Caution: Probability value not within tolerance for this value of Lambda.";
constexpr const char* kConfidenceOutOfRange = "Confidence out of range. Limits: .80 to .9999";
constexpr const char* kNegativeFValue = "F Value must be non-negative.";

}  // namespace quorvel::f_messages
