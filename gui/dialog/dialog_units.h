#pragma once

#include "gui/dialog/dialog_template.h"

namespace quorvel::dialog {

// The letters whose mean advance is a font's average character width for dialog layout.
inline constexpr const char* kAverageWidthSample =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// The dialog base units of a font in pixels: its average character width and its height.
struct DialogBaseUnits {
    int averageWidth;
    int height;
};

// A rectangle in pixels.
struct PixelRect {
    int x;
    int y;
    int width;
    int height;
};

// The average character width from the advance of kAverageWidthSample (52 letters), rounded to
// the nearest pixel as the dialog manager rounds it: (advance / 26 + 1) / 2.
int averageCharWidth(int sampleAdvance);

// Dialog units to pixels: x · averageWidth / 4 and y · height / 8, each coordinate rounded
// on its own to the nearest pixel, halves away from zero.
int horizontalPixels(int dialogUnits, const DialogBaseUnits& units);
int verticalPixels(int dialogUnits, const DialogBaseUnits& units);
PixelRect toPixels(const DialogRect& rect, const DialogBaseUnits& units);

}  // namespace quorvel::dialog
