#include <gtest/gtest.h>

#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/non_central_chi_squared.hpp>
#include <cmath>
#include <numbers>

#include "gui/plot/curve_sampling.h"
#include "gui/plot/plot_scene.h"
#include "model/computation.h"
#include "model/effects/effects.h"
#include "numerics/calculators.h"
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
    ComputeRequest request{DistributionKind::F, QuantityKind::Interval, 2.0, 0.0, 0.0, 3, 10,
                           0.95};
    const ComputeOutcome outcome = computeQuantity(calculators, request);
    ASSERT_EQ(outcome.lower, 0.0);
    const PlotScene scene = quantityScene(calculators, request, outcome);
    ASSERT_TRUE(scene.failure.empty()) << scene.failure;
    ASSERT_EQ(scene.curves.size(), 2u);
    ASSERT_EQ(scene.areas.size(), 2u);
    const boost::math::fisher_f central(3, 10);
    const double centralTail = boost::math::cdf(boost::math::complement(central, 2.0));
    EXPECT_NEAR(scene.areas[0].probability, centralTail, 1e-8);
    EXPECT_EQ(scene.areas[0].label, "P = " + plotNumber(centralTail));
    EXPECT_EQ(scene.areas[1].label, "(1 - C)/2 = 0.025");
    EXPECT_NEAR(trapezoidArea(scene.areas[0].points), centralTail, 1e-3);
    EXPECT_NEAR(trapezoidArea(scene.areas[1].points), 0.025, 1e-3);
    EXPECT_TRUE(reporter.messages.empty());
}

// The x range covers the curve between its 0.0005 and 0.9995 quantiles, widened to the mark.
TEST_F(PlotSceneTest, TheRangeCoversTheMassThatMattersAndTheMark) {
    ComputeRequest request{DistributionKind::ChiSquare, QuantityKind::CumP, 60.0, 3.0, 0.0, 4, 0,
                           0.95};
    const PlotScene scene =
        quantityScene(calculators, request, computeQuantity(calculators, request));
    ASSERT_TRUE(scene.failure.empty()) << scene.failure;
    const boost::math::non_central_chi_squared curve(4, 3.0);
    EXPECT_NEAR(boost::math::cdf(curve, scene.xFrom), 0.0005, 1e-6);
    EXPECT_EQ(scene.xTo, 60.0);
    EXPECT_EQ(scene.marks.at(0).x, 60.0);
    EXPECT_EQ(scene.title, "X2(4), Lambda = 3:  P(X2 <= 60) = " +
                               plotNumber(boost::math::cdf(curve, 60.0)));
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

TEST(PlotNumber, PrintsSignificantDigitsWithoutTrailingZeros) {
    EXPECT_EQ(plotNumber(0.025), "0.025");
    EXPECT_EQ(plotNumber(1.0 / 3.0), "0.333333");
    EXPECT_EQ(plotNumber(12345678.0), "1.23457e+07");
}

}  // namespace
}  // namespace quorvel
