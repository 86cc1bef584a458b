#include "gui/dialog/dialog_template.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "gui/dialog/control_ids.h"
#include "gui/main/compute_view.h"

namespace quorvel::dialog {
namespace {

using namespace control;

std::vector<int> idsWith(const DialogTemplate& dialogTemplate, std::uint32_t bits) {
    std::vector<int> ids;
    for (const ControlTemplate& control : dialogTemplate.controls) {
        if (control.has(bits)) {
            ids.push_back(control.id);
        }
    }
    return ids;
}

bool inside(const DialogRect& inner, const DialogRect& outer) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

const ControlTemplate& controlWith(int id) {
    const auto& controls = mainDialogTemplate().controls;
    return *std::find_if(controls.begin(), controls.end(),
                         [id](const ControlTemplate& control) { return control.id == id; });
}

TEST(MainDialogTemplate, HasThirtySixControlsWithUniqueIdsExceptTheTwoUnaddressedBoxes) {
    const DialogTemplate& main = mainDialogTemplate();
    ASSERT_EQ(main.controls.size(), 36U);
    std::multiset<int> ids;
    for (const ControlTemplate& control : main.controls) {
        ids.insert(control.id);
    }
    EXPECT_EQ(ids.count(-1), 2U);
    for (int id : ids) {
        if (id != -1) {
            EXPECT_EQ(ids.count(id), 1U) << id;
        }
    }
    EXPECT_EQ(main.width, 296);
    EXPECT_EQ(main.height, 188);
    EXPECT_STREQ(main.caption, "Noncentral Distributions with Interval Estimation");
}

TEST(MainDialogTemplate, TabStopsInTemplateOrder) {
    const std::vector<int> expected{
        kHelpButton,         kRadioF,          kRadioT,          kRadioCumP,       kRadioValue,
        kRadioNoncentrality, kRadioInterval90, kRadioInterval95, kRadioInterval99, kValueField,
        kNoncentralityField, kCumPField,       kDf1Field,        kDf2Field,        kLowerField,
        kUpperField,         kComputeButton};
    EXPECT_EQ(idsWith(mainDialogTemplate(), style::kTabStop), expected);
}

TEST(MainDialogTemplate, HelpIdsFollowTheTemplateAndControlId) {
    int withHelp = 0;
    for (const ControlTemplate& control : mainDialogTemplate().controls) {
        if (control.helpId != 0) {
            ++withHelp;
            EXPECT_EQ(control.helpId, contextHelpId(kMainTemplateId, control.id)) << control.text;
        }
    }
    EXPECT_EQ(withHelp, 5);
    EXPECT_EQ(contextHelpId(kMainTemplateId, kQuantityGroup), 0x8066FFFFU);
    EXPECT_EQ(contextHelpId(kMainTemplateId, kComputeButton), 0x80660409U);
}

// The positions must agree with the controller's enumerations and with the order F, T, X2 and
// Cum. P, value, noncentrality, 90%, 95%, 99%.
TEST(MainDialogTemplate, RadioGroupsAreTheDistributionAndTheQuantity) {
    const DialogTemplate& main = mainDialogTemplate();
    const auto groups = radioGroups(main);
    ASSERT_EQ(groups.size(), 2U);
    const auto idsOf = [&main](const std::vector<std::size_t>& indexes) {
        std::vector<int> ids;
        for (std::size_t index : indexes) {
            ids.push_back(main.controls[index].id);
        }
        return ids;
    };
    EXPECT_EQ(idsOf(groups[static_cast<std::size_t>(RadioGroup::Distribution)]),
              (std::vector<int>{kRadioF, kRadioT, kRadioChiSquare}));
    EXPECT_EQ(idsOf(groups[static_cast<std::size_t>(RadioGroup::Quantity)]),
              (std::vector<int>{kRadioCumP, kRadioValue, kRadioNoncentrality, kRadioInterval90,
                                kRadioInterval95, kRadioInterval99}));
}

TEST(MainDialogTemplate, OverlappingPropertiesBoxesAndComputeInsideItsStatusBox) {
    const DialogRect& shortBox = controlWith(kShortPropertiesGroup).rect;
    const DialogRect& tallBox = controlWith(kTallPropertiesGroup).rect;
    EXPECT_EQ(shortBox.x, tallBox.x);
    EXPECT_EQ(shortBox.y, tallBox.y);
    EXPECT_EQ(shortBox.width, tallBox.width);
    EXPECT_LT(shortBox.height, tallBox.height);
    // The tall box reaches round the Df2 row, the short one ends above it.
    EXPECT_TRUE(inside(controlWith(kDf2Field).rect, tallBox));
    EXPECT_FALSE(inside(controlWith(kDf2Field).rect, shortBox));
    EXPECT_TRUE(inside(controlWith(kDf1Field).rect, shortBox));

    const auto& controls = mainDialogTemplate().controls;
    const ControlTemplate& statusBox = controls.back();
    EXPECT_STREQ(statusBox.text, "Compute Status");
    EXPECT_TRUE(inside(controlWith(kComputeButton).rect, statusBox.rect));
}

TEST(MainDialogTemplate, EveryControlLiesInsideTheDialog) {
    const DialogTemplate& main = mainDialogTemplate();
    for (const ControlTemplate& control : main.controls) {
        EXPECT_TRUE(inside(control.rect, {0, 0, main.width, main.height})) << control.id;
    }
}

TEST(AboutDialogTemplate, EveryControlLiesInsideTheBox) {
    const DialogTemplate& about = aboutDialogTemplate();
    for (const ControlTemplate& control : about.controls) {
        EXPECT_TRUE(inside(control.rect, {0, 0, about.width, about.height})) << control.text;
    }
}

TEST(RadioGroups, AGroupEndsAtTheNextControlStartingAGroup) {
    using enum ControlClass;
    constexpr std::uint32_t kRadio = style::kAutoRadioButton;
    const ControlTemplate controls[] = {
        {1, Button, "a", {}, kRadio | style::kGroup, 0},
        {2, Button, "b", {}, kRadio, 0},
        {3, Static, "label", {}, style::kLeftText | style::kGroup, 0},
        {4, Button, "loose", {}, kRadio, 0},
        {5, Button, "c", {}, kRadio | style::kGroup, 0},
    };
    const DialogTemplate dialogTemplate{1, "", 10, 10, "", 8, controls};
    const auto groups = radioGroups(dialogTemplate);
    ASSERT_EQ(groups.size(), 2U);
    EXPECT_EQ(groups[0], (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(groups[1], (std::vector<std::size_t>{4}));
}

}  // namespace
}  // namespace quorvel::dialog
