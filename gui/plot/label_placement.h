#pragma once

#include <optional>
#include <vector>

namespace quorvel {

// A point and a box in the pixels of a picture (y grows downwards).
struct PixelPoint {
    double x;
    double y;
};
struct PixelBox {
    double left;
    double top;
    double width;
    double height;

    double right() const { return left + width; }
    double bottom() const { return top + height; }
};

// What a label must keep clear of: the lines drawn (curves and marks, each a polyline) and the
// labels already placed.
struct LabelObstacles {
    std::vector<std::vector<PixelPoint>> lines;
    std::vector<PixelBox> labels;
};

// Where a label of this size stands beside the vertical line at `anchorX`, on its right side
// when `right`, inside `plot`: the nearest place to the anchor, tried beside it from high to
// low and then further out and then on the other side, whose box (with a margin of a few
// pixels) touches no line and no other label. When every place is taken it stands in the
// plot's top corner on its side, so that it is always seen. Returns the box's top-left corner.
PixelPoint placeLabel(const PixelBox& plot, double anchorX, bool right, double width, double height,
                      const LabelObstacles& obstacles);

// Whether the box, widened by `margin`, touches the polyline.
bool touches(const PixelBox& box, const std::vector<PixelPoint>& line, double margin);

}  // namespace quorvel
