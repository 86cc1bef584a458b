#include "gui/plot/power_curve.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>

#include "model/effects/design_request.h"
#include "model/effects/effect_parts.h"
#include "model/number_text.h"
#include "numerics/calculators.h"
#include "numerics/foundations/failure/held_messages.h"

namespace quorvel {

namespace {
// A curve ends once the power is this near 1, or this fraction of α near 0 (an effect against
// a one-sided test's direction, an equivalence design's effect beyond its margins).
constexpr double kNearOne = 0.99;
constexpr double kNearZeroOfAlpha = 0.01;
// Doubling from the request's N or effect stops here at the latest; the families' limits
// usually stop it first.
constexpr int kMostDoublings = 40;
// Where the doubling of an effect of 0 starts.
constexpr double kEffectStartAtZero = 0.1;
// The largest N a request's int fields hold.
constexpr long long kLargestN = INT_MAX;
// The effects a curve runs through besides its own: kEffectSteps + 1 evenly spaced.
constexpr std::size_t kEffectSteps = kMostPowerCurvePoints - 2;

using PowerAt = std::function<std::optional<double>(double)>;
using Settled = std::function<bool(double)>;

// Where a rising curve may stop: once its power is near 1, or near 0 (a d against a one-sided
// test's direction, whose power falls below α).
Settled risingCurveSettled(double alpha) {
    return [alpha](double power) { return power >= kNearOne || power <= kNearZeroOfAlpha * alpha; };
}

// Where an equivalence curve over the effect may stop: its power falls from its top at d = 0
// towards 0 as |d| passes the margin, and only near 0 has it settled.
Settled fallingCurveSettled(double alpha) {
    return [alpha](double power) { return power <= kNearZeroOfAlpha * alpha; };
}

// How a whole N makes the answered power request, the N its test takes (from the smallest up
// to the largest within its family's limits), and the answer's own N.
struct SizeAxis {
    std::function<EffectRequest(long long)> at;
    long long smallest = 1;
    long long largest = kLargestN;
    long long own = 1;
    std::string name;
};

// The N of a t power request (today's or an equivalence design's): two groups keep their
// ratio, N1 rounded and N2 the rest, so that both grow with N; one sample or pairs take N.
SizeAxis tSizeAxisOf(const EffectRequest& answered) {
    if (answered.n1 > 0) {
        const double share =
            static_cast<double>(answered.n1) / (static_cast<double>(answered.n1) + answered.n2);
        return {[answered, share](long long n) {
                    EffectRequest sized = answered;
                    sized.n1 = static_cast<int>(std::clamp<long long>(
                        std::llround(static_cast<double>(n) * share), 1, n - 1));
                    sized.n2 = static_cast<int>(n - sized.n1);
                    return sized;
                },
                3, kLargestN, static_cast<long long>(answered.n1) + answered.n2, "N1 + N2"};
    }
    return {[answered](long long n) {
                EffectRequest sized = answered;
                sized.n = static_cast<int>(n);
                return sized;
            },
            2, kLargestN, answered.n, "N"};
}

SizeAxis sizeAxisOf(const EffectRequest& request, const EffectRequest& answered,
                    const EffectOutcome& outcome) {
    const DistributionKind family = request.distribution;
    const bool basic = request.design == StudyDesign::Basic;
    const long long smallestF = static_cast<long long>(request.df1) + 2;
    if (request.quantity == EffectQuantity::SampleSize) {
        const auto atN = [request](long long n) { return powerRequestAt(request, n); };
        if (!basic) {
            const DesignRange range = designRange(request);
            const bool perGroup = request.design == StudyDesign::Equivalence && request.groups != 1;
            return {atN, range.smallest, range.largest, outcome.n, perGroup ? "N per group" : "N"};
        }
        const bool perGroup = family == DistributionKind::T && request.twoSample;
        const long long smallest = family == DistributionKind::T   ? 2
                                   : family == DistributionKind::F ? smallestF
                                                                   : 1;
        return {atN, smallest, kLargestN, outcome.n, perGroup ? "N per group" : "N"};
    }
    if (family == DistributionKind::T) {
        return tSizeAxisOf(answered);
    }
    const auto atN = [answered](long long n) { return powerRequestAt(answered, n); };
    if (!basic) {
        // The total N of an F design or RMSEA.
        const DesignRange range = designRange(answered);
        return {atN, range.smallest, range.largest, answered.n, "N"};
    }
    if (family == DistributionKind::F) {
        return {atN, smallestF, kLargestN, static_cast<long long>(request.df1) + request.df2 + 1,
                "N = Df1 + Df2 + 1"};
    }
    return {atN, 1, kLargestN, request.n, "N"};
}

std::optional<double> powerOf(Calculators& calculators, const EffectRequest& request) {
    const PowerValue value = designPower(calculators, request);
    return value.failed ? std::nullopt : std::optional<double>(value.power);
}

// The farthest of own·2, own·4, ... (at most `largest`) whose power computes, stopping at the
// first whose power has settled.
template <typename Number>
Number endByDoubling(Number own, Number largest,
                     const std::function<std::optional<double>(Number)>& powerAt,
                     const Settled& settled) {
    Number end = own;
    for (int doubling = 0; doubling < kMostDoublings && end < largest; ++doubling) {
        const Number next = std::min(largest, end * 2);
        const std::optional<double> power = powerAt(next);
        if (!power) {
            break;
        }
        end = next;
        if (settled(*power)) {
            break;
        }
    }
    return end;
}

PowerCurve curveFailure(std::string why) {
    PowerCurve curve;
    curve.failure = "No curve: " + std::move(why);
    return curve;
}

// A request with a target power: a sample size, a sensitivity, a criterion.
bool hasTarget(const EffectRequest& request) {
    return request.quantity == EffectQuantity::SampleSize ||
           request.question == PowerQuestion::Sensitivity ||
           request.question == PowerQuestion::Criterion;
}

// A curve's common part, or the failure that stops it.
std::optional<PowerCurve> startCurve(const EffectRequest& request, const EffectOutcome& outcome,
                                     PowerCurveAxis axis, std::string column, PowerCurve& failure) {
    if (outcome.failed) {
        failure = curveFailure(outcome.messages.empty() ? "the computation failed."
                                                        : outcome.messages.front());
        return std::nullopt;
    }
    if (request.quantity == EffectQuantity::Estimate) {
        failure = curveFailure("an effect size has no power curve.");
        return std::nullopt;
    }
    PowerCurve curve;
    curve.axis = axis;
    curve.column = std::move(column);
    curve.alpha = answeredPowerRequest(request, outcome).alpha;
    if (hasTarget(request)) {
        curve.target = request.power;
    }
    return curve;
}

// Adds the points at the xs (sorted, distinct) whose power computes; the request's own x must.
bool addPoints(PowerCurve& curve, const std::vector<double>& xs, double own,
               const PowerAt& powerAt) {
    for (double x : xs) {
        const std::optional<double> power = powerAt(x);
        if (power) {
            curve.points.push_back({x, *power});
            if (x == own) {
                curve.at = {x, *power};
            }
        } else if (x == own) {
            return false;
        }
    }
    return curve.points.size() >= 2;
}

std::vector<double> sortedDistinct(std::vector<double> xs) {
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    return xs;
}

// kEffectSteps + 1 effects evenly spaced from `from` to `to`.
void addEvenly(std::vector<double>& effects, double from, double to) {
    for (std::size_t step = 0; step <= kEffectSteps; ++step) {
        effects.push_back(from + (to - from) * static_cast<double>(step) /
                                     static_cast<double>(kEffectSteps));
    }
}

// The effects of a curve over the effect of the answered request, besides its own:
// - an RMSEA design's test switches at ε0, so its curve holds the answer's side: not-close fit
//   (ε1 < ε0) from 0 up to the last double below ε0, where its power falls back to α; close or
//   exact fit from ε0, where the power is α, up to the first distance from ε0, found by
//   doubling the answer's own, whose power nears 1;
// - an equivalence design's power falls as |d| grows past the margin: from 0 out to the first
//   |d|, doubling from the larger of |d| and the margin, whose power has all but vanished;
// - otherwise from 0, where the power is α, to the first effect, doubling from the answer's
//   own, whose power nears 1 (or nears 0, a d against a one-sided test), on the answer's side.
std::vector<double> effectsOfCurve(const EffectRequest& answered, const PowerAt& powerAt) {
    const double own = answered.effect;
    std::vector<double> effects;
    if (answered.design == StudyDesign::Rmsea) {
        const double rmsea0 = answered.rmsea0;
        if (own < rmsea0) {
            addEvenly(effects, 0.0, rmsea0);
            effects.back() = std::nextafter(rmsea0, 0.0);
            return effects;
        }
        const double distance = own > rmsea0   ? own - rmsea0
                                : rmsea0 > 0.0 ? rmsea0
                                               : kEffectStartAtZero;
        const double end = endByDoubling<double>(
            distance, HUGE_VAL, [&](double beyond) { return powerAt(rmsea0 + beyond); },
            risingCurveSettled(answered.alpha));
        addEvenly(effects, rmsea0, rmsea0 + end);
        return effects;
    }
    const double sign = own < 0.0 ? -1.0 : 1.0;
    double start = own != 0.0 ? std::abs(own) : kEffectStartAtZero;
    Settled settled = risingCurveSettled(answered.alpha);
    if (answered.design == StudyDesign::Equivalence) {
        start = std::max(std::abs(own), answered.margin);
        settled = fallingCurveSettled(answered.alpha);
    }
    const double end = endByDoubling<double>(
        start, HUGE_VAL, [&](double magnitude) { return powerAt(sign * magnitude); }, settled);
    // A signed zero: a negative d's curve starts at −0, on its side.
    addEvenly(effects, sign * 0.0, sign * end);
    return effects;
}

}  // namespace

PowerCurve powerCurveOverN(Calculators& calculators, const EffectRequest& request,
                           const EffectOutcome& outcome) {
    PowerCurve failure;
    std::optional<PowerCurve> curve =
        startCurve(request, outcome, PowerCurveAxis::SampleSize, "n", failure);
    if (!curve) {
        return failure;
    }
    const HeldMessages held(calculators);
    const EffectRequest answered = answeredPowerRequest(request, outcome);
    const SizeAxis axis = sizeAxisOf(request, answered, outcome);
    curve->axisName = axis.name;
    const PowerAt powerAt = [&](double n) {
        return powerOf(calculators, axis.at(static_cast<long long>(n)));
    };
    const long long end = endByDoubling<long long>(
        axis.own, axis.largest, [&](long long n) { return powerAt(static_cast<double>(n)); },
        risingCurveSettled(curve->alpha));
    std::vector<double> ns{static_cast<double>(axis.own)};
    const long long span = end - axis.smallest;
    const long long steps = std::min<long long>(span, kMostPowerCurvePoints - 2);
    for (long long step = 0; step <= steps && steps > 0; ++step) {
        ns.push_back(static_cast<double>(
            axis.smallest +
            (steps == span ? step : std::llround(static_cast<double>(step) * span / steps))));
    }
    if (!addPoints(*curve, sortedDistinct(ns), static_cast<double>(axis.own), powerAt)) {
        return curveFailure("the power could not be computed over a range of N.");
    }
    return std::move(*curve);
}

PowerCurve powerCurveOverEffect(Calculators& calculators, const EffectRequest& request,
                                const EffectOutcome& outcome) {
    PowerCurve failure;
    std::optional<PowerCurve> curve =
        startCurve(request, outcome, PowerCurveAxis::Effect, "effect", failure);
    if (!curve) {
        return failure;
    }
    const HeldMessages held(calculators);
    const EffectRequest answered = answeredPowerRequest(request, outcome);
    curve->axisName = effectSymbol(request.distribution, request.design);
    const PowerAt powerAt = [&](double effect) {
        EffectRequest varied = answered;
        varied.effect = effect;
        return powerOf(calculators, varied);
    };
    std::vector<double> effects = effectsOfCurve(answered, powerAt);
    effects.push_back(answered.effect);
    if (!addPoints(*curve, sortedDistinct(effects), answered.effect, powerAt)) {
        return curveFailure("the power could not be computed over a range of effects.");
    }
    return std::move(*curve);
}

std::string powerCurveCsv(const PowerCurve& curve) {
    std::string text = curve.column + ",power\n";
    for (const PlotPoint& point : curve.points) {
        text += formatNumber(point.x) + ',' + formatNumber(point.y) + '\n';
    }
    return text;
}

PlotScene powerCurveScene(const PowerCurve& curve) {
    PlotScene scene;
    if (!curve.failure.empty()) {
        scene.failure = curve.failure;
        return scene;
    }
    scene.axisName = curve.axisName;
    scene.yName = "Power";
    scene.probabilityAxis = true;
    scene.curves.push_back({"power", curve.points});
    const std::string at = curve.axisName + " = " + plotNumber(curve.at.x);
    scene.dots.push_back({curve.at, at + ": power " + plotProbability(curve.at.y)});
    if (curve.target) {
        scene.levels.push_back({*curve.target, "target power " + plotNumber(*curve.target), true});
    }
    scene.levels.push_back({curve.alpha, "alpha " + plotNumber(curve.alpha)});
    scene.xTicks = roundTicks(curve.points.front().x, curve.points.back().x);
    scene.xFrom = scene.xTicks.from;
    scene.xTo = scene.xTicks.to;
    scene.yTo = 1.0;
    scene.title = "Power against " + curve.axisName + ": " + plotProbability(curve.at.y) + " at " +
                  at + (curve.target ? ", target " + plotNumber(*curve.target) : "");
    return scene;
}

}  // namespace quorvel
