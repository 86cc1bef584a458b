#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <random>
#include <set>
#include <string>
#include <tuple>

#include "gui/plot/axis_ticks.h"
#include "gui/plot/curve_sampling.h"
#include "gui/plot/label_placement.h"
#include "gui/plot/plot_scene.h"
#include "model/computation.h"
#include "model/effects/effects.h"
#include "numerics/calculators.h"
#include "tests/support/boost_oracle.h"
#include "tests/support/design_requests.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

// The sampled points of a smooth density integrate by the trapezoid rule to its probability
// well inside the 1e-3 a plot needs, and every required x is a point.
TEST(SampleCurve, ResolvesASmoothDensityAndKeepsTheRequiredPoints) {
    const auto normal = [](double x) -> std::optional<double> {
        return std::exp(-0.5 * x * x) / std::sqrt(2.0 * std::numbers::pi);
    };
    const double marked = 0.3183;
    const std::vector<PlotPoint> points = sampleCurve(normal, -6.0, marked, {marked, 7.0});
    EXPECT_EQ(points.back().x, marked);
    EXPECT_EQ(points.front().x, -6.0);
    EXPECT_NEAR(trapezoidArea(points), 0.5 + std::erf(marked / std::sqrt(2.0)) / 2.0, 1e-5);
    EXPECT_TRUE(std::is_sorted(points.begin(), points.end(),
                               [](const PlotPoint& a, const PlotPoint& b) { return a.x < b.x; }));
}

// A density with an integrable pole at the left end (F with Df1 = 1 near 0) is refined where
// it climbs, so the area stays right; the number of points stays bounded.
TEST(SampleCurve, RefinesTowardsAPoleWithinItsBound) {
    const auto pole = [](double x) -> std::optional<double> { return 0.5 / std::sqrt(x); };
    const std::vector<PlotPoint> points = sampleCurve(pole, 1e-7, 1.0, {});
    EXPECT_LE(points.size(), 4000u);
    EXPECT_NEAR(trapezoidArea(points), 1.0 - std::sqrt(1e-7), 1e-3);
}

TEST(SampleCurve, LeavesOutPointsThatCannotBeEvaluated) {
    const auto holes = [](double x) -> std::optional<double> {
        if (x > 0.4 && x < 0.6) {
            return std::nullopt;
        }
        return 1.0;
    };
    const std::vector<PlotPoint> points = sampleCurve(holes, 0.0, 1.0, {});
    for (const PlotPoint& point : points) {
        EXPECT_FALSE(point.x > 0.4 && point.x < 0.6) << point.x;
    }
    EXPECT_EQ(points.back().x, 1.0);
}

class PlotSceneTest : public ::testing::Test {
  protected:
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
};

// An interval whose lower limit is 0 draws the central curve; its tail beyond the observed
// value is smaller than (1 − C)/2 and is labelled with its own probability, which the shaded
// points carry; the upper limit's tail is (1 − C)/2.
TEST_F(PlotSceneTest, AnIntervalClippedAtZeroDrawsTheCentralCurveWithItsOwnTail) {
    ComputeRequest request{DistributionKind::F, QuantityKind::Interval, 2.0, 0.0, 0.0, 3, 10, 0.95};
    const ComputeOutcome outcome = computeQuantity(calculators, request);
    ASSERT_EQ(outcome.lower, 0.0);
    const PlotScene scene = quantityScene(calculators, request, outcome);
    ASSERT_TRUE(scene.failure.empty()) << scene.failure;
    ASSERT_EQ(scene.curves.size(), 2u);
    ASSERT_EQ(scene.areas.size(), 2u);
    const double centralTail = oracle::fisherFUpper(2.0, 3, 10);
    EXPECT_NEAR(scene.areas[0].probability, centralTail, 1e-8);
    EXPECT_EQ(scene.areas[0].label, "P = " + plotNumber(centralTail));
    EXPECT_EQ(scene.areas[1].label, "(1 - C)/2 = 0.025");
    EXPECT_NEAR(trapezoidArea(scene.areas[0].points), centralTail, 1e-3);
    EXPECT_NEAR(trapezoidArea(scene.areas[1].points), 0.025, 1e-3);
    EXPECT_TRUE(reporter.messages.empty());
}

