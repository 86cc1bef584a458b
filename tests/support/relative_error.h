#pragma once

#include <gmock/gmock.h>

#include <cmath>

namespace quorvel::testing {

// Matches a double within a relative tolerance of the expected value (absolute when the
// expected value is 0).
MATCHER_P2(IsWithinRelative, expected, tolerance,
           "is within relative " + ::testing::PrintToString(tolerance) + " of " +
               ::testing::PrintToString(expected)) {
    const double scale = expected == 0.0 ? 1.0 : std::fabs(expected);
    const double error = std::fabs(arg - expected) / scale;
    *result_listener << "relative error " << error;
    return error <= tolerance;
}

}  // namespace quorvel::testing
