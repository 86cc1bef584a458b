#include "gui/dialog/template_rows.h"

#include <algorithm>

namespace quorvel::dialog {

namespace {

bool holds(const DialogRect& outer, const DialogRect& inner) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

bool overlapVertically(const DialogRect& first, const DialogRect& second) {
    return first.y < second.y + second.height && second.y < first.y + first.height;
}

bool isGroupBox(const ControlTemplate& control) {
    return control.has(style::kGroupBox);
}

bool standsInRows(const ControlTemplate& control) {
    return !isGroupBox(control) && control.controlClass != ControlClass::UpDown;
}

}  // namespace

std::optional<std::size_t> enclosingGroupBox(const DialogTemplate& dialogTemplate,
                                             std::size_t index) {
    const ControlTemplate& control = dialogTemplate.controls[index];
    if (isGroupBox(control)) {
        return std::nullopt;
    }
    std::optional<std::size_t> smallest;
    for (std::size_t box = 0; box < dialogTemplate.controls.size(); ++box) {
        const DialogRect& rect = dialogTemplate.controls[box].rect;
        if (!isGroupBox(dialogTemplate.controls[box]) || !holds(rect, control.rect)) {
            continue;
        }
        const DialogRect* best = smallest ? &dialogTemplate.controls[*smallest].rect : nullptr;
        if (best == nullptr || rect.width * rect.height < best->width * best->height) {
            smallest = box;
        }
    }
    return smallest;
}

std::vector<std::size_t> rowOf(const DialogTemplate& dialogTemplate, std::size_t index) {
    const ControlTemplate& control = dialogTemplate.controls[index];
    if (!standsInRows(control)) {
        return {};
    }
    const std::optional<std::size_t> box = enclosingGroupBox(dialogTemplate, index);
    std::vector<std::size_t> row;
    for (std::size_t other = 0; other < dialogTemplate.controls.size(); ++other) {
        const ControlTemplate& candidate = dialogTemplate.controls[other];
        if (standsInRows(candidate) && overlapVertically(candidate.rect, control.rect) &&
            enclosingGroupBox(dialogTemplate, other) == box) {
            row.push_back(other);
        }
    }
    std::stable_sort(row.begin(), row.end(), [&](std::size_t first, std::size_t second) {
        return dialogTemplate.controls[first].rect.x < dialogTemplate.controls[second].rect.x;
    });
    return row;
}

std::vector<int> fitRow(std::span<const RowSlot> row, int left, int right) {
    std::vector<int> places;
    places.reserve(row.size());
    int firstFree = left;
    for (const RowSlot& slot : row) {
        places.push_back(std::max(slot.x, firstFree));
        firstFree = places.back() + slot.width;
    }
    int lastFree = right;
    for (std::size_t index = row.size(); index-- > 0;) {
        places[index] = std::min(places[index], lastFree - row[index].width + 1);
        lastFree = places[index] - 1;
    }
    if (!places.empty() && places.front() < left) {
        firstFree = left;
        for (std::size_t index = 0; index < row.size(); ++index) {
            places[index] = firstFree;
            firstFree += row[index].width;
        }
    }
    return places;
}

}  // namespace quorvel::dialog
