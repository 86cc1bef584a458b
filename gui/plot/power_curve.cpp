#include "gui/plot/power_curve.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>

#include "model/effects/effect_parts.h"
#include "model/number_text.h"
#include "numerics/calculators.h"
#include "numerics/foundations/failure/held_messages.h"

namespace quorvel {

namespace {
// A curve ends once the power is this near 1, or this fraction of α near 0 (an effect against
// a one-sided test's direction).
constexpr double kNearOne = 0.99;
constexpr double kNearZeroOfAlpha = 0.01;
// Doubling from the request's N or effect stops here at the latest; the families' limits
// usually stop it first.
constexpr int kMostDoublings = 40;
// Where the doubling of an effect of 0 starts.
constexpr double kEffectStartAtZero = 0.1;
// The largest N a request's int fields hold.
constexpr long long kLargestN = INT_MAX;

bool settled(double power, double alpha) {
    return power >= kNearOne || power <= kNearZeroOfAlpha * alpha;
}

// How a whole N makes the request's power request, the smallest N its test takes, and the
// request's own N.
struct SizeAxis {
    std::function<EffectRequest(long long)> at;
    long long smallest = 1;
    long long own = 1;
    std::string name;
};

SizeAxis sizeAxisOf(const EffectRequest& request, const EffectOutcome& outcome) {
    const DistributionKind family = request.distribution;
    const long long smallestF = static_cast<long long>(request.df1) + 2;
    if (request.quantity == EffectQuantity::SampleSize) {
        const bool perGroup = family == DistributionKind::T && request.twoSample;
        const long long smallest = family == DistributionKind::T   ? 2
                                   : family == DistributionKind::F ? smallestF
                                                                   : 1;
        return {[request](long long n) { return powerRequestAt(request, n); }, smallest, outcome.n,
                perGroup ? "N per group" : "N"};
    }
    switch (family) {
        case DistributionKind::T:
            if (request.n1 > 0) {
                // Two groups keep their ratio: N1 rounded, N2 the rest, so both grow with N.
                const double share = static_cast<double>(request.n1) /
                                     (static_cast<double>(request.n1) + request.n2);
                return {[request, share](long long n) {
                            EffectRequest sized = request;
                            sized.n1 = static_cast<int>(std::clamp<long long>(
                                std::llround(static_cast<double>(n) * share), 1, n - 1));
                            sized.n2 = static_cast<int>(n - sized.n1);
                            return sized;
                        },
                        3, static_cast<long long>(request.n1) + request.n2, "N1 + N2"};
            }
            return {[request](long long n) {
                        EffectRequest sized = request;
                        sized.n = static_cast<int>(n);
                        return sized;
                    },
                    2, request.n, "N"};
        case DistributionKind::F:
            return {[request](long long n) { return powerRequestAt(request, n); }, smallestF,
                    static_cast<long long>(request.df1) + request.df2 + 1, "N = Df1 + Df2 + 1"};
        case DistributionKind::ChiSquare:
            break;
    }
    return {[request](long long n) { return powerRequestAt(request, n); }, 1, request.n, "N"};
}

// The power request at the N of a request that computed: the sample size found, or its own.
EffectRequest testedRequest(const EffectRequest& request, const EffectOutcome& outcome) {
    return request.quantity == EffectQuantity::SampleSize ? powerRequestAt(request, outcome.n)
                                                          : request;
}

std::optional<double> powerOf(Calculators& calculators, const EffectRequest& request) {
    const PowerValue value = testPower(calculators, request);
    return value.failed ? std::nullopt : std::optional<double>(value.power);
}

// The farthest of own·2, own·4, ... (at most `largest`) whose power computes, stopping at the
// first whose power has settled.
template <typename Number, typename PowerAt>
Number endByDoubling(Number own, Number largest, double alpha, PowerAt powerAt) {
    Number end = own;
    for (int doubling = 0; doubling < kMostDoublings && end < largest; ++doubling) {
        const Number next = std::min(largest, end * 2);
        const std::optional<double> power = powerAt(next);
        if (!power) {
            break;
        }
        end = next;
        if (settled(*power, alpha)) {
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
    curve.alpha = request.alpha;
    if (request.quantity == EffectQuantity::SampleSize) {
        curve.target = request.power;
    }
    return curve;
}

// Adds the points at the xs (sorted, distinct) whose power computes; the request's own x must.
bool addPoints(PowerCurve& curve, const std::vector<double>& xs, double own,
               const std::function<std::optional<double>(double)>& powerAt) {
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

std::string effectName(DistributionKind distribution) {
    switch (distribution) {
        case DistributionKind::T:
            return "d";
        case DistributionKind::F:
            return "f²";
        case DistributionKind::ChiSquare:
            break;
    }
    return "w";
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
    const SizeAxis axis = sizeAxisOf(request, outcome);
    curve->axisName = axis.name;
    const auto powerAt = [&](double n) {
        return powerOf(calculators, axis.at(static_cast<long long>(n)));
    };
    const long long end = endByDoubling<long long>(axis.own, kLargestN, request.alpha,
                                                   [&](long long n) { return powerAt(n); });
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
    const EffectRequest tested = testedRequest(request, outcome);
    curve->axisName = effectName(request.distribution);
    const auto powerAt = [&](double effect) {
        EffectRequest varied = tested;
        varied.effect = effect;
        return powerOf(calculators, varied);
    };
    const double sign = request.effect < 0.0 ? -1.0 : 1.0;
    const double start = request.effect != 0.0 ? std::abs(request.effect) : kEffectStartAtZero;
    const double end = endByDoubling<double>(start, HUGE_VAL, request.alpha, [&](double magnitude) {
        return powerAt(sign * magnitude);
    });
    std::vector<double> effects{request.effect};
    constexpr std::size_t kSteps = kMostPowerCurvePoints - 2;
    for (std::size_t step = 0; step <= kSteps; ++step) {
        effects.push_back(sign * end * static_cast<double>(step) / static_cast<double>(kSteps));
    }
    if (!addPoints(*curve, sortedDistinct(effects), request.effect, powerAt)) {
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
