#include "gui/plot/power_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "model/batch/csv.h"
#include "model/effects/effect_parts.h"
#include "model/number_text.h"
#include "numerics/calculators.h"
#include "tests/support/boost_oracle.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

using enum DistributionKind;
using enum EffectQuantity;

// Powers from the noncentral distribution functions differ from a monotone sequence by their
// rounding only.
constexpr double kRounding = 1e-12;

class PowerCurveTest : public ::testing::TestWithParam<EffectRequest> {
  protected:
    testing::RecordingReporter reporter_;
    Calculators calculators_{reporter_};
};

// Along its axis a curve is sorted, at most 201 points, rises monotonically (an effect against a
// one-sided test too, whose power grows toward alpha at 0) and holds the request's own point
// with testPower's power.
void expectWellFormed(const PowerCurve& curve, const EffectRequest& tested,
                      Calculators& calculators) {
    ASSERT_TRUE(curve.failure.empty()) << curve.failure;
    ASSERT_GE(curve.points.size(), 20u);
    EXPECT_LE(curve.points.size(), kMostPowerCurvePoints);
    bool holdsOwnPoint = false;
    for (std::size_t i = 0; i < curve.points.size(); ++i) {
        holdsOwnPoint |= curve.points[i].x == curve.at.x && curve.points[i].y == curve.at.y;
        if (i > 0) {
            EXPECT_LT(curve.points[i - 1].x, curve.points[i].x);
            EXPECT_GE(curve.points[i].y - curve.points[i - 1].y, -kRounding)
                << "at " << curve.points[i].x;
        }
    }
    EXPECT_TRUE(holdsOwnPoint);
    const PowerValue own = testPower(calculators, tested);
    ASSERT_FALSE(own.failed);
    EXPECT_EQ(curve.at.y, own.power);
}

TEST_P(PowerCurveTest, OverNRisesFromTheSmallestNToNearOneThroughTheComputedPoint) {
    const EffectRequest& request = GetParam();
    const EffectOutcome outcome = computeEffect(calculators_, request);
    ASSERT_FALSE(outcome.failed);
    const PowerCurve curve = powerCurveOverN(calculators_, request, outcome);
    const EffectRequest tested =
        request.quantity == SampleSize ? powerRequestAt(request, outcome.n) : request;
    expectWellFormed(curve, tested, calculators_);
    EXPECT_GE(curve.points.back().y, 0.99);
    // The smallest N a test takes has little power for these moderate effects.
    EXPECT_LT(curve.points.front().y, 0.5);
    for (const PlotPoint& point : curve.points) {
        EXPECT_EQ(point.x, std::round(point.x));
    }
    if (request.quantity == SampleSize) {
        EXPECT_EQ(curve.at.x, outcome.n);
        EXPECT_EQ(curve.at.y, outcome.power);
        ASSERT_TRUE(curve.target.has_value());
        EXPECT_EQ(*curve.target, request.power);
        // The point before N is a whole N whose power falls short of the target.
        const auto at = std::find_if(curve.points.begin(), curve.points.end(),
                                     [&](const PlotPoint& p) { return p.x == curve.at.x; });
        if (at != curve.points.begin() && (at - 1)->x == curve.at.x - 1) {
            EXPECT_LT((at - 1)->y, request.power);
        }
    }
    EXPECT_TRUE(reporter_.messages.empty());
}

