#pragma once

#include <optional>
#include <span>
#include <vector>

#include "gui/dialog/dialog_template.h"

namespace quorvel::dialog {

// The group box a control stands in: the smallest group box whose rectangle holds the
// control's; none for a control outside every box and for a group box itself.
std::optional<std::size_t> enclosingGroupBox(const DialogTemplate& dialogTemplate,
                                             std::size_t index);

// The row of a control: the controls in the same group box (or outside every box) whose
// vertical extents overlap its own, itself included, from left to right. Group boxes and
// up-down controls (which follow their buddies) belong to no row and have an empty one.
std::vector<std::size_t> rowOf(const DialogTemplate& dialogTemplate, std::size_t index);

// A control of a row in pixels: its place and its width.
struct RowSlot {
    int x;
    int width;
};

// The places of a row's controls, given left to right at their template places and with the
// widths they need, between the pixel columns `left` and `right` (both inclusive). Each control
// stays where it is unless its left neighbour or the left edge pushes it right, or its right
// neighbour or the right edge pushes it left; the order is kept and no two touch the same
// column. A row wider than the room is packed from the left edge and runs past the right one.
std::vector<int> fitRow(std::span<const RowSlot> row, int left, int right);

}  // namespace quorvel::dialog