// Whatever the Df and the noncentrality, the x range shows the body of the curve (most of its
// mass, with the quartiles not squeezed into a sliver) and the marked value, and ends at round
// ticks; the density axis reaches the density at the median even where a pole rises beyond it.
// The caption gives both tails, each from its own tail.
TEST_F(PlotSceneTest, TheRangeShowsTheBodyOfEveryCurveAndTheMark) {
    using enum DistributionKind;
    using namespace oracle;
    struct Row {
        ComputeRequest request;
        std::function<double(double)> cdf;
        std::function<double(double)> pdf;
        std::function<double(double)> quantile;
    };
    const auto f = [](double m, double n, double lambda) {
        return std::tuple{[=](double x) { return noncentralFCdf(x, m, n, lambda); },
                          [=](double x) { return noncentralFPdf(x, m, n, lambda); },
                          [=](double p) { return noncentralFQuantile(p, m, n, lambda); }};
    };
    const auto centralF = [](double m, double n) {
        return std::tuple{[=](double x) { return fisherFCdf(x, m, n); },
                          [=](double x) { return fisherFPdf(x, m, n); },
                          [=](double p) { return fisherFQuantile(p, m, n); }};
    };
    const auto t = [](double df, double delta) {
        return std::tuple{[=](double x) { return noncentralTCdf(x, df, delta); },
                          [=](double x) { return noncentralTPdf(x, df, delta); },
                          [=](double p) { return noncentralTQuantile(p, df, delta); }};
    };
    const auto centralT = [](double df) {
        return std::tuple{[=](double x) { return studentsTCdf(x, df); },
                          [=](double x) { return studentsTPdf(x, df); },
                          [=](double p) { return studentsTQuantile(p, df); }};
    };
    const auto chi = [](double df, double lambda) {
        return std::tuple{[=](double x) { return noncentralChiSquareCdf(x, df, lambda); },
                          [=](double x) { return noncentralChiSquarePdf(x, df, lambda); },
                          [=](double p) { return noncentralChiSquareQuantile(p, df, lambda); }};
    };
    const auto centralChi = [](double df) {
        return std::tuple{[=](double x) { return chiSquareCdf(x, df); },
                          [=](double x) { return chiSquarePdf(x, df); },
                          [=](double p) { return chiSquareQuantile(p, df); }};
    };
    const auto rowOf = [](ComputeRequest request, auto functions) {
        auto [cdf, pdf, quantile] = functions;
        return Row{request, cdf, pdf, quantile};
    };
    const Row rows[] = {
        rowOf({F, QuantityKind::CumP, 3.0, 0.0, 0.0, 1, 1}, centralF(1, 1)),
        rowOf({T, QuantityKind::CumP, 2.0, 0.0, 0.0, 1, 0}, centralT(1)),
        rowOf({ChiSquare, QuantityKind::CumP, 1.0, 0.0, 0.0, 1, 0}, centralChi(1)),
        rowOf({ChiSquare, QuantityKind::CumP, 60.0, 3.0, 0.0, 4, 0}, chi(4, 3.0)),
        rowOf({ChiSquare, QuantityKind::CumP, 4900.0, 5000.0, 0.0, 1, 0}, chi(1, 5000.0)),
        rowOf({F, QuantityKind::CumP, 1800.0, 5000.0, 0.0, 3, 40}, f(3, 40, 5000.0)),
        rowOf({T, QuantityKind::CumP, 30.0, 40.0, 0.0, 1, 0}, t(1, 40.0)),
        rowOf({T, QuantityKind::CumP, 45.0, 40.0, 0.0, 200, 0}, t(200, 40.0)),
    };
    for (const Row& row : rows) {
        const ComputeOutcome outcome = computeQuantity(calculators, row.request);
        ASSERT_FALSE(outcome.failed);
        const PlotScene scene = quantityScene(calculators, row.request, outcome);
        ASSERT_TRUE(scene.failure.empty()) << scene.failure;
        SCOPED_TRACE(scene.title);
        const double x = row.request.value;
        EXPECT_LE(scene.xFrom, x);
        EXPECT_GE(scene.xTo, x);
        EXPECT_GE(row.cdf(scene.xTo) - row.cdf(scene.xFrom), 0.85);
        const double quartiles = row.quantile(0.75) - row.quantile(0.25);
        EXPECT_GE(quartiles / (scene.xTo - scene.xFrom), 1.0 / 20.0);
        EXPECT_EQ(scene.xFrom, scene.xTicks.from);
        EXPECT_EQ(scene.xTo, scene.xTicks.to);
        const double atMedian = row.pdf(row.quantile(0.5));
        EXPECT_GE(scene.yTo, atMedian * (1.0 - 1e-9));  // the peak itself, to rounding
        EXPECT_LE(scene.yTo, 3.0 * atMedian * (1.0 + 1e-6));
        EXPECT_TRUE(std::isfinite(scene.yTo));
        const std::string name = scene.axisName;
        const double upper = 1.0 - row.cdf(x);
        EXPECT_EQ(
            scene.title,
            scene.curves.at(0).name + ":  P(" + name + " <= " + plotNumber(x) + ") = " +
                plotProbability(outcome.result) + ",  P(" + name + " > " + plotNumber(x) + ") = " +
                plotProbability(
                    computeQuantity(calculators, {row.request.distribution, QuantityKind::Upper, x,
                                                  row.request.noncentrality, 0.0, row.request.df1,
                                                  row.request.df2})
                        .result));
        EXPECT_NEAR(std::stod(scene.title.substr(scene.title.rfind("= ") + 2)), upper,
                    1e-5 * upper + 1e-300);
    }
    EXPECT_TRUE(reporter.messages.empty());
}

