#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvel::cli {

// A number as printf's %.17g prints it in the C locale (always a decimal point, never a comma),
// so that the double read back is the one printed.
std::string formatNumber(double value);

// The whole text as a finite decimal number, or nothing when any character is left over, the
// text is empty, or the number is out of range or not finite.
std::optional<double> parseNumber(std::string_view text);

}  // namespace quorvel::cli
