#include "gui/widgets/decimal_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace quorvel {
namespace {

// C's printf in the "C" locale, the test's reference: an independent exact implementation.
std::string printfFixed(double value, int decimals) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

TEST(FormatFixed, MatchesPrintfIncludingTiesHugeAndTinyValues) {
    const double values[] = {0.0,     -0.35,      0.125,
                             2.675,   1e-7,       3.8414588206922367,
                             1e22,    1e300,      -1e300,
                             5e-324,  -9999.0,    0.1,
                             123.456, 1e15 + 0.5, -std::numeric_limits<double>::max()};
    for (const double value : values) {
        for (const int decimals : {0, 2, 6, 15}) {
            EXPECT_EQ(formatFixed(value, decimals), printfFixed(value, decimals))
                << value << " with " << decimals << " decimals";
        }
    }
}

TEST(FormatFixed, WidestTextOfAnyDoubleFitsAndReadsBack) {
    const double lowest = -std::numeric_limits<double>::max();
    const std::string text = formatFixed(lowest, 15);
    // Sign, 309 integer digits, point, 15 decimals.
    EXPECT_EQ(text.size(), 1u + 309u + 1u + 15u);
    EXPECT_EQ(std::strtod(text.c_str(), nullptr), lowest);
}

TEST(FormatFixed, DecimalsOutsideTheLimitsAreClamped) {
    EXPECT_EQ(formatFixed(0.5, 99), printfFixed(0.5, 15));
    EXPECT_EQ(formatFixed(2.5, -3), printfFixed(2.5, 0));
}

class DecimalNumberTest : public ::testing::TestWithParam<const char*> {};

// Accepted texts convert as C's strtod converts them, overflow and underflow included.
TEST_P(DecimalNumberTest, AcceptedAndReadAsStrtodReadsIt) {
    const char* text = GetParam();
    EXPECT_TRUE(isDecimalNumber(text)) << text;
    const double expected = std::strtod(text, nullptr);
    const double actual = parseDecimal(text);
    EXPECT_EQ(actual, expected) << text;
    EXPECT_EQ(std::signbit(actual), std::signbit(expected)) << text;
}

INSTANTIATE_TEST_SUITE_P(UsualNotation, DecimalNumberTest,
                         ::testing::Values("12", " 12 ", "\t7\n", "-0.35", "+4", ".5", "5.", "-.5",
                                           "+.5", "1.5e3", "1E+5", "2.5e-3", "0.0000001",
                                           "00012.500", "1e999", "-1e999", "1e-999", "-1e-999",
                                           "4e-320", "1000e306", "0.001e309",
                                           "1.7976931348623157e308", "1.7976931348623159e308",
                                           "1e99999999999", "0.000e400"));

TEST(DecimalNumber, RejectsEverythingButOneDecimalNumber) {
    const char* const rejected[] = {"",         "   ",
                                    ".",        "-",
                                    "+",        "+-1",
                                    "-+1",      "1e",
                                    "1e+",      "e5",
                                    "1..2",     "1 2",
                                    "1,5",      "12x",
                                    "x",        "0x1A",
                                    "0x1p3",    "inf",
                                    "-inf",     "nan",
                                    "infinity", "-----Failed-----"};
    for (const char* text : rejected) {
        EXPECT_FALSE(isDecimalNumber(text)) << '"' << text << '"';
        EXPECT_EQ(parseDecimal(text), 0.0) << '"' << text << '"';
    }
}

}  // namespace
}  // namespace quorvel