// A probability too small to shade still has its label, and a probability near 1 keeps the
// digits that tell it from 1.
TEST_F(PlotSceneTest, TinyAndNearOneProbabilitiesKeepTheirLabelAndDigits) {
    ComputeRequest request{DistributionKind::F, QuantityKind::CumP, 0.001, 0.0, 0.0, 10, 10};
    const ComputeOutcome outcome = computeQuantity(calculators, request);
    ASSERT_LT(outcome.result, 1e-12);
    const PlotScene scene = quantityScene(calculators, request, outcome);
    ASSERT_TRUE(scene.failure.empty()) << scene.failure;
    ASSERT_EQ(scene.areas.size(), 1u);
    EXPECT_EQ(scene.areas[0].label, "P = " + plotNumber(outcome.result));
    EXPECT_EQ(scene.areas[0].to, 0.001);
    EXPECT_FALSE(scene.areas[0].upperTail);
    EXPECT_EQ(plotProbability(1.0 - 8.58059e-09), "0.99999999141941");
    EXPECT_EQ(plotProbability(0.93444243790615589), "0.9344424");
    EXPECT_EQ(plotProbability(1.0), "1");
    EXPECT_EQ(plotProbability(1.24955e-13), "1.24955e-13");
}

// Ticks are round (1, 2 or 5 times a power of ten apart), cover the data, number three to ten
// intervals and print in one format with distinct labels, over ranges of every size and sign.
TEST(RoundTicks, AreRoundCoverTheDataAndPrintInOneFormat) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> exponent(-12.0, 12.0);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (int i = 0; i < 2000; ++i) {
        const double scale = std::pow(10.0, exponent(random));
        const double low = unit(random) * scale * (i % 3 == 0 ? 1.0 : 20.0);
        const double high = low + std::abs(unit(random)) * scale + 1e-3 * scale;
        const AxisTicks ticks = roundTicks(low, high);
        SCOPED_TRACE(std::to_string(low) + " .. " + std::to_string(high));
        const double mantissa =
            ticks.step / std::pow(10.0, std::floor(std::log10(ticks.step) + 1e-9));
        EXPECT_TRUE(std::abs(mantissa - 1.0) < 1e-9 || std::abs(mantissa - 2.0) < 1e-9 ||
                    std::abs(mantissa - 5.0) < 1e-9)
            << mantissa;
        EXPECT_LE(ticks.from, low);
        EXPECT_GE(ticks.to, high);
        const double intervals = (ticks.to - ticks.from) / ticks.step;
        EXPECT_NEAR(intervals, std::round(intervals), 1e-6);
        EXPECT_GE(std::round(intervals), 3.0);
        EXPECT_LE(std::round(intervals), 10.0);
        std::set<std::string> labels;
        for (int k = 0; k <= std::lround(intervals); ++k) {
            const std::string label = tickLabel(ticks, ticks.from + k * ticks.step);
            EXPECT_TRUE(labels.insert(label).second) << label;
            EXPECT_NE(label, "-0") << "no negative zero";
        }
    }
    EXPECT_EQ(roundTicks(6.2e-7, 35.0).step, 10.0);
    EXPECT_EQ(tickLabel(roundTicks(0.0, 0.1), 0.06), "0.06");
    EXPECT_EQ(tickLabel(roundTicks(1e6, 3e6), 1.5e6), "1.5e+06");
}

