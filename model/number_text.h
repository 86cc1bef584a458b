#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// A number as printf's %.17g prints it in the C locale (always a decimal point, never a comma),
// so that the double read back is the one printed.
std::string formatNumber(double value);

// The shortest text that parseNumber reads back as the same double ("0.95", "1e-05"): an
// input as a file or the record keeps it.
std::string formatShortest(double value);

// The whole text as a finite decimal number, or nothing when any character is left over, the
// text is empty, or the number is out of range or not finite.
std::optional<double> parseNumber(std::string_view text);

// The whole text as formatNumber or formatShortest writes a double, "inf", "-inf" and "nan"
// included; nothing when any character is left over or the text is empty.
std::optional<double> parseWrittenNumber(std::string_view text);

// "NAME X looks like a percentage: write it as a proportion, for example Y" for a level or a
// power written above 1 (95 for 0.95), with both numbers in their shortest form.
std::string percentageHint(std::string_view name, double value);

}  // namespace quorvel
