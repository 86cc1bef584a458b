#pragma once

#include <string>
#include <vector>

#include "gui/plot/axis_ticks.h"
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
// points in that range (both ends are points of the curve; an area too thin to hold two is
// only labelled), and `probability` is the probability it stands for, printed beside it as
// `label`. An upper tail runs from its marked value to the right, a lower tail up to it.
struct ShadedArea {
    std::size_t curve;
    std::vector<PlotPoint> points;
    double probability;
    std::string label;
    double from = 0.0;
    double to = 0.0;
    bool upperTail = false;
};

// A vertical line at an x of the answer, from 0 up to the highest curve there.
struct PlotMark {
    double x;
    std::string label;
};

// A horizontal line across the plot at a y of the answer, named in the legend; an emphasised
// one (a target power) stands out from the others (alpha).
struct PlotLevel {
    double y;
    std::string label;
    bool emphasised = false;
};

// One computed point of a curve, drawn as a dot and named in the legend.
struct PlotDot {
    PlotPoint at;
    std::string label;
};

// What the plot pane draws for one computation: the densities, the shaded areas, the marked
// values and a title line; or, for a computation that failed, only `failure`, one line saying
// why. The x axis runs over [xFrom, xTo], the first and last of its round ticks; the density
// axis up to yTo, the height of the curves' body (a pole at the edge of the support rises
// beyond it, cut at three times the density at the median). A curve of probabilities (a power
// curve) sets `probabilityAxis`: its y axis runs from 0 to 1 and is named `yName`.
struct PlotScene {
    std::string title;
    std::string axisName;
    std::vector<PlotCurve> curves;
    std::vector<ShadedArea> areas;
    std::vector<PlotMark> marks;
    std::vector<PlotLevel> levels;
    std::vector<PlotDot> dots;
    AxisTicks xTicks;
    double xFrom = 0.0;
    double xTo = 1.0;
    double yTo = 1.0;
    bool probabilityAxis = false;
    std::string yName = "Density";
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
// The title gives both tails at the marked value, P(X <= x) and P(X > x), each computed in its
// own tail. The x range holds the body of every curve shown: from the 0.0005 to the 0.9995
// quantile, but no further from the median than six interquartile ranges (a heavy tail, as of
// F(1, 1) or t(1), is cut), widened to every marked value and out to round ticks. A failed
// computation gives a scene with its first message.
PlotScene quantityScene(Calculators& calculators, const ComputeRequest& request,
                        const ComputeOutcome& outcome);

// The picture of a power or sample-size computation at the request its outcome answers (the
// sample size found, a sensitivity's effect, a criterion's or compromise's α): the density
// under the null and the noncentral one under the effect, the critical value marked (both
// critical values of a two-sided t test), and the probability under the effect beyond them
// shaded: the power. The null is the central t, F or chi-square for today's tests and the F
// designs; RMSEA's is the noncentral chi-square under ε0, its close fit shading the upper tail
// and its not-close fit the lower. An equivalence design (two one-sided tests integrated over
// the sample SD) and repeated measures with real-valued Df (ε < 1) have no such picture: their
// scene fails, saying why and to choose a power curve. Estimates have no power picture; a
// failed computation gives its first message.
PlotScene powerScene(Calculators& calculators, const EffectRequest& request,
                     const EffectOutcome& outcome);

// A number as the plot prints it: up to `digits` significant digits, no trailing zeros.
std::string plotNumber(double value, int digits = 6);

// A probability as the plot prints it: six significant digits, and near 1 as many more as keep
// six of its distance from 1 (0.99999999141941, not 1).
std::string plotProbability(double probability);

}  // namespace quorvel
