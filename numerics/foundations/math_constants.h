#pragma once

#include <numbers>

namespace quorvel {

// Constants of the normal and gamma functions that std::numbers does not name, each once.
inline constexpr double kTwoPi = 2.0 * std::numbers::pi;
// ln √(2π), the constant of Stirling's formula.
inline constexpr double kLogSqrtTwoPi = 0.91893853320467274178032973640562;

}  // namespace quorvel
