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

std::string percentageHint(std::string_view name, double value) {
    std::ostringstream text;
    text << name << ' ' << value << " looks like a percentage: write it as a proportion, for "
         << "example " << value / 100.0;
    return text.str();
}

}  // namespace quorvel
