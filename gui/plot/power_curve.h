#pragma once

#include <optional>
#include <string>
#include <vector>

#include "gui/plot/curve_sampling.h"
#include "gui/plot/plot_scene.h"
#include "model/effects/effects.h"

namespace quorvel {

class Calculators;

// What a power curve runs over: the sample size, or the effect size at the request's N.
enum class PowerCurveAxis { SampleSize, Effect };

// The power of a power or sample-size request's test as one of its inputs varies, the others
// held: `points` (x, power) sorted by x, `at` the request's own point (its N or its effect, and
// the power testPower gives there, which is one of the points), `target` the target power of a
// sample-size request. `axisName` names x ("N per group", "f2"), `column` names it in a CSV
// header ("n", "effect"). `failure` says why there is no curve; the rest is then empty.
struct PowerCurve {
    PowerCurveAxis axis = PowerCurveAxis::SampleSize;
    std::string axisName;
    std::string column;
    std::vector<PlotPoint> points;
    PlotPoint at{0.0, 0.0};
    std::optional<double> target;
    double alpha = 0.0;
    std::string failure;
};

// The most points a curve holds.
inline constexpr std::size_t kMostPowerCurvePoints = 201;

// The curve over N of a request that computed (the sample size found, or the request's own
// sizes): from the smallest N its test takes, up to the first N, found by doubling from the
// request's, whose power reaches 0.99 (or until the family's limits stop it), through every
// whole N there or, on a longer range, about 200 spread evenly. N is the size per group of a
// sample size of two equal groups; the total N1 + N2 of a t power request of two groups, whose
// sizes keep their ratio (each rounded, N1 + N2 whole); N of one sample or chi-square; and
// U + V + 1 of F, whose Df2 V = N − U − 1. Points whose power fails are left out; messages on
// the way are held, never shown.
PowerCurve powerCurveOverN(Calculators& calculators, const EffectRequest& request,
                           const EffectOutcome& outcome);

// The curve over the effect (d, f² or w) at the request's N (the sample size found): from 0,
// where the power is α, to the first effect, found by doubling from the request's, whose power
// reaches 0.99 (negative for a negative d), through 200 evenly spaced effects and the request's
// own.
PowerCurve powerCurveOverEffect(Calculators& calculators, const EffectRequest& request,
                                const EffectOutcome& outcome);

// The curve's points as CSV: a header "n,power" or "effect,power", then one line per point,
// each number with 17 significant digits.
std::string powerCurveCsv(const PowerCurve& curve);

// The picture of a curve: the power as a line over a probability axis from 0 to 1, the
// request's point marked, a dashed line at the target power (a sample size) and one at α.
PlotScene powerCurveScene(const PowerCurve& curve);

}  // namespace quorvel
