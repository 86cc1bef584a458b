#include "model/number_text.h"

#include <charconv>
#include <cmath>
#include <sstream>

namespace quorvel {

namespace {
constexpr int kSignificantDigits = 17;
constexpr std::size_t kBufferSize = 64;  // %.17g needs at most 24 characters
}  // namespace

std::string formatNumber(double value) {
    char buffer[kBufferSize];
    const auto [end, error] = std::to_chars(buffer, buffer + kBufferSize, value,
                                            std::chars_format::general, kSignificantDigits);
    if (error != std::errc{}) {
        return "nan";
    }
    return std::string(buffer, end);
}

std::string formatShortest(double value) {
    char buffer[kBufferSize];
    const auto [end, error] = std::to_chars(buffer, buffer + kBufferSize, value);
    if (error != std::errc{}) {
        return "nan";
    }
    return std::string(buffer, end);
}

std::optional<double> parseNumber(std::string_view text) {
    // from_chars takes no leading '+'; a user may well type one.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    double value = 0.0;
    const char* begin = text.data();
    const char* end = begin + text.size();
    const auto [stop, error] = std::from_chars(begin, end, value, std::chars_format::general);
    if (text.empty() || error != std::errc{} || stop != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> parseWrittenNumber(std::string_view text) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (text.empty() || error != std::errc{} || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::string_view trimBlanks(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

namespace {
// The number read from `text`, or nothing with the reason quoting it: not a number, or not
// whole where a whole number is asked for.
std::optional<double> checkedInput(std::string_view text, std::optional<double> number,
                                   bool wholeNumber, std::string& problem) {
    std::string quoted(1, '\'');
    quoted.append(text);
    quoted += '\'';
    if (!number) {
        problem = quoted + " is not a finite decimal number";
        return std::nullopt;
    }
    if (wholeNumber && std::trunc(*number) != *number) {
        problem = quoted + " is not a whole number of degrees of freedom";
        return std::nullopt;
    }
    return number;
}
}  // namespace

std::optional<double> readInputNumber(std::string_view text, bool wholeNumber,
                                      std::string& problem) {
    return checkedInput(text, parseNumber(text), wholeNumber, problem);
}

std::optional<double> readWrittenInputNumber(std::string_view text, bool wholeNumber,
                                             std::string& problem) {
    return checkedInput(text, parseWrittenNumber(text), wholeNumber, problem);
}

std::string percentageHint(std::string_view name, double value) {
    std::ostringstream text;
    text << name << ' ' << value << " looks like a percentage: write it as a proportion, for "
         << "example " << value / 100.0;
    return text.str();
}

}  // namespace quorvel
