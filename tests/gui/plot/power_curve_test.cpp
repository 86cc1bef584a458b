#include "gui/plot/power_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "model/batch/csv.h"
#include "model/effects/effect_parts.h"
#include "model/number_text.h"
#include "numerics/calculators.h"
#include "tests/support/boost_oracle.h"
#include "tests/support/design_requests.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

using testing::kAnovaCriterion;
using testing::kAnovaSampleSize;
using testing::kEquivalenceSampleSize;
using testing::kNotCloseSensitivity;
using testing::kRmWithinPower;

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

// A curve is sorted, at most 201 points, holds its own point, and its power moves one way
// (rising: +1, falling: −1) over the points from x = `steadyFrom` on.
void expectMonotoneThrough(const PowerCurve& curve, int direction, double steadyFrom = -HUGE_VAL) {
    ASSERT_TRUE(curve.failure.empty()) << curve.failure;
    ASSERT_GE(curve.points.size(), 20u);
    EXPECT_LE(curve.points.size(), kMostPowerCurvePoints);
    bool holdsOwnPoint = false;
    for (std::size_t i = 0; i < curve.points.size(); ++i) {
        holdsOwnPoint |= curve.points[i].x == curve.at.x && curve.points[i].y == curve.at.y;
        if (i > 0) {
            EXPECT_LT(curve.points[i - 1].x, curve.points[i].x);
            if (curve.points[i - 1].x >= steadyFrom) {
                EXPECT_GE(direction * (curve.points[i].y - curve.points[i - 1].y), -kRounding)
                    << "at " << curve.points[i].x;
            }
        }
    }
    EXPECT_TRUE(holdsOwnPoint);
}

// A design's curves pass through the request its outcome answers, with the outcome's power:
// the sample size found (an equivalence design's per group), a sensitivity's effect, a
// criterion's α, which is then the curve's α. Over N they start at the smallest N the design
// can test (its error Df's first whole N) and rise; an RMSEA curve over ε1 keeps to its side
// of ε0, an equivalence curve over d falls to all but 0.
TEST(DesignPowerCurves, PassThroughTheAnswerFromTheDesignsSmallestN) {
    testing::RecordingReporter reporter;
    Calculators calculators(reporter);

    const EffectOutcome anova = computeEffect(calculators, kAnovaSampleSize);
    ASSERT_EQ(anova.n, 179);
    const PowerCurve anovaN = powerCurveOverN(calculators, kAnovaSampleSize, anova);
    expectMonotoneThrough(anovaN, 1);
    EXPECT_EQ(anovaN.axisName, "N");
    EXPECT_EQ(anovaN.points.front().x, 5.0);
    EXPECT_EQ(anovaN.at.x, 179.0);
    EXPECT_EQ(anovaN.at.y, anova.power);
    EXPECT_EQ(anovaN.target, 0.8);
    EXPECT_GE(anovaN.points.back().y, 0.99);
    const PowerCurve anovaEffect = powerCurveOverEffect(calculators, kAnovaSampleSize, anova);
    expectMonotoneThrough(anovaEffect, 1);
    EXPECT_EQ(anovaEffect.axisName, "f²");
    EXPECT_EQ(anovaEffect.at.x, 0.0625);
    EXPECT_EQ(anovaEffect.at.y, anova.power);
    EXPECT_NEAR(anovaEffect.points.front().y, 0.05, 1e-8);

    const EffectOutcome rm = computeEffect(calculators, kRmWithinPower);
    const PowerCurve rmN = powerCurveOverN(calculators, kRmWithinPower, rm);
    expectMonotoneThrough(rmN, 1);
    EXPECT_EQ(rmN.points.front().x, 3.0);
    EXPECT_EQ(rmN.at.x, 30.0);
    EXPECT_EQ(rmN.at.y, rm.power);
    EXPECT_FALSE(rmN.target.has_value());

    const EffectOutcome notClose = computeEffect(calculators, kNotCloseSensitivity);
    ASSERT_FALSE(notClose.failed);
    const PowerCurve overRmsea = powerCurveOverEffect(calculators, kNotCloseSensitivity, notClose);
    expectMonotoneThrough(overRmsea, -1);
    EXPECT_EQ(overRmsea.axisName, "RMSEA1");
    EXPECT_EQ(overRmsea.at.x, notClose.effect);
    EXPECT_EQ(overRmsea.at.y, notClose.power);
    EXPECT_EQ(overRmsea.target, 0.8);
    EXPECT_EQ(overRmsea.points.front().x, 0.0);
    EXPECT_LT(overRmsea.points.back().x, 0.05);
    EXPECT_GT(overRmsea.points.back().x, 0.0499);
    // Up to ε0 the not-close test's power falls back to α.
    EXPECT_NEAR(overRmsea.points.back().y, 0.05, 1e-6);
    const PowerCurve rmseaN = powerCurveOverN(calculators, kNotCloseSensitivity, notClose);
    expectMonotoneThrough(rmseaN, 1);
    EXPECT_EQ(rmseaN.points.front().x, 2.0);
    EXPECT_EQ(rmseaN.at.x, 300.0);
    EXPECT_EQ(rmseaN.at.y, notClose.power);
    // A close fit's curve starts at ε0, where its power is α.
    EffectRequest closeFit = kNotCloseSensitivity;
    closeFit.alternative = Alternative::TwoSided;
    const PowerCurve overClose =
        powerCurveOverEffect(calculators, closeFit, computeEffect(calculators, closeFit));
    expectMonotoneThrough(overClose, 1);
    EXPECT_EQ(overClose.points.front().x, 0.05);
    EXPECT_NEAR(overClose.points.front().y, 0.05, 1e-6);

    const EffectOutcome tost = computeEffect(calculators, kEquivalenceSampleSize);
    ASSERT_FALSE(tost.failed);
    const PowerCurve tostN = powerCurveOverN(calculators, kEquivalenceSampleSize, tost);
    // The exact power of two one-sided tests dips below α at the smallest N, where the sample
    // SD must be tiny for both to reject; beyond, it rises.
    expectMonotoneThrough(tostN, 1, 10.0);
    EXPECT_EQ(tostN.axisName, "N per group");
    EXPECT_EQ(tostN.points.front().x, 2.0);
    EXPECT_EQ(tostN.at.x, tost.n);
    EXPECT_EQ(tostN.at.y, tost.power);
    const PowerCurve tostD = powerCurveOverEffect(calculators, kEquivalenceSampleSize, tost);
    expectMonotoneThrough(tostD, -1);
    EXPECT_EQ(tostD.axisName, "d");
    EXPECT_EQ(tostD.at.x, 0.1);
    EXPECT_EQ(tostD.at.y, tost.power);
    EXPECT_EQ(tostD.points.front().x, 0.0);
    EXPECT_LT(tostD.points.back().y, 0.01 * 0.05);

    const EffectOutcome criterion = computeEffect(calculators, kAnovaCriterion);
    ASSERT_FALSE(criterion.failed);
    for (const PowerCurve& curve :
         {powerCurveOverN(calculators, kAnovaCriterion, criterion),
          powerCurveOverEffect(calculators, kAnovaCriterion, criterion)}) {
        expectMonotoneThrough(curve, 1);
        EXPECT_EQ(curve.alpha, criterion.alpha);
        EXPECT_EQ(curve.target, 0.8);
        EXPECT_NEAR(curve.at.y, 0.8, 1e-12);
    }
    EXPECT_TRUE(reporter.messages.empty());
}

