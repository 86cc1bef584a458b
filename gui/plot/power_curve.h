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

// The power of a power or sample-size request's test, of any design, as one of its inputs
// varies, the others held at the request its outcome answers (answeredPowerRequest: the sample
// size found, a sensitivity's effect or margin, a criterion's or compromise's α): `points`
// (x, power) sorted by x, `at` that request's own point (its N or its effect, and the power
// designPower gives there, which is one of the points and the outcome's power where it has
// one), `target` the target power of a sample size, sensitivity or criterion, `alpha` the α
// tested. `axisName` names x ("N per group", "f²"), `column` names it in a CSV header ("n",
// "effect"). `failure` says why there is no curve; the rest is then empty.
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

// The curve over N of a request that computed: from the smallest N its test takes (a design's
// smallest, designRange), up to the first N, found by doubling from the answer's, whose power
// reaches 0.99 (or until the family's limits stop it), through every whole N there or, on a
// longer range, about 200 spread evenly. N is the size per group of a sample size of two equal
// groups (today's t or an equivalence design's); the total N1 + N2 of a t power request of two
// groups, whose sizes keep their ratio (each rounded, N1 + N2 whole); N of one sample, of
// chi-square, and the total N of an F design or RMSEA; and U + V + 1 of today's F, whose Df2
// V = N − U − 1. Points whose power fails are left out; messages on the way are held, never
// shown.
PowerCurve powerCurveOverN(Calculators& calculators, const EffectRequest& request,
                           const EffectOutcome& outcome);

// The curve over the effect (d, an equivalence design's true d, f² even where R² was given, w,
// or RMSEA1) at the answer's N and α, through 200 evenly spaced effects and the answer's own:
// from 0, where the power is α, to the first effect, found by doubling from the answer's, whose
// power reaches 0.99 (negative for a negative d). An equivalence design's power falls as |d|
// grows: its curve runs from 0 out to where the power has fallen below α/100. An RMSEA design's
// test changes at ε0, so its curve keeps to the answer's side: close or exact fit from ε0
// upwards, not-close fit from 0 up to ε0.
PowerCurve powerCurveOverEffect(Calculators& calculators, const EffectRequest& request,
                                const EffectOutcome& outcome);

// The curve's points as CSV: a header "n,power" or "effect,power", then one line per point,
// each number with 17 significant digits.
std::string powerCurveCsv(const PowerCurve& curve);

// The picture of a curve: the power as a line over a probability axis from 0 to 1, the
// request's point marked, a dashed line at the target power (if any) and one at α.
PlotScene powerCurveScene(const PowerCurve& curve);

}  // namespace quorvel
