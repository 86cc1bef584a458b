#include "model/shown_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quorvel {
namespace {

struct ShownCase {
    const char* name;
    double value;
    const char* shown;
};

class ShownNumber : public ::testing::TestWithParam<ShownCase> {};

TEST_P(ShownNumber, SignificantDigitsThatTellTheValue) {
    EXPECT_EQ(shownNumber(GetParam().value), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    FromTinyToJustBelowOne, ShownNumber,
    ::testing::Values(ShownCase{"TinyStaysScientific", 1e-300, "1e-300"},
                      ShownCase{"FarTailKeepsSixDigits", 1.2495545312e-13, "1.24955e-13"},
                      ShownCase{"BelowTenToTheMinusFour", 2.6e-5, "2.6e-05"},
                      ShownCase{"TenToTheMinusFourIsFixed", 1e-4, "0.0001"},
                      ShownCase{"OrdinaryProbability", 0.93444239175445519, "0.934442"},
                      ShownCase{"NoNoiseDigits", 0.225, "0.225"},
                      ShownCase{"SumWithNoise", 0.1 + 0.2, "0.3"},
                      ShownCase{"FourNinesKeepFiveDigitsOfTheDistance", 0.999912345678,
                                "0.999912346"},
                      ShownCase{"SevenNines", 0.99999997, "0.99999997"},
                      ShownCase{"OneMinusTenToTheMinusTen", 1.0 - 1e-10, "0.9999999999"},
                      ShownCase{"OneMinusTenToTheMinusSixteen", 1.0 - 1e-16, "0.9999999999999999"},
                      ShownCase{"One", 1.0, "1"}, ShownCase{"Zero", 0.0, "0"},
                      ShownCase{"EveryIntegerDigit", 40528472.789012, "40528473"},
                      ShownCase{"RoundWholeNumber", 70.0, "70"},
                      ShownCase{"RoundLargeWholeNumber", 1.2e9, "1200000000"},
                      ShownCase{"SeventeenDigitsWithoutNoise", -98765432109876544.0,
                                "-98765432109876540"},
                      ShownCase{"NegativeLimit", -4105.58123, "-4105.58"},
                      ShownCase{"BeyondSeventeenIntegerDigits", 1e20, "1e+20"},
                      ShownCase{"Infinity", std::numeric_limits<double>::infinity(), "inf"}),
    [](const ::testing::TestParamInfo<ShownCase>& info) { return info.param.name; });

// Whatever is shown reads back within half a unit of its last digit, and never with more digits
// than a double has.
TEST(ShownNumber, ReadsBackWithinItsLastDigit) {
    for (double value = 1e-300; value < 1e300; value *= 7.3) {
        for (double shownValue : {value, 1.0 - value, -value}) {
            const std::string text = shownNumber(shownValue);
            const double read = std::strtod(text.c_str(), nullptr);
            EXPECT_LE(std::fabs(read - shownValue), 5e-6 * std::fabs(shownValue)) << text;
            EXPECT_LE(text.size(), std::size_t{24}) << text;
        }
    }
}

}  // namespace
}  // namespace quorvel