// The points are the designs' powers at their x, against Boost.Math with the Df and λ written
// out here: one-way ANOVA over N (Df 3, N − 4, λ = f²·N), repeated measures with ε = 0.6 over N
// on real Df (1.8, (N − 2)·1.8, λ = f²·N·4·0.6/0.5), and RMSEA's not-close fit over ε1 below the
// lower α point of the noncentral chi-square under ε0 (λ = 299·50·ε²).
TEST(DesignPowerCurves, EachPointIsTheDesignsPowerAtItsX) {
    testing::RecordingReporter reporter;
    Calculators calculators(reporter);
    const PowerCurve anova = powerCurveOverN(calculators, kAnovaSampleSize,
                                             computeEffect(calculators, kAnovaSampleSize));
    ASSERT_TRUE(anova.failure.empty());
    for (std::size_t i = 0; i < anova.points.size(); i += 37) {
        const double n = anova.points[i].x;
        const double critical = oracle::fisherFUpperQuantile(0.05, 3.0, n - 4.0);
        const double expected = oracle::noncentralFUpper(critical, 3.0, n - 4.0, 0.0625 * n);
        EXPECT_NEAR(anova.points[i].y, expected, 1e-10) << "N " << n;
    }
    const PowerCurve rm =
        powerCurveOverN(calculators, kRmWithinPower, computeEffect(calculators, kRmWithinPower));
    ASSERT_TRUE(rm.failure.empty());
    for (std::size_t i = 0; i < rm.points.size(); i += 23) {
        const double n = rm.points[i].x;
        const double nu1 = 3.0 * 0.6;
        const double nu2 = (n - 2.0) * 3.0 * 0.6;
        const double critical = oracle::fisherFUpperQuantile(0.05, nu1, nu2);
        const double expected =
            oracle::noncentralFUpper(critical, nu1, nu2, 0.0625 * n * 4.0 * 0.6 / 0.5);
        EXPECT_NEAR(rm.points[i].y, expected, 1e-10) << "N " << n;
    }
    const PowerCurve rmsea = powerCurveOverEffect(calculators, kNotCloseSensitivity,
                                                  computeEffect(calculators, kNotCloseSensitivity));
    ASSERT_TRUE(rmsea.failure.empty());
    const double critical =
        oracle::noncentralChiSquareQuantile(0.05, 50.0, 299.0 * 50.0 * 0.05 * 0.05);
    for (std::size_t i = 1; i < rmsea.points.size(); i += 41) {
        const double e = rmsea.points[i].x;
        const double expected =
            oracle::noncentralChiSquareCdf(critical, 50.0, 299.0 * 50.0 * e * e);
        EXPECT_NEAR(rmsea.points[i].y, expected, 1e-9) << "RMSEA1 " << e;
    }
    EXPECT_TRUE(reporter.messages.empty());
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
