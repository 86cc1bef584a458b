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

// The text without the blanks and tabs around it, as a field of a batch file or a window's
// input is read.
std::string_view trimBlanks(std::string_view text);

// The number a user gives for an input, by the one rule of the command line, the batch files
// and the window: parseNumber, and for degrees of freedom (`wholeNumber`) a whole value, which
// may be written in any notation parseNumber reads (2.5e3). Otherwise nothing, with `problem`
// set to the reason quoting the text: "'1e400' is not a finite decimal number" or "'2.9' is not
// a whole number of degrees of freedom". The caller puts the input's name in front.
std::optional<double> readInputNumber(std::string_view text, bool wholeNumber,
                                      std::string& problem);
// The same for a text the program wrote itself (a record file read back): parseWrittenNumber,
// so infinities and NaN read as written.
std::optional<double> readWrittenInputNumber(std::string_view text, bool wholeNumber,
                                             std::string& problem);

// "NAME X looks like a percentage: write it as a proportion, for example Y" for a level or a
// power written above 1 (95 for 0.95), with both numbers in their shortest form.
std::string percentageHint(std::string_view name, double value);

}  // namespace quorvel
