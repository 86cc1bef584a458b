#include "gui/dialog/dialog_units.h"

#include <gtest/gtest.h>

#include <string_view>

namespace quorvel::dialog {
namespace {

TEST(DialogUnits, SampleHasTheFiftyTwoLetters) {
    EXPECT_EQ(std::string_view(kAverageWidthSample).size(), 52U);
}

// An 8-point sans-serif at 96 dpi advances the 52 letters by about 300 pixels and is 13 pixels
// high: base units 6 × 13, the classic pair, under which the main dialog's 296 × 188 units
// measure 444 × 306 pixels (305.5 rounds up).
TEST(DialogUnits, ClassicBaseUnitsGiveTheClassicDialogSize) {
    const DialogBaseUnits units{averageCharWidth(300), 13};
    EXPECT_EQ(units.averageWidth, 6);
    EXPECT_EQ(horizontalPixels(296, units), 444);
    EXPECT_EQ(verticalPixels(188, units), 306);
}

struct AverageCase {
    int advance;
    int width;
};

class AverageCharWidth : public ::testing::TestWithParam<AverageCase> {};

// Rounded to the nearest pixel from the advance of 52 letters: 52 · 5.5 = 286 is the boundary
// between 5 and 6.
TEST_P(AverageCharWidth, RoundsTheMeanAdvance) {
    EXPECT_EQ(averageCharWidth(GetParam().advance), GetParam().width);
}

INSTANTIATE_TEST_SUITE_P(Advances, AverageCharWidth,
                         ::testing::Values(AverageCase{259, 5}, AverageCase{285, 5},
                                           AverageCase{286, 6}, AverageCase{337, 6},
                                           AverageCase{338, 7}, AverageCase{364, 7}));

TEST(DialogUnits, EachCoordinateRoundsOnItsOwnHalvesUp) {
    const DialogBaseUnits units{7, 13};
    // 13 · 7 / 4 = 22.75, 20 · 7 / 4 = 35, 2 · 7 / 4 = 3.5 → 4; 1 · 13 / 8 = 1.625 → 2,
    // 4 · 13 / 8 = 6.5 → 7.
    const PixelRect pixels = toPixels({13, 1, 2, 4}, units);
    EXPECT_EQ(pixels.x, 23);
    EXPECT_EQ(pixels.y, 2);
    EXPECT_EQ(pixels.width, 4);
    EXPECT_EQ(pixels.height, 7);
    EXPECT_EQ(horizontalPixels(20, units), 35);
    EXPECT_EQ(verticalPixels(0, units), 0);
}

}  // namespace
}  // namespace quorvel::dialog
