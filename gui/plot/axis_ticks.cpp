#include "gui/plot/axis_ticks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quorvel {

namespace {
// About this many intervals between the first and the last tick.
constexpr double kWantedIntervals = 5.0;
// The mantissas of a step, in increasing order.
constexpr double kStepMantissas[] = {1.0, 2.0, 5.0, 10.0};
// Fixed notation up to this size of tick and down to this step; scientific beyond.
constexpr double kLargestFixed = 1e6;
constexpr double kSmallestFixedStep = 1e-4;
// A tick within this fraction of a step of the data counts as reaching it, so that rounding in
// the division does not add a whole step.
constexpr double kStepSlack = 1e-9;
}  // namespace

AxisTicks roundTicks(double low, double high) {
    AxisTicks ticks;
    const double raw = (high - low) / kWantedIntervals;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double mantissa : kStepMantissas) {
        ticks.step = mantissa * magnitude;
        if (ticks.step >= raw * (1.0 - kStepSlack)) {
            break;
        }
    }
    ticks.from = std::floor(low / ticks.step + kStepSlack) * ticks.step;
    ticks.to = std::ceil(high / ticks.step - kStepSlack) * ticks.step;

    const double largest = std::max(std::abs(ticks.from), std::abs(ticks.to));
    const int stepExponent = static_cast<int>(std::floor(std::log10(ticks.step) + kStepSlack));
    char format[16];
    if (largest >= kLargestFixed || ticks.step < kSmallestFixedStep) {
        const int largestExponent = static_cast<int>(std::floor(std::log10(largest)));
        const int digits = std::clamp(largestExponent - stepExponent, 0, 6);
        std::snprintf(format, sizeof format, "%%.%de", digits);
    } else {
        std::snprintf(format, sizeof format, "%%.%df", std::max(0, -stepExponent));
    }
    ticks.format = format;
    return ticks;
}

std::string tickLabel(const AxisTicks& ticks, double value) {
    char text[64];
    // A tick that rounding left a hair below zero is zero, not "-0.0".
    const double shown = std::abs(value) < ticks.step * kStepSlack ? 0.0 : value;
    std::snprintf(text, sizeof text, ticks.format.c_str(), shown);
    return text;
}

}  // namespace quorvel
