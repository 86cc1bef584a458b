#include "gui/widgets/decimal_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <system_error>

namespace quorvel {

namespace {

// Sign, the 309 integer digits of the largest double, the point and the decimals: the longest
// text formatFixed can produce, so std::to_chars never runs out of room.
constexpr std::size_t kFixedTextCapacity =
    1 + (std::numeric_limits<double>::max_exponent10 + 1) + 1 + kMaxFixedDecimals;

// Exponents are read up to this magnitude; any larger one is already far outside the range of
// a double, and the cap keeps the accumulated exponent inside an int.
constexpr int kExponentCap = 100000;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A decimal number found by scanDecimal.
struct ScannedDecimal {
    bool isNumber = false;
    // The number itself, without the surrounding white space and without a leading "+", which
    // std::from_chars does not take.
    std::string_view body;
    // The decimal order of the leading significant digit: a nonzero value lies in
    // [10^(order-1), 10^order). It tells an overflow from an underflow.
    int order = 0;
};

// Reads the usual decimal notation as strtod does for decimal input, without its hexadecimal,
// infinity and NaN forms; an "e" that no digit follows ends the number before it.
ScannedDecimal scanDecimal(std::string_view text) {
    const std::size_t length = text.size();
    std::size_t i = 0;
    while (i < length && isBlank(text[i])) {
        ++i;
    }
    const bool hasPlus = i < length && text[i] == '+';
    if (hasPlus) {
        ++i;
    }
    const std::size_t bodyStart = i;
    if (!hasPlus && i < length && text[i] == '-') {
        ++i;
    }

    int mantissaDigits = 0;
    int significantIntegerDigits = 0;
    int leadingFractionZeros = 0;
    bool seenNonzero = false;
    while (i < length && isDigit(text[i])) {
        seenNonzero = seenNonzero || text[i] != '0';
        significantIntegerDigits += seenNonzero ? 1 : 0;
        ++mantissaDigits;
        ++i;
    }
    if (i < length && text[i] == '.') {
        ++i;
        while (i < length && isDigit(text[i])) {
            seenNonzero = seenNonzero || text[i] != '0';
            leadingFractionZeros += seenNonzero ? 0 : 1;
            ++mantissaDigits;
            ++i;
        }
    }
    if (mantissaDigits == 0) {
        return {};
    }

    int exponent = 0;
    if (i < length && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        const bool negativeExponent = j < length && text[j] == '-';
        if (j < length && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        if (j < length && isDigit(text[j])) {
            while (j < length && isDigit(text[j])) {
                exponent = std::min(exponent * 10 + (text[j] - '0'), kExponentCap);
                ++j;
            }
            exponent = negativeExponent ? -exponent : exponent;
            i = j;
        }
    }
    const std::size_t bodyEnd = i;

    while (i < length && isBlank(text[i])) {
        ++i;
    }
    if (i != length) {
        return {};
    }
    const int leadingOrder =
        significantIntegerDigits > 0 ? significantIntegerDigits : -leadingFractionZeros;
    return {true, text.substr(bodyStart, bodyEnd - bodyStart), leadingOrder + exponent};
}

}  // namespace

std::string formatFixed(double value, int decimals) {
    std::array<char, kFixedTextCapacity> buffer{};
    const std::to_chars_result written =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed,
                      std::clamp(decimals, 0, kMaxFixedDecimals));
    return std::string(buffer.data(), written.ptr);
}

bool isDecimalNumber(std::string_view text) {
    return scanDecimal(text).isNumber;
}

// Every beginning of the notation (a sign, a point, an exponent's "e" or its sign) is completed
// by one more digit.
bool isNumberBeingTyped(std::string_view text) {
    return !text.empty() && (isDecimalNumber(text) || isDecimalNumber(std::string(text) + '0'));
}

double parseDecimal(std::string_view text) {
    const ScannedDecimal scanned = scanDecimal(text);
    if (!scanned.isNumber) {
        return 0.0;
    }
    double value = 0.0;
    const std::from_chars_result read =
        std::from_chars(scanned.body.data(), scanned.body.data() + scanned.body.size(), value);
    if (read.ec == std::errc::result_out_of_range) {
        // std::from_chars leaves the value alone here; strtod gives the signed infinity for an
        // overflow and a signed zero for an underflow, and so does this.
        const double magnitude = scanned.order > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        return scanned.body.front() == '-' ? -magnitude : magnitude;
    }
    return value;
}

}  // namespace quorvel
