#include "gui/plot/plot_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "gui/plot/plotted_distribution.h"
#include "model/effects/design_test.h"
#include "numerics/calculators.h"
#include "numerics/foundations/failure/held_messages.h"

namespace quorvel {

namespace {
// The curves cover the mass that matters: all but 0.0005 in each tail, but a heavy tail is cut
// where it lies more than kBodyWidths interquartile ranges from the median, so that the body
// is not squeezed against one edge.
constexpr double kLowQuantile = 0.0005;
constexpr double kHighQuantile = 0.9995;
constexpr double kLowerQuartile = 0.25;
constexpr double kMedian = 0.5;
constexpr double kUpperQuartile = 0.75;
constexpr double kBodyWidths = 6.0;
// The density axis ends at the highest point beyond this leftmost part of the area, and no
// higher than kMostHeightOverMedian times the density at the median, so that a pole at the
// edge of the support (Df 1) does not flatten the rest of the curve. A regular unimodal
// density peaks within twice its height at the median (the exponential: exactly twice).
constexpr double kPoleArea = 0.01;
constexpr double kMostHeightOverMedian = 3.0;
// A tail whose probability is (1 − C)/2 to this accuracy is labelled so; the interval routines
// stop their searches well inside it.
constexpr double kTailLabelTolerance = 1e-6;

struct Family {
    const char* value;
    const char* noncentrality;
};

Family familyOf(DistributionKind distribution) {
    switch (distribution) {
        case DistributionKind::F:
            return {"F", "Lambda"};
        case DistributionKind::T:
            return {"T", "Delta"};
        case DistributionKind::ChiSquare:
            break;
    }
    return {"X2", "Lambda"};
}

std::string curveName(const ComputeRequest& request, double noncentrality) {
    const Family family = familyOf(request.distribution);
    std::string degrees = std::to_string(request.df1);
    if (request.distribution == DistributionKind::F) {
        degrees += ", " + std::to_string(request.df2);
    }
    return std::string(family.value) + "(" + degrees + "), " + family.noncentrality + " = " +
           plotNumber(noncentrality);
}

std::string valueText(DistributionKind distribution, double x) {
    return std::string(familyOf(distribution).value) + " = " + plotNumber(x);
}

PlotScene failedScene(std::string why) {
    PlotScene scene;
    scene.failure = "No plot: " + std::move(why);
    return scene;
}

// A computation that failed is pictured by its first message.
PlotScene failedComputationScene(const std::vector<std::string>& messages) {
    return failedScene(messages.empty() ? "the computation failed." : messages.front());
}

// Builds one picture: the curves at the given noncentralities over the range their quantiles
// and the marks set, the marks, and areas added afterwards by the quantity.
class SceneBuilder {
  public:
    SceneBuilder(Calculators& calculators, const ComputeRequest& request)
        : calculators_(calculators), request_(request) {}

    void addCurve(double noncentrality) {
        distributions_.emplace_back(calculators_, request_.distribution, request_.df1, request_.df2,
                                    noncentrality);
    }
    void addMark(double x) { scene_.marks.push_back({x, valueText(request_.distribution, x)}); }

    // Finds the range and draws the curves; false when a curve cannot be evaluated.
    bool drawCurves() {
        if (!findRange()) {
            return false;
        }
        std::vector<double> required;
        for (const PlotMark& mark : scene_.marks) {
            required.push_back(mark.x);
        }
        scene_.yTo = 0.0;
        std::size_t index = 0;
        for (const PlottedDistribution& distribution : distributions_) {
            // A density that is infinite where the axis starts (a pole at 0) is drawn from the
            // data on.
            const std::optional<double> atStart = distribution.density(scene_.xFrom);
            const double from = atStart && std::isfinite(*atStart) ? scene_.xFrom : dataFrom_;
            PlotCurve curve{curveName(request_, distribution.noncentrality()),
                            sampleCurve([&](double x) { return distribution.density(x); }, from,
                                        scene_.xTo, required)};
            if (curve.points.size() < 2) {
                return false;
            }
            double height = bodyHeight(curve.points, kPoleArea);
            const std::optional<double> atMedian = distribution.density(medians_[index++]);
            if (atMedian && *atMedian > 0.0) {
                height = std::min(height, kMostHeightOverMedian * *atMedian);
            }
            scene_.yTo = std::max(scene_.yTo, height);
            scene_.curves.push_back(std::move(curve));
        }
        return scene_.yTo > 0.0 && std::isfinite(scene_.yTo);
    }