// A label stands beside its mark, clear of the lines, and where nothing is free it still stands
// inside the plot.
TEST(PlaceLabel, KeepsClearOfLinesAndOtherLabels) {
    const PixelBox plot{0, 0, 400, 300};
    LabelObstacles obstacles;
    obstacles.lines.push_back({{200, 300}, {200, 0}});  // the mark
    // A curve that fills the top right of the plot.
    obstacles.lines.push_back({{0, 290}, {200, 10}, {400, 10}});
    const PixelPoint left = placeLabel(plot, 200, false, 80, 16, obstacles);
    const PixelBox box{left.x, left.y, 80, 16};
    EXPECT_LE(box.right(), 200.0);
    for (const auto& line : obstacles.lines) {
        EXPECT_FALSE(touches(box, line, 3.0));
    }
    obstacles.labels.push_back(box);
    const PixelPoint right = placeLabel(plot, 200, true, 80, 16, obstacles);
    const PixelBox second{right.x, right.y, 80, 16};
    EXPECT_GE(second.left, 200.0);
    for (const auto& line : obstacles.lines) {
        EXPECT_FALSE(touches(second, line, 3.0));
    }
    // Lines everywhere: the label is still inside the plot.
    for (int y = 0; y <= 300; y += 5) {
        obstacles.lines.push_back({{0, double(y)}, {400, double(y)}});
    }
    const PixelPoint anywhere = placeLabel(plot, 390, true, 80, 16, obstacles);
    EXPECT_GE(anywhere.x, 0.0);
    EXPECT_LE(anywhere.x + 80, 400.0);
    EXPECT_GE(anywhere.y, 0.0);
}

// A failed computation pictures nothing and says why in one line, with its first message;
// drawing a picture shows no message of its own.
TEST_F(PlotSceneTest, AFailedComputationGivesItsFirstMessage) {
    ComputeRequest request{DistributionKind::T, QuantityKind::Value, 0.0, 1.0, 0.95, 0, 0, 0.95};
    const ComputeOutcome outcome = computeQuantity(calculators, request);
    ASSERT_TRUE(outcome.failed);
    reporter.messages.clear();
    const PlotScene scene = quantityScene(calculators, request, outcome);
    EXPECT_EQ(scene.failure, "No plot: " + outcome.messages.front());
    EXPECT_TRUE(scene.curves.empty());
    EXPECT_TRUE(reporter.messages.empty());
}