TEST_P(PowerCurveTest, OverTheEffectRisesFromAlphaAtZeroThroughTheComputedPoint) {
    const EffectRequest& request = GetParam();
    const EffectOutcome outcome = computeEffect(calculators_, request);
    ASSERT_FALSE(outcome.failed);
    const PowerCurve curve = powerCurveOverEffect(calculators_, request, outcome);
    const EffectRequest tested =
        request.quantity == SampleSize ? powerRequestAt(request, outcome.n) : request;
    expectWellFormed(curve, tested, calculators_);
    EXPECT_EQ(curve.at.x, request.effect);
    // At effect 0 the test rejects with probability alpha; the critical value is good to the
    // percentage point's 1e-9 or so.
    EXPECT_EQ(curve.points.front().x, 0.0);
    EXPECT_NEAR(curve.points.front().y, request.alpha, 1e-8);
    EXPECT_GE(curve.points.back().y, 0.99);
    EXPECT_TRUE(reporter_.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    EveryFamilyAndQuantity, PowerCurveTest,
    ::testing::Values(
        EffectRequest{.distribution = T, .quantity = Power, .effect = 0.5, .n1 = 15, .n2 = 25},
        EffectRequest{.distribution = T, .quantity = Power, .effect = 0.4, .n = 30, .sides = 1},
        EffectRequest{.distribution = T, .quantity = SampleSize, .effect = 0.5, .power = 0.8},
        EffectRequest{.distribution = T,
                      .quantity = SampleSize,
                      .effect = 0.3,
                      .alpha = 0.01,
                      .power = 0.9,
                      .sides = 1,
                      .twoSample = false},
        EffectRequest{.distribution = F, .quantity = Power, .effect = 0.15, .df1 = 3, .df2 = 40},
        EffectRequest{.distribution = F, .quantity = SampleSize, .effect = 0.02, .df1 = 2},
        EffectRequest{
            .distribution = ChiSquare, .quantity = Power, .effect = 0.3, .n = 100, .df1 = 4},
        EffectRequest{.distribution = ChiSquare, .quantity = SampleSize, .effect = 0.1, .df1 = 1}));

// The x of a curve is the N of the test: an F curve point at N has Df2 = N − U − 1 and
// λ = f²·N, a t curve of two groups splits N in the groups' ratio. Checked against Boost.Math
// at a few points, to its 1e-12 or so.
TEST(PowerCurveAxes, EachPointIsThePowerOfTheTestAtItsN) {
    testing::RecordingReporter reporter;
    Calculators calculators(reporter);
    const EffectRequest f{.distribution = F, .quantity = Power, .effect = 0.1, .df1 = 3, .df2 = 40};
    const PowerCurve fCurve = powerCurveOverN(calculators, f, computeEffect(calculators, f));
    ASSERT_TRUE(fCurve.failure.empty());
    for (std::size_t i = 1; i < fCurve.points.size(); i += 37) {
        const double n = fCurve.points[i].x;
        const double v = n - 4.0;
        const double critical = oracle::fisherFQuantile(0.95, 3.0, v);
        const double expected = oracle::noncentralFUpper(critical, 3.0, v, 0.1 * n);
        EXPECT_NEAR(fCurve.points[i].y, expected, 1e-10) << "N " << n;
    }

    const EffectRequest t{.distribution = T, .quantity = Power, .effect = 0.5, .n1 = 10, .n2 = 30};
    const PowerCurve tCurve = powerCurveOverN(calculators, t, computeEffect(calculators, t));
    ASSERT_TRUE(tCurve.failure.empty());
    EXPECT_EQ(tCurve.axisName, "N1 + N2");
    for (std::size_t i = 2; i < tCurve.points.size(); i += 29) {
        const double n = tCurve.points[i].x;
        const double n1 = std::clamp(std::round(n / 4.0), 1.0, n - 1.0);
        const double n2 = n - n1;
        const double df = n - 2.0;
        const double critical = oracle::studentsTQuantile(0.975, df);
        const double delta = 0.5 * std::sqrt(n1 * n2 / n);
        const double expected = oracle::noncentralTUpper(critical, df, delta) +
                                oracle::noncentralTCdf(-critical, df, delta);
        EXPECT_NEAR(tCurve.points[i].y, expected, 1e-10) << "N " << n;
    }
}

// A negative d in a one-sided test runs from itself and beyond up to 0, the power falling
// below alpha; a failed computation and an estimate have no curve, and say why.
TEST(PowerCurveLimits, ANegativeEffectAndTheRequestsWithoutACurve) {
    testing::RecordingReporter reporter;
    Calculators calculators(reporter);
    const EffectRequest against{
        .distribution = T, .quantity = Power, .effect = -0.3, .n = 25, .sides = 1};
    const PowerCurve curve =
        powerCurveOverEffect(calculators, against, computeEffect(calculators, against));
    expectWellFormed(curve, against, calculators);
    EXPECT_EQ(curve.points.back().x, 0.0);
    EXPECT_LT(curve.points.front().x, -0.3);
    EXPECT_LT(curve.points.front().y, 0.01 * 0.05 + kRounding);

    EffectOutcome failed;
    failed.failed = true;
    failed.messages = {"Sample size above the limits of the F distribution."};
    EXPECT_EQ(powerCurveOverN(calculators, against, failed).failure,
              "No curve: Sample size above the limits of the F distribution.");
    const EffectRequest estimate{.distribution = T, .quantity = Estimate, .value = 2.0, .n = 20};
    EXPECT_EQ(powerCurveOverEffect(calculators, estimate, EffectOutcome{}).failure,
              "No curve: an effect size has no power curve.");
}

// The CSV holds every point, read back to the same doubles; the scene marks the point, the
// target and alpha on a probability axis.
TEST(PowerCurveExport, CsvRoundTripAndScene) {
    testing::RecordingReporter reporter;
    Calculators calculators(reporter);
    const EffectRequest request{
        .distribution = ChiSquare, .quantity = SampleSize, .effect = 0.25, .df1 = 3};
    const PowerCurve curve =
        powerCurveOverN(calculators, request, computeEffect(calculators, request));
    ASSERT_TRUE(curve.failure.empty());

    std::istringstream csv(powerCurveCsv(curve));
    batch::CsvReader reader(csv);
    batch::CsvRecord record;
    ASSERT_TRUE(reader.next(record));
    EXPECT_EQ(record.fields, (std::vector<std::string>{"n", "power"}));
    for (const PlotPoint& point : curve.points) {
        ASSERT_TRUE(reader.next(record));
        ASSERT_EQ(record.fields.size(), 2u);
        EXPECT_EQ(parseWrittenNumber(record.fields[0]), point.x);
        EXPECT_EQ(parseWrittenNumber(record.fields[1]), point.y);
    }
    EXPECT_FALSE(reader.next(record));

    const PlotScene scene = powerCurveScene(curve);
    EXPECT_TRUE(scene.probabilityAxis);
    ASSERT_EQ(scene.dots.size(), 1u);
    EXPECT_EQ(scene.dots[0].at.x, curve.at.x);
    ASSERT_EQ(scene.levels.size(), 2u);
    EXPECT_EQ(scene.levels[0].y, 0.8);
    EXPECT_TRUE(scene.levels[0].emphasised);
    EXPECT_EQ(scene.levels[1].y, 0.05);
    EXPECT_LE(scene.xFrom, curve.points.front().x);
    EXPECT_GE(scene.xTo, curve.points.back().x);
}

}  // namespace
}  // namespace quorvel
