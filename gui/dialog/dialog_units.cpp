#include "gui/dialog/dialog_units.h"

#include <cstdint>

namespace quorvel::dialog {

namespace {
constexpr int kHorizontalUnitsPerChar = 4;
constexpr int kVerticalUnitsPerChar = 8;

// value · numerator / denominator, rounded to the nearest integer with halves away from zero,
// through a 64-bit product; `denominator` is positive.
int scaleRounded(int value, int numerator, int denominator) {
    const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    const std::int64_t magnitude = (product < 0 ? -product : product) + denominator / 2;
    const auto quotient = static_cast<int>(magnitude / denominator);
    return product < 0 ? -quotient : quotient;
}
}  // namespace

int averageCharWidth(int sampleAdvance) {
    return (sampleAdvance / 26 + 1) / 2;
}

int horizontalPixels(int dialogUnits, const DialogBaseUnits& units) {
    return scaleRounded(dialogUnits, units.averageWidth, kHorizontalUnitsPerChar);
}

int verticalPixels(int dialogUnits, const DialogBaseUnits& units) {
    return scaleRounded(dialogUnits, units.height, kVerticalUnitsPerChar);
}

PixelRect toPixels(const DialogRect& rect, const DialogBaseUnits& units) {
    return {horizontalPixels(rect.x, units), verticalPixels(rect.y, units),
            horizontalPixels(rect.width, units), verticalPixels(rect.height, units)};
}

}  // namespace quorvel::dialog
