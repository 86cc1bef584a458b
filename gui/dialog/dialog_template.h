#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace quorvel::dialog {

// The window class of a template control.
enum class ControlClass { Button, Static, Edit, UpDown };

// Style bits of a template control. A control starting a group (kGroup) ends the radio-button
// group before it; kTabStop makes it a stop of the Tab key. The others choose the kind of
// button or static and the look of an edit box or an up-down control.
namespace style {
inline constexpr std::uint32_t kGroup = 1U << 0;
inline constexpr std::uint32_t kTabStop = 1U << 1;
inline constexpr std::uint32_t kPushButton = 1U << 2;
inline constexpr std::uint32_t kDefaultPushButton = 1U << 3;
inline constexpr std::uint32_t kGroupBox = 1U << 4;
inline constexpr std::uint32_t kAutoRadioButton = 1U << 5;
inline constexpr std::uint32_t kLeftText = 1U << 6;
inline constexpr std::uint32_t kIcon = 1U << 7;
inline constexpr std::uint32_t kNoPrefix = 1U << 8;
inline constexpr std::uint32_t kAutoHorizontalScroll = 1U << 9;
inline constexpr std::uint32_t kBorder = 1U << 10;
inline constexpr std::uint32_t kAlignRight = 1U << 11;
inline constexpr std::uint32_t kArrowKeys = 1U << 12;
}  // namespace style

// A rectangle in dialog units: a quarter of the dialog font's average character width
// horizontally, an eighth of its height vertically.
struct DialogRect {
    int x;
    int y;
    int width;
    int height;
};

// One control of a dialog template. `id` is −1 for controls the program never addresses;
// `helpId` is the context-help identifier, 0 for a control without a popup.
struct ControlTemplate {
    int id;
    ControlClass controlClass;
    const char* text;
    DialogRect rect;
    std::uint32_t style;
    std::uint32_t helpId;

    bool has(std::uint32_t bits) const { return (style & bits) == bits; }
};

// A dialog template: its caption, client size in dialog units, font, and its controls in tab
// order (which is also the order in which they are created).
struct DialogTemplate {
    int id;
    const char* caption;
    int width;
    int height;
    const char* fontFace;
    int fontPointSize;
    std::span<const ControlTemplate> controls;
};

inline constexpr int kAboutTemplateId = 100;
inline constexpr int kMainTemplateId = 102;
// The About entry of the main dialog's menu (string 101).
inline constexpr const char* kAboutMenuText = "&About Quorvel...";

// The main dialog: distribution and quantity choices, the numeric fields, Compute and Help.
const DialogTemplate& mainDialogTemplate();
// The About box: the program icon, the version line, a second line and OK.
const DialogTemplate& aboutDialogTemplate();

// The context-help identifier of a control: 0x80000000 + template id · 65536 + the control id
// taken as 16 bits (so −1 gives 65535).
constexpr std::uint32_t contextHelpId(int templateId, int controlId) {
    return 0x80000000U + static_cast<std::uint32_t>(templateId) * 65536U +
           (static_cast<std::uint32_t>(controlId) & 0xFFFFU);
}

// The auto radio buttons of a template grouped as the dialog exchanges them: a group starts at
// a radio button with kGroup and runs up to the next control with kGroup. Each group lists
// the indexes of its buttons in template order, so a button's place in its group is its
// position in the exchange.
std::vector<std::vector<std::size_t>> radioGroups(const DialogTemplate& dialogTemplate);

}  // namespace quorvel::dialog
