#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// Longest number of decimals that formatFixed writes.
inline constexpr int kMaxFixedDecimals = 15;

// `value` in fixed notation with `decimals` digits after the point (clamped to
// 0..kMaxFixedDecimals): the exact binary value rounded to that many decimals, always with a
// decimal point whatever the user's locale. NaN gives "nan", the infinities "inf" and "-inf".
// Every double fits; the routine has no failure.
std::string formatFixed(double value, int decimals);

// Whether the whole text is one decimal number in the usual notation: optional leading white
// space, an optional sign, digits with an optional decimal point (at least one digit), an
// optional exponent ("e" or "E", an optional sign, digits), then nothing but white space.
// Hexadecimal numbers, "inf" and "nan" are not numbers here.
bool isDecimalNumber(std::string_view text);

// Whether the text is a decimal number that has only begun: not empty, and a number once more
// characters are appended ("-", "+", ".", "2.", "2.5e", "1e-"). A whole number is one too.
bool isNumberBeingTyped(std::string_view text);

// The value of a text that isDecimalNumber accepts, read with a decimal point whatever the
// user's locale; a magnitude beyond the double range gives an infinity of the text's sign, one
// below the smallest subnormal gives a zero of that sign. Any other text gives 0.0.
double parseDecimal(std::string_view text);

}  // namespace quorvel
