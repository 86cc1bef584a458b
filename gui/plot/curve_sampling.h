#pragma once

#include <functional>
#include <optional>
#include <vector>

namespace quorvel {

struct PlotPoint {
    double x;
    double y;
};

// The points at which a curve is drawn: a uniform grid over [from, to] with every x of
// `required` inside it (so that a shaded area can end exactly at a marked value), refined by
// halving each interval whose midpoint lies off the chord either visibly (by more than 1/1000
// of the highest point) or by an area that would change a trapezoid-rule integral by more than
// 1e-6. At most 4000 points and 24 halvings; points whose evaluation fails are left out.
// Sorted by x.
std::vector<PlotPoint> sampleCurve(const std::function<std::optional<double>(double)>& curve,
                                   double from, double to, const std::vector<double>& required);

// The points of `curve` with from <= x <= to, in order.
std::vector<PlotPoint> pointsBetween(const std::vector<PlotPoint>& curve, double from, double to);

// The largest y of the points, 0 for none.
double highestPoint(const std::vector<PlotPoint>& points);

// The largest y of the points that lie beyond the leftmost `skippedArea` of their
// trapezoid-rule area (as a fraction of the whole), 0 for none.
double bodyHeight(const std::vector<PlotPoint>& points, double skippedArea);

// The trapezoid-rule integral over consecutive points.
double trapezoidArea(const std::vector<PlotPoint>& points);

}  // namespace quorvel