// The power picture: the central and the noncentral density, the critical values marked, and
// the noncentral probability beyond them shaded, which adds up to the power computed.
TEST_F(PlotSceneTest, APowerPictureShadesThePowerBeyondTheCriticalValues) {
    struct Row {
        EffectRequest request;
        std::size_t marks;
    };
    const Row rows[] = {
        {{.distribution = DistributionKind::T,
          .quantity = EffectQuantity::Power,
          .effect = 0.5,
          .n1 = 20,
          .n2 = 20},
         2},
        {{.distribution = DistributionKind::F,
          .quantity = EffectQuantity::Power,
          .effect = 0.15,
          .df1 = 3,
          .df2 = 40},
         1},
        {{.distribution = DistributionKind::ChiSquare,
          .quantity = EffectQuantity::SampleSize,
          .effect = 0.3,
          .df1 = 4,
          .power = 0.8},
         1},
    };
    for (const Row& row : rows) {
        const EffectOutcome outcome = computeEffect(calculators, row.request);
        ASSERT_FALSE(outcome.failed);
        const PlotScene scene = powerScene(calculators, row.request, outcome);
        ASSERT_TRUE(scene.failure.empty()) << scene.failure;
        ASSERT_EQ(scene.curves.size(), 2u);
        ASSERT_EQ(scene.marks.size(), row.marks);
        ASSERT_EQ(scene.areas.size(), row.marks);
        double shaded = 0.0;
        double probability = 0.0;
        for (const ShadedArea& area : scene.areas) {
            EXPECT_EQ(area.curve, 1u);
            shaded += trapezoidArea(area.points);
            probability += area.probability;
        }
        EXPECT_NEAR(probability, outcome.power, 1e-12);
        EXPECT_NEAR(shaded, outcome.power, 1e-3);
        EXPECT_EQ(scene.areas.front().points.front().x, scene.marks.front().x);
    }
    EXPECT_TRUE(reporter.messages.empty());
}

// A design's picture at the request its outcome answers: an F design's central and
// noncentral F; RMSEA's noncentral chi-squares under ε0 (λ0 = 299·50·0.05²) and ε1, close fit
// shading the upper tail beyond the critical value, not-close fit the lower tail up to it; the
// shaded probability is the outcome's power. Two one-sided tests and real-valued Df have no
// picture, and say to choose a curve.
TEST_F(PlotSceneTest, ADesignsPowerPictureShadesItsRejectionSide) {
    using enum DistributionKind;
    using enum EffectQuantity;
    struct Row {
        EffectRequest request;
        bool upperTail;
    };
    const Row rows[] = {
        {testing::kAnovaSampleSize, true},
        {{.distribution = ChiSquare,
          .quantity = SampleSize,
          .effect = 0.08,
          .df1 = 50,
          .power = 0.8,
          .design = StudyDesign::Rmsea,
          .rmsea0 = 0.05},
         true},
        {testing::kNotCloseSensitivity, false},
    };
    for (const Row& row : rows) {
        const EffectOutcome outcome = computeEffect(calculators, row.request);
        ASSERT_FALSE(outcome.failed);
        const PlotScene scene = powerScene(calculators, row.request, outcome);
        ASSERT_TRUE(scene.failure.empty()) << scene.failure;
        ASSERT_EQ(scene.curves.size(), 2u);
        ASSERT_EQ(scene.marks.size(), 1u);
        ASSERT_EQ(scene.areas.size(), 1u);
        const ShadedArea& area = scene.areas.front();
        EXPECT_EQ(area.curve, 1u);
        EXPECT_EQ(area.upperTail, row.upperTail);
        EXPECT_EQ(row.upperTail ? area.points.front().x : area.points.back().x,
                  scene.marks.front().x);
        EXPECT_NEAR(area.probability, outcome.power, 1e-12);
        EXPECT_NEAR(trapezoidArea(area.points), outcome.power, 1e-3);
    }
    const EffectOutcome notClose = computeEffect(calculators, rows[2].request);
    EXPECT_EQ(powerScene(calculators, rows[2].request, notClose).curves[0].name,
              "X2(50), Lambda = 37.375");

    for (const EffectRequest& request :
         {testing::kEquivalenceSampleSize, testing::kRmWithinPower}) {
        const EffectOutcome outcome = computeEffect(calculators, request);
        ASSERT_FALSE(outcome.failed);
        const PlotScene scene = powerScene(calculators, request, outcome);
        EXPECT_NE(scene.failure.find("choose a power curve instead"), std::string::npos)
            << scene.failure;
        EXPECT_TRUE(scene.curves.empty());
    }
    EXPECT_TRUE(reporter.messages.empty());
}

TEST(PlotNumber, PrintsSignificantDigitsWithoutTrailingZeros) {
    EXPECT_EQ(plotNumber(0.025), "0.025");
    EXPECT_EQ(plotNumber(1.0 / 3.0), "0.333333");
    EXPECT_EQ(plotNumber(12345678.0), "1.23457e+07");
}

}  // namespace
}  // namespace quorvel