    // Shades the area under a curve between two x values of the picture.
    void shade(std::size_t curve, double from, double to, double probability, std::string label,
               bool upperTail) {
        scene_.areas.push_back({curve, pointsBetween(scene_.curves[curve].points, from, to),
                                probability, std::move(label), from, to, upperTail});
    }

    const PlottedDistribution& distribution(std::size_t curve) const {
        return distributions_[curve];
    }
    PlotScene& scene() { return scene_; }

  private:
    bool findRange() {
        const double start = scene_.marks.empty() ? 0.0 : scene_.marks.front().x;
        double from = std::numeric_limits<double>::infinity();
        double to = -from;
        for (const PlottedDistribution& distribution : distributions_) {
            const auto at = [&](double p) { return distribution.quantile(p, start); };
            const std::optional<double> low = at(kLowQuantile);
            const std::optional<double> lowerQuartile = at(kLowerQuartile);
            const std::optional<double> median = at(kMedian);
            const std::optional<double> upperQuartile = at(kUpperQuartile);
            const std::optional<double> high = at(kHighQuantile);
            if (!low || !lowerQuartile || !median || !upperQuartile || !high) {
                return false;
            }
            medians_.push_back(*median);
            const double body = kBodyWidths * (*upperQuartile - *lowerQuartile);
            from = std::min(from, std::max(*low, *median - body));
            to = std::max(to, std::min(*high, *median + body));
        }
        for (const PlotMark& mark : scene_.marks) {
            from = std::min(from, mark.x);
            to = std::max(to, mark.x);
        }
        if (!(from < to) || !std::isfinite(to - from)) {
            return false;
        }
        dataFrom_ = from;
        scene_.xTicks = roundTicks(from, to);
        scene_.xFrom = scene_.xTicks.from;
        scene_.xTo = scene_.xTicks.to;
        return true;
    }

