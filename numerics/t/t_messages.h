#pragma once

// Every message the t family's routines show, each text once. The texts are the program's own
// and are kept exactly (a routine's documentation and its users' scripts quote them), so the
// same check may have different words in different routines.

namespace quorvel::t_messages {

// The distribution function, the density and the noncentrality.
constexpr const char* kDfOutOfRange =
    "T distribution Df parameter out of range. Limits 1 <= Df <= 100000";
constexpr const char* kDeltaOutOfRange =
    "T distribution parameter Delta out of range. Should have absolute value less than or equal "
    "to 5000.";
constexpr const char* kTNotANumber = "T value is not a number.";
constexpr const char* kIntegralFailed =
    "Failure to integrate Owen's T function for the T distribution.";

// The percentage point.
constexpr const char* kPercentageCumPOutOfRange =
    "CumP out of range. Limits: .0001 <= CumP <= .9999";
constexpr const char* kPercentageDfOutOfRange =
    "T Distribution Df out of range. Limits: 1 <= Df <= 100000";
constexpr const char* kPercentagePointNotFound =
    "Failure to find percentage point in 10,000 iterations.";

// The noncentrality and the confidence interval.
constexpr const char* kNoncentralityCumPOutOfRange = "CumP out of range.";
constexpr const char* kDeltaNotFound = "Failure to find Delta in 10,000 iterations.";
constexpr const char* kIntervalDfOutOfRange = "T distribution Df parameter out of range.";
constexpr const char* kConfidenceOutOfRange =
    "T distribution Confidence Level out of range. Limits .80 <= Conf <= .9999";

}  // namespace quorvel::t_messages
