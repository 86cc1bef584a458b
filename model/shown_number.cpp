#include "model/shown_number.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace quorvel {

namespace {

constexpr int kLeastDigits = 6;
// Digits of the distance from 1 that a number just below 1 keeps.
constexpr int kDistanceDigits = 5;
// A double holds 17 significant decimal digits; more would only print its binary noise.
constexpr int kMostDigits = 17;
constexpr std::size_t kBufferSize = 64;

// The significant digits of the shortest decimal text that reads back as `value`.
int shortestDigits(double value) {
    char buffer[kBufferSize];
    const auto [end, error] =
        std::to_chars(buffer, buffer + kBufferSize, value, std::chars_format::scientific);
    if (error != std::errc{}) {
        return kMostDigits;
    }
    const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    const std::string_view mantissa = text.substr(0, text.find('e'));
    return static_cast<int>(std::count_if(mantissa.begin(), mantissa.end(),
                                          [](char c) { return c >= '0' && c <= '9'; }));
}

// The 9s right after the point of a magnitude in (0.9, 1): each one is a digit that tells
// nothing about the distance from 1.
int ninesAfterThePoint(double magnitude) {
    int nines = 0;
    while (magnitude >= 0.9 && magnitude < 1.0 && nines < kMostDigits) {
        ++nines;
        magnitude = magnitude * 10.0 - 9.0;
    }
    return nines;
}

int integerDigits(double magnitude) {
    return magnitude >= 1.0 ? static_cast<int>(std::floor(std::log10(magnitude))) + 1 : 0;
}

// A whole number whose shortest text has fewer digits than its integer part (70 is "7e+01" at
// its one digit): those digits, then zeros up to the point (70, 98765432109876540).
std::string roundWholeNumber(double value, int wholeDigits) {
    char buffer[kBufferSize];
    const auto [end, error] =
        std::to_chars(buffer, buffer + kBufferSize, value, std::chars_format::scientific);
    std::string text;
    int digits = 0;
    for (const char* c = buffer; error == std::errc{} && c != end && *c != 'e'; ++c) {
        if (*c != '.') {
            text += *c;
            digits += *c >= '0' && *c <= '9' ? 1 : 0;
        }
    }
    return text + std::string(static_cast<std::size_t>(std::max(wholeDigits - digits, 0)), '0');
}

}  // namespace

std::string shownNumber(double value) {
    const double magnitude = std::fabs(value);
    const int wholeDigits = std::isfinite(magnitude) ? integerDigits(magnitude) : 0;
    int digits = std::max(
        {kLeastDigits, kDistanceDigits + ninesAfterThePoint(magnitude), wholeDigits});
    const int shortest = shortestDigits(value);
    if (digits <= kMostDigits && shortest < wholeDigits) {
        return roundWholeNumber(value, wholeDigits);
    }
    digits = std::min({digits, kMostDigits, shortest});
    char buffer[kBufferSize];
    const auto [end, error] = std::to_chars(buffer, buffer + kBufferSize, value,
                                            std::chars_format::general, std::max(digits, 1));
    if (error != std::errc{}) {
        return "nan";
    }
    return std::string(buffer, end);
}

}  // namespace quorvel
