#pragma once

namespace quorvel {

// The confidence levels every interval accepts, from 0.80 to 0.9999 inclusive: each family's
// limits and the Effect Size and Power window check a level against this one range.
inline constexpr double kSmallestConfidence = 0.8;
inline constexpr double kLargestConfidence = 0.9999;

// True for a level inside the accepted range (false for NaN).
constexpr bool isAcceptedConfidence(double level) {
    return level >= kSmallestConfidence && level <= kLargestConfidence;
}

}  // namespace quorvel
