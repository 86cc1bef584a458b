#include "gui/plot/curve_sampling.h"

#include <algorithm>
#include <cmath>

namespace quorvel {

namespace {
constexpr int kInitialIntervals = 120;
constexpr std::size_t kMostPoints = 4000;
constexpr int kMostHalvings = 24;
constexpr double kVisibleDeviation = 1e-3;
constexpr double kAreaDeviation = 1e-6;

std::vector<double> initialGrid(double from, double to, const std::vector<double>& required) {
    std::vector<double> grid;
    grid.reserve(kInitialIntervals + 1 + required.size());
    for (int i = 0; i <= kInitialIntervals; ++i) {
        grid.push_back(from + (to - from) * i / kInitialIntervals);
    }
    grid.back() = to;
    for (double x : required) {
        if (x >= from && x <= to) {
            grid.push_back(x);
        }
    }
    std::sort(grid.begin(), grid.end());
    grid.erase(std::unique(grid.begin(), grid.end()), grid.end());
    return grid;
}
}  // namespace

std::vector<PlotPoint> sampleCurve(const std::function<std::optional<double>(double)>& curve,
                                   double from, double to, const std::vector<double>& required) {
    std::vector<PlotPoint> points;
    for (double x : initialGrid(from, to, required)) {
        if (const std::optional<double> y = curve(x); y && std::isfinite(*y)) {
            points.push_back({x, *y});
        }
    }
    for (int halving = 0; halving < kMostHalvings && points.size() < kMostPoints; ++halving) {
        const double visible = kVisibleDeviation * highestPoint(points);
        std::vector<PlotPoint> refined;
        refined.reserve(points.size() * 2);
        bool split = false;
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            const PlotPoint& left = points[i];
            const PlotPoint& right = points[i + 1];
            refined.push_back(left);
            const double middle = 0.5 * (left.x + right.x);
            if (points.size() + refined.size() - i >= kMostPoints || middle <= left.x ||
                middle >= right.x) {
                continue;
            }
            const std::optional<double> y = curve(middle);
            if (!y || !std::isfinite(*y)) {
                continue;
            }
            const double deviation = std::abs(*y - 0.5 * (left.y + right.y));
            if (deviation > visible || deviation * (right.x - left.x) > kAreaDeviation) {
                refined.push_back({middle, *y});
                split = true;
            }
        }
        if (!points.empty()) {
            refined.push_back(points.back());
        }
        points = std::move(refined);
        if (!split) {
            break;
        }
    }
    return points;
}

std::vector<PlotPoint> pointsBetween(const std::vector<PlotPoint>& curve, double from, double to) {
    std::vector<PlotPoint> inside;
    std::copy_if(curve.begin(), curve.end(), std::back_inserter(inside),
                 [from, to](const PlotPoint& point) { return point.x >= from && point.x <= to; });
    return inside;
}

double highestPoint(const std::vector<PlotPoint>& points) {
    double top = 0.0;
    for (const PlotPoint& point : points) {
        top = std::max(top, point.y);
    }
    return top;
}

double bodyHeight(const std::vector<PlotPoint>& points, double skippedArea) {
    const double skipped = skippedArea * trapezoidArea(points);
    double area = 0.0;
    double top = 0.0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i > 0) {
            area += 0.5 * (points[i - 1].y + points[i].y) * (points[i].x - points[i - 1].x);
        }
        if (area >= skipped) {
            top = std::max(top, points[i].y);
        }
    }
    return top;
}

double trapezoidArea(const std::vector<PlotPoint>& points) {
    double area = 0.0;
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        area += 0.5 * (points[i].y + points[i + 1].y) * (points[i + 1].x - points[i].x);
    }
    return area;
}

}  // namespace quorvel
