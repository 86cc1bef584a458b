#include "gui/plot/label_placement.h"

#include <algorithm>

namespace quorvel {

namespace {
// Pixels kept between a label and what it must not touch.
constexpr double kMargin = 4.0;
// How many steps of a label's height are tried from the top of the plot down, and how many
// label widths away from the anchor.
constexpr int kHeightSteps = 24;
constexpr int kWidthSteps = 6;

bool overlaps(const PixelBox& a, const PixelBox& b) {
    return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

// Liang-Barsky clipping: whether the segment from p to q passes through the box.
bool segmentCrosses(const PixelBox& box, PixelPoint p, PixelPoint q) {
    double enter = 0.0;
    double leave = 1.0;
    const double dx = q.x - p.x;
    const double dy = q.y - p.y;
    const double edges[4][2] = {{-dx, p.x - box.left},
                                {dx, box.right() - p.x},
                                {-dy, p.y - box.top},
                                {dy, box.bottom() - p.y}};
    for (const auto& [direction, distance] : edges) {
        if (direction == 0.0) {
            if (distance < 0.0) {
                return false;
            }
            continue;
        }
        const double t = distance / direction;
        if (direction < 0.0) {
            enter = std::max(enter, t);
        } else {
            leave = std::min(leave, t);
        }
        if (enter > leave) {
            return false;
        }
    }
    return true;
}

bool isFree(const PixelBox& box, const PixelBox& plot, const LabelObstacles& obstacles) {
    if (box.left < plot.left || box.right() > plot.right() || box.top < plot.top ||
        box.bottom() > plot.bottom()) {
        return false;
    }
    for (const std::vector<PixelPoint>& line : obstacles.lines) {
        if (touches(box, line, kMargin)) {
            return false;
        }
    }
    const PixelBox wide{box.left - kMargin, box.top - kMargin, box.width + 2 * kMargin,
                        box.height + 2 * kMargin};
    return std::none_of(obstacles.labels.begin(), obstacles.labels.end(),
                        [&wide](const PixelBox& other) { return overlaps(wide, other); });
}

}  // namespace

bool touches(const PixelBox& box, const std::vector<PixelPoint>& line, double margin) {
    const PixelBox wide{box.left - margin, box.top - margin, box.width + 2 * margin,
                        box.height + 2 * margin};
    if (line.size() == 1) {
        return segmentCrosses(wide, line[0], line[0]);
    }
    for (std::size_t i = 1; i < line.size(); ++i) {
        if (segmentCrosses(wide, line[i - 1], line[i])) {
            return true;
        }
    }
    return false;
}

PixelPoint placeLabel(const PixelBox& plot, double anchorX, bool right, double width, double height,
                      const LabelObstacles& obstacles) {
    const double gap = 2 * kMargin;
    const double rows = std::max(1.0, (plot.height - height) / kHeightSteps);
    for (bool side : {right, !right}) {
        for (int out = 0; out < kWidthSteps; ++out) {
            const double offset = gap + out * (width + gap);
            const double left = side ? anchorX + offset : anchorX - offset - width;
            for (int down = 0; down <= kHeightSteps; ++down) {
                const PixelBox box{left, plot.top + gap + down * rows, width, height};
                if (isFree(box, plot, obstacles)) {
                    return {box.left, box.top};
                }
            }
        }
    }
    const double left = right ? plot.right() - width - gap : plot.left + gap;
    return {std::clamp(left, plot.left, std::max(plot.left, plot.right() - width)), plot.top + gap};
}

}  // namespace quorvel
