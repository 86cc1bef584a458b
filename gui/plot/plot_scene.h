#pragma once

#include <string>
#include <vector>

#include "gui/plot/curve_sampling.h"
#include "model/computation.h"
#include "model/effects/effects.h"

namespace quorvel {

class Calculators;

// A density drawn as a line, with its name for the legend.
struct PlotCurve {
    std::string name;
    std::vector<PlotPoint> points;
};

// The area under one curve between two x values, shaded: its points are the curve's own
// points in that range (both ends are points of the curve), and `probability` is the
// probability it stands for, printed on it as `label`.
struct ShadedArea {
    std::size_t curve;
    std::vector<PlotPoint> points;
    double probability;
    std::string label;
};

// A vertical line at an x of the answer, from 0 up to the highest curve there.
struct PlotMark {
    double x;
    std::string label;
};

// What the plot pane draws for one computation: the densities, the shaded areas, the marked
// values and a title line; or, for a computation that failed, only `failure`, one line saying
// why. The x range is [xFrom, xTo].
struct PlotScene {
    std::string title;
    std::string axisName;
    std::vector<PlotCurve> curves;
    std::vector<ShadedArea> areas;
    std::vector<PlotMark> marks;
    double xFrom = 0.0;
    double xTo = 1.0;
    std::string failure;
};

// The picture of one computation of the main window:
// - Cum. P: the density for the inputs, the area up to the value shaded, P printed on it;
// - the value: the same, with the found value marked;
// - the noncentrality: the density at the found noncentrality, the observed value marked, the
//   area up to it shaded;
// - an interval: the densities at the lower and the upper limit (a limit of 0 gives the
//   central one), the observed value marked, the lower limit's upper tail and the upper
//   limit's lower tail shaded, each with its probability, (1 − C)/2 where the limit is one;
// - a density: the curve with the value marked.
// The x range runs from the 0.0005 to the 0.9995 quantile of the curves shown, widened to
// every marked value. A failed computation gives a scene with its first message.
PlotScene quantityScene(Calculators& calculators, const ComputeRequest& request,
                        const ComputeOutcome& outcome);

// The picture of a power or sample-size computation: the central density and the noncentral
// one under the effect (at the sample size found), the critical value marked (both critical
// values of a two-sided t test), and the noncentral probability beyond them shaded: the power.
// Estimates have no power picture; a failed computation gives its first message.
PlotScene powerScene(Calculators& calculators, const EffectRequest& request,
                     const EffectOutcome& outcome);

// A number as the plot prints it: up to `digits` significant digits, no trailing zeros.
std::string plotNumber(double value, int digits = 6);

}  // namespace quorvel
