#pragma once

#include <string>

namespace quorvel {

// The ticks of a plot axis: round values, one step of 1, 2 or 5 times a power of ten apart,
// from the first tick at or below the data to the first at or above it, printed all in one
// printf format: fixed with the step's decimals, or scientific with as many digits as tell
// the ticks apart where fixed notation would be too long (values from 1e6, steps below 1e-4).
struct AxisTicks {
    double from = 0.0;  // the first tick: the axis starts here
    double to = 1.0;    // the last tick: the axis ends here
    double step = 1.0;
    std::string format;  // "%.2f", "%.1e"
};

// The ticks for data from `low` to `high` (low < high, both finite): about five intervals,
// never fewer than three or more than ten.
AxisTicks roundTicks(double low, double high);

// A tick's label in the axis's format.
std::string tickLabel(const AxisTicks& ticks, double value);

}  // namespace quorvel
