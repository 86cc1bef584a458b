#pragma once

#include <string_view>

namespace quorvel {

// Which tail of a distribution a probability belongs to: P(X <= x) or P(X > x).
enum class Tail { Lower, Upper };

// A probability in one tail, the target of a percentage point or a noncentrality asked for
// beyond the cumulative-probability range: from 1e-300 up to but not including 1, so that a
// p-value or a critical value at any level a researcher uses is solved in its own tail, never
// as 1 minus the other.
struct TailProbability {
    Tail tail = Tail::Lower;
    double probability = 0.0;
};

inline constexpr double kSmallestTailProbability = 1e-300;

inline constexpr std::string_view kTailProbabilityOutOfRange =
    "Tail probability out of range. Limits: 1e-300 <= P < 1.";

// True for 1e-300 <= probability < 1 (false for NaN).
constexpr bool isAcceptedTailProbability(double probability) {
    return probability >= kSmallestTailProbability && probability < 1.0;
}

}  // namespace quorvel
