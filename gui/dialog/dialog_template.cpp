#include "gui/dialog/dialog_template.h"

#include <array>

#include "gui/dialog/control_ids.h"

namespace quorvel::dialog {

namespace {

using namespace control;
using namespace style;
using enum ControlClass;

constexpr std::uint32_t kRadio = kAutoRadioButton;
constexpr std::uint32_t kEdit = kAutoHorizontalScroll | kBorder | kTabStop;
constexpr std::uint32_t kSpin = kAlignRight | kArrowKeys;

// Template 102, in tab order. The two "Distribution Properties" boxes share their origin and
// differ only in height; the controller shows one of them.
constexpr std::array<ControlTemplate, 36> kMainControls{{
    {kHelpButton, Button, "&Help", {257, 9, 31, 14}, kPushButton | kTabStop, 0},
    {kDistributionGroup, Button, "Distribution", {13, 15, 85, 40}, kGroupBox, 0x806603E9},
    {kRadioF, Button, "F", {22, 32, 20, 10}, kRadio | kGroup | kTabStop, 0},
    {kRadioT, Button, "T", {47, 32, 20, 10}, kRadio | kTabStop, 0},
    {kRadioChiSquare, Button, "X2", {73, 32, 20, 10}, kRadio, 0},
    {kQuantityGroup, Button, "Quantity to Compute", {109, 15, 123, 40}, kGroupBox, 0x8066FFFF},
    {kRadioCumP, Button, "Cum. P", {114, 26, 32, 10}, kRadio | kGroup | kTabStop, 0},
    {kRadioValue, Button, "F Value", {153, 26, 36, 10}, kRadio | kTabStop, 0},
    {kRadioNoncentrality, Button, "Lamba", {194, 26, 37, 10}, kRadio | kTabStop, 0},
    {kRadioInterval90, Button, "90% C.I.", {114, 40, 35, 10}, kRadio | kTabStop, 0},
    {kRadioInterval95, Button, "95% C.I.", {153, 40, 36, 10}, kRadio | kTabStop, 0},
    {kRadioInterval99, Button, "99% C.I.", {194, 40, 35, 10}, kRadio | kTabStop, 0},
    {kShortPropertiesGroup,
     Button,
     "Distribution Properties",
     {13, 65, 100, 82},
     kGroupBox | kGroup,
     0},
    {kValueLabel, Static, "F Value", {20, 79, 28, 8}, kLeftText, 0},
    {kValueField, Edit, "", {53, 76, 56, 14}, kEdit, 0},
    {kValueSpin, UpDown, "Spin1", {113, 76, 10, 14}, kSpin, 0},
    {kNoncentralityLabel, Static, "Lambda", {20, 95, 26, 8}, kLeftText, 0},
    {kNoncentralityField, Edit, "", {53, 94, 56, 14}, kEdit, 0},
    {kNoncentralitySpin, UpDown, "Spin4", {113, 96, 10, 14}, kSpin, 0},
    {kCumPLabel, Static, "Cum. P", {20, 115, 22, 8}, kLeftText | kGroup, 0},
    {kCumPField, Edit, "", {53, 112, 56, 14}, kEdit, 0},
    {kCumPSpin, UpDown, "Spin5", {113, 115, 10, 14}, kSpin, 0},
    {kDf1Label, Static, "Df1", {20, 133, 11, 8}, kLeftText, 0},
    {kDf1Field, Edit, "", {53, 130, 56, 14}, kEdit, 0},
    {kDf1Spin, UpDown, "Spin2", {113, 131, 10, 14}, kSpin, 0},
    {kDf2Label, Static, "Df2", {20, 151, 11, 8}, kLeftText, 0},
    {kDf2Field, Edit, "", {53, 148, 56, 14}, kEdit, 0},
    {kDf2Spin, UpDown, "Spin3", {112, 149, 10, 14}, kSpin, 0},
    {kConfidenceGroup, Button, "Confidence Limits for Lambda", {132, 116, 98, 54}, kGroupBox, 0},
    {kLowerLabel, Static, "Lower", {143, 130, 19, 8}, kLeftText | kGroup, 0},
    {kLowerField, Edit, "", {168, 128, 46, 14}, kEdit, 0x80660400},
    {kUpperLabel, Static, "Upper", {143, 151, 20, 8}, kLeftText | kGroup, 0},
    {kUpperField, Edit, "", {168, 149, 46, 14}, kEdit, 0x80660401},
    {kComputeButton, Button, "Compute", {158, 81, 50, 14}, kPushButton | kTabStop, 0x80660409},
    {kTallPropertiesGroup,
     Button,
     "Distribution Properties",
     {13, 65, 100, 105},
     kGroupBox | kGroup,
     0},
    {kComputeStatusGroup, Button, "Compute Status", {132, 65, 99, 42}, kGroupBox, 0},
}};

constexpr int kUnaddressed = -1;
constexpr int kOkButton = 1;

// Template 100.
constexpr std::array<ControlTemplate, 4> kAboutControls{{
    {kUnaddressed, Static, "", {11, 17, 20, 20}, kIcon, 0},
    {kUnaddressed,
     Static,
     "Quorvel Version " QUORVEL_VERSION,
     {40, 10, 119, 8},
     kNoPrefix | kGroup,
     0},
    {kUnaddressed, Static, "Noncentral F, t, chi-square", {40, 25, 119, 8}, kLeftText | kGroup, 0},
    {kOkButton, Button, "OK", {178, 7, 50, 14}, kDefaultPushButton | kGroup | kTabStop, 0},
}};

constexpr DialogTemplate kMainDialog{kMainTemplateId,
                                     "Noncentral Distributions with Interval Estimation",
                                     296,
                                     188,
                                     "MS Sans Serif",
                                     8,
                                     kMainControls};

constexpr DialogTemplate kAboutDialog{
    kAboutTemplateId, "About Quorvel", 235, 55, "MS Sans Serif", 8, kAboutControls};

}  // namespace

const DialogTemplate& mainDialogTemplate() {
    return kMainDialog;
}

const DialogTemplate& aboutDialogTemplate() {
    return kAboutDialog;
}

std::vector<std::vector<std::size_t>> radioGroups(const DialogTemplate& dialogTemplate) {
    std::vector<std::vector<std::size_t>> groups;
    bool inGroup = false;
    for (std::size_t index = 0; index < dialogTemplate.controls.size(); ++index) {
        const ControlTemplate& control = dialogTemplate.controls[index];
        const bool radio = control.has(kAutoRadioButton);
        if (control.has(kGroup)) {
            inGroup = radio;
            if (radio) {
                groups.emplace_back();
            }
        }
        if (radio && inGroup) {
            groups.back().push_back(index);
        }
    }
    return groups;
}

}  // namespace quorvel::dialog