    Calculators& calculators_;
    const ComputeRequest& request_;
    std::vector<PlottedDistribution> distributions_;
    PlotScene scene_;
    // The lowest x the curves' quantiles and the marks ask for, at or right of xFrom.
    double dataFrom_ = 0.0;
    // The median of each curve.
    std::vector<double> medians_;
};

std::string probabilityLabel(double probability) {
    return "P = " + plotProbability(probability);
}

// One curve with the area up to a marked x shaded: Cum. P, the value, the noncentrality and
// the upper tail. A tail the computation did not give is computed here, in its own tail.
PlotScene lowerTailScene(Calculators& calculators, const ComputeRequest& request,
                         double noncentrality, double x, std::optional<double> lower,
                         std::optional<double> upper) {
    SceneBuilder builder(calculators, request);
    builder.addCurve(noncentrality);
    builder.addMark(x);
    if (!builder.drawCurves()) {
        return failedScene("the density could not be evaluated over its range.");
    }
    if (!lower) {
        lower = builder.distribution(0).probability(x);
    }
    if (!upper) {
        upper = builder.distribution(0).upperProbability(x);
    }
    if (!lower || !upper) {
        return failedScene("the tail probabilities could not be evaluated.");
    }
    builder.shade(0, builder.scene().xFrom, x, *lower, probabilityLabel(*lower), false);
    const std::string name = familyOf(request.distribution).value;
    builder.scene().title = builder.scene().curves[0].name + ":  P(" + name +
                            " <= " + plotNumber(x) + ") = " + plotProbability(*lower) + ",  P(" +
                            name + " > " + plotNumber(x) + ") = " + plotProbability(*upper);
    return std::move(builder.scene());
}

// The curve with the value marked at which its density was asked for.
PlotScene densityScene(Calculators& calculators, const ComputeRequest& request, double density) {
    SceneBuilder builder(calculators, request);
    builder.addCurve(request.noncentrality);
    builder.addMark(request.value);
    if (!builder.drawCurves()) {
        return failedScene("the density could not be evaluated over its range.");
    }
    builder.scene().title = builder.scene().curves[0].name + ":  density at " +
                            plotNumber(request.value) + " = " + plotNumber(density);
    return std::move(builder.scene());
}

std::string tailLabel(double tail, double confidence) {
    const double expected = (1.0 - confidence) / 2.0;
    if (std::abs(tail - expected) <= kTailLabelTolerance) {
        return "(1 - C)/2 = " + plotNumber(expected);
    }
    return probabilityLabel(tail);
}

PlotScene intervalScene(Calculators& calculators, const ComputeRequest& request,
                        const ComputeOutcome& outcome) {
    SceneBuilder builder(calculators, request);
    builder.addCurve(outcome.lower);
    builder.addCurve(outcome.upper);
    builder.addMark(request.value);
    if (!builder.drawCurves()) {
        return failedScene("the densities could not be evaluated over their range.");
    }
    const std::optional<double> belowAtLower = builder.distribution(0).probability(request.value);
    const std::optional<double> belowAtUpper = builder.distribution(1).probability(request.value);
    if (!belowAtLower || !belowAtUpper) {
        return failedScene("the tail probabilities could not be evaluated.");
    }
    PlotScene& scene = builder.scene();
    const double upperTail = 1.0 - *belowAtLower;
    builder.shade(0, request.value, scene.xTo, upperTail, tailLabel(upperTail, request.confidence),
                  true);
    builder.shade(1, scene.xFrom, request.value, *belowAtUpper,
                  tailLabel(*belowAtUpper, request.confidence), false);
    scene.title = plotNumber(100.0 * request.confidence) + "% limits for " +
                  familyOf(request.distribution).noncentrality + ": " + plotNumber(outcome.lower) +
                  " and " + plotNumber(outcome.upper) + ",  observed " +
                  valueText(request.distribution, request.value);
    return std::move(scene);
}
// The family's name and Df as a ComputeRequest carries them, for a curve of a power test.
ComputeRequest requestOf(const PowerTest& test) {
    ComputeRequest request;
    request.distribution = test.distribution;
    request.df1 = test.df1;
    request.df2 = test.df2;
    return request;
}

// The power a picture's title gives: the outcome's, but for a criterion, whose outcome holds
// only its α: then the power shaded.
double titlePower(const EffectRequest& request, const EffectOutcome& outcome, double shaded) {
    return request.question == PowerQuestion::Criterion ? shaded : outcome.power;
}

bool isWhole(double value) {
    return std::trunc(value) == value;
}

// The picture of an F design's test (the central F and the noncentral one under the effect,
// rejecting above the critical value) or of RMSEA's (the noncentral chi-square under ε0 and
// under ε1, close fit rejecting above the critical value, not-close fit below it), the power
// shaded beyond it. The families' densities take whole Df: repeated measures with ε < 1 have
// real ones, and no picture.
PlotScene designPowerScene(Calculators& calculators, const EffectRequest& request,
                           const EffectRequest& tested, const EffectOutcome& outcome) {
    const DesignTest test = designTestOf(calculators, tested);
    if (test.failed) {
        return failedScene("the test behind the power could not be computed.");
    }
    if (!isWhole(test.df1) || !isWhole(test.df2)) {
        return failedScene("with eps < 1 the repeated-measures F test runs on real-valued Df (" +
                           plotNumber(test.df1) + ", " + plotNumber(test.df2) +
                           "), which no density drawn here takes; choose a power curve instead.");
    }
    ComputeRequest family;
    family.distribution = test.distribution;
    family.df1 = static_cast<int>(test.df1);
    family.df2 = static_cast<int>(test.df2);
    SceneBuilder builder(calculators, family);
    builder.addCurve(test.nullNoncentrality);
    builder.addCurve(test.noncentrality);
    builder.addMark(test.critical);
    if (!builder.drawCurves()) {
        return failedScene("the densities could not be evaluated over their range.");
    }
    const PlottedDistribution& alternative = builder.distribution(1);
    const std::optional<double> shaded = test.rejectsBelow
                                             ? alternative.probability(test.critical)
                                             : alternative.upperProbability(test.critical);
    if (!shaded) {
        return failedScene("the power could not be evaluated.");
    }
    PlotScene& scene = builder.scene();
    builder.shade(1, test.rejectsBelow ? scene.xFrom : test.critical,
                  test.rejectsBelow ? test.critical : scene.xTo, *shaded,
                  "power " + plotNumber(*shaded), !test.rejectsBelow);
    const std::string power = plotNumber(titlePower(request, outcome, *shaded));
    const std::string at = "Power " + power + " at alpha " + plotNumber(tested.alpha) + ": ";
    const std::string critical = "critical value " + plotNumber(test.critical);
    if (test.distribution == DistributionKind::F) {
        scene.title = at + "central and noncentral F, " + critical;
    } else {
        scene.title = at + "X2 under RMSEA0 = " + plotNumber(tested.rmsea0) +
                      " and RMSEA1 = " + plotNumber(tested.effect) + ", " +
                      (test.rejectsBelow ? "not-close fit rejecting below the "
                                         : "close fit rejecting above the ") +
                      critical;
    }
    scene.axisName = familyOf(test.distribution).value;
    return std::move(scene);
}
}  // namespace

PlotScene quantityScene(Calculators& calculators, const ComputeRequest& request,
                        const ComputeOutcome& outcome) {
    if (outcome.failed) {
        return failedComputationScene(outcome.messages);
    }
    PlotScene scene;
    switch (request.quantity) {
        case QuantityKind::CumP:
            scene = lowerTailScene(calculators, request, request.noncentrality, request.value,
                                   outcome.result, std::nullopt);
            break;
        case QuantityKind::Value:
            scene = lowerTailScene(calculators, request, request.noncentrality, outcome.result,
                                   request.cumP, std::nullopt);
            break;
        case QuantityKind::Noncentrality:
            scene = lowerTailScene(calculators, request, outcome.result, request.value,
                                   request.cumP, std::nullopt);
            break;
        case QuantityKind::Interval:
            scene = intervalScene(calculators, request, outcome);
            break;
        case QuantityKind::Density:
            scene = densityScene(calculators, request, outcome.result);
            break;
        case QuantityKind::Upper:
            scene = lowerTailScene(calculators, request, request.noncentrality, request.value,
                                   std::nullopt, outcome.result);
            break;
    }
    scene.axisName = familyOf(request.distribution).value;
    return scene;
}

PlotScene powerScene(Calculators& calculators, const EffectRequest& request,
                     const EffectOutcome& outcome) {
    if (outcome.failed) {
        return failedComputationScene(outcome.messages);
    }
    if (request.quantity == EffectQuantity::Estimate) {
        return failedScene("an effect size has no power picture.");
    }
    // The request the outcome answers is pictured: the sample size found, a sensitivity's
    // effect, a criterion's or compromise's α.
    const EffectRequest tested = answeredPowerRequest(request, outcome);
    const HeldMessages held(calculators);
    switch (request.design) {
        case StudyDesign::Basic:
            break;
        case StudyDesign::Equivalence:
            return failedScene(
                "an equivalence design's power is that of two one-sided t tests together, "
                "integrated over the sample SD, which no pair of densities shows; choose a "
                "power curve instead.");
        default:
            return designPowerScene(calculators, request, tested, outcome);
    }
    const PowerTest test = powerTestOf(calculators, tested);
    if (test.failed) {
        return failedScene("the test behind the power could not be computed.");
    }
    const ComputeRequest family = requestOf(test);
    SceneBuilder builder(calculators, family);
    builder.addCurve(0.0);
    builder.addCurve(test.noncentrality);
    builder.addMark(test.critical);
    if (test.sides == 2) {
        builder.addMark(-test.critical);
    }
    if (!builder.drawCurves()) {
        return failedScene("the densities could not be evaluated over their range.");
    }
    const PlottedDistribution& alternative = builder.distribution(1);
    const std::optional<double> belowCritical = alternative.probability(test.critical);
    const std::optional<double> belowLowerCritical =
        test.sides == 2 ? alternative.probability(-test.critical) : std::optional<double>(0.0);
    if (!belowCritical || !belowLowerCritical) {
        return failedScene("the power could not be evaluated.");
    }
    PlotScene& scene = builder.scene();
    builder.shade(1, test.critical, scene.xTo, 1.0 - *belowCritical,
                  "power " + plotNumber(1.0 - *belowCritical), true);
    if (test.sides == 2) {
        builder.shade(1, scene.xFrom, -test.critical, *belowLowerCritical,
                      "power " + plotNumber(*belowLowerCritical), false);
    }
    const double power = titlePower(request, outcome, 1.0 - *belowCritical + *belowLowerCritical);
    scene.title = "Power " + plotNumber(power) + " at alpha " + plotNumber(tested.alpha) +
                  ": central and noncentral " + familyOf(test.distribution).value +
                  ", critical value " + plotNumber(test.critical);
    scene.axisName = familyOf(test.distribution).value;
    return std::move(scene);
}

std::string plotNumber(double value, int digits) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    return text;
}

std::string plotProbability(double probability) {
    constexpr int kDigits = 6;
    constexpr int kMostDigits = 17;
    if (!(probability > 0.5 && probability < 1.0)) {
        return plotNumber(probability, kDigits);
    }
    const int nines = static_cast<int>(std::floor(-std::log10(1.0 - probability)));
    return plotNumber(probability, std::min(kMostDigits, kDigits + nines));
}

}  // namespace quorvel
