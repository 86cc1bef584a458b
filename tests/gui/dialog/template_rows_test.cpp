#include "gui/dialog/template_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gui/dialog/control_ids.h"

namespace quorvel::dialog {
namespace {

using namespace control;

// The index of a control of the main template; the two unaddressed boxes are found by caption.
std::size_t indexOf(int id, const char* caption = nullptr) {
    const auto& controls = mainDialogTemplate().controls;
    return static_cast<std::size_t>(
        std::find_if(controls.begin(), controls.end(),
                     [&](const ControlTemplate& control) {
                         return control.id == id &&
                                (caption == nullptr || std::string_view(control.text) == caption);
                     }) -
        controls.begin());
}

std::vector<std::size_t> indexesOf(std::initializer_list<int> ids) {
    std::vector<std::size_t> indexes;
    for (int id : ids) {
        indexes.push_back(indexOf(id));
    }
    return indexes;
}

TEST(TemplateRows, AControlStandsInTheSmallestBoxThatHoldsIt) {
    const DialogTemplate& main = mainDialogTemplate();
    // The two property boxes share their origin: the short one holds the upper fields, only
    // the tall one holds Df2.
    EXPECT_EQ(enclosingGroupBox(main, indexOf(kValueField)), indexOf(kShortPropertiesGroup));
    EXPECT_EQ(enclosingGroupBox(main, indexOf(kDf2Field)), indexOf(kTallPropertiesGroup));
    EXPECT_EQ(enclosingGroupBox(main, indexOf(kRadioInterval99)),
              indexOf(kQuantityGroup, "Quantity to Compute"));
    EXPECT_EQ(enclosingGroupBox(main, indexOf(kComputeButton)),
              indexOf(kComputeStatusGroup, "Compute Status"));
    EXPECT_EQ(enclosingGroupBox(main, indexOf(kHelpButton)), std::nullopt);
    EXPECT_EQ(enclosingGroupBox(main, indexOf(kConfidenceGroup)), std::nullopt);
}

TEST(TemplateRows, ARowIsTheLineOfControlsInOneBoxFromLeftToRight) {
    const DialogTemplate& main = mainDialogTemplate();
    EXPECT_EQ(rowOf(main, indexOf(kRadioNoncentrality)),
              indexesOf({kRadioCumP, kRadioValue, kRadioNoncentrality}));
    EXPECT_EQ(rowOf(main, indexOf(kRadioInterval90)),
              indexesOf({kRadioInterval90, kRadioInterval95, kRadioInterval99}));
    // A label and its field, without the spin button that follows the field.
    EXPECT_EQ(rowOf(main, indexOf(kValueLabel)), indexesOf({kValueLabel, kValueField}));
    EXPECT_EQ(rowOf(main, indexOf(kUpperLabel)), indexesOf({kUpperLabel, kUpperField}));
    EXPECT_TRUE(rowOf(main, indexOf(kDistributionGroup)).empty());
    EXPECT_TRUE(rowOf(main, indexOf(kValueSpin)).empty());
}

struct FitCase {
    const char* name;
    std::vector<RowSlot> rowSlots;
    int left;
    int right;
    std::vector<int> expected;
};

class FitRow : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitRow, PlacesTheControls) {
    const FitCase& row = GetParam();
    EXPECT_EQ(fitRow(row.rowSlots, row.left, row.right), row.expected);
}

// Room from column 10 to column 109; the template places are 20, 50 and 80.
INSTANTIATE_TEST_SUITE_P(TemplateRows, FitRow,
                         ::testing::Values(FitCase{"RoomEnoughKeepsTheTemplatePlaces",
                                                   {{20, 25}, {50, 25}, {80, 25}},
                                                   10,
                                                   109,
                                                   {20, 50, 80}},
                                           FitCase{"AWideCaptionPushesItsRightNeighbour",
                                                   {{20, 40}, {50, 25}, {80, 25}},
                                                   10,
                                                   109,
                                                   {20, 60, 85}},
                                           FitCase{"TheRightEdgePullsTheLastControlsBack",
                                                   {{20, 25}, {50, 28}, {80, 35}},
                                                   10,
                                                   109,
                                                   {20, 47, 75}},
                                           FitCase{"TheLeftEdgePushesTheFirstControlIn",
                                                   {{5, 25}, {50, 25}, {80, 25}},
                                                   10,
                                                   109,
                                                   {10, 50, 80}},
                                           FitCase{"ARowThatJustFitsFillsTheRoom",
                                                   {{20, 34}, {50, 33}, {80, 33}},
                                                   10,
                                                   109,
                                                   {10, 44, 77}},
                                           FitCase{"ARowTooWideIsPackedFromTheLeft",
                                                   {{20, 40}, {50, 40}, {80, 40}},
                                                   10,
                                                   109,
                                                   {10, 50, 90}},
                                           FitCase{"AnEmptyRow", {}, 10, 109, {}}),
                         [](const ::testing::TestParamInfo<FitCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace quorvel::dialog
