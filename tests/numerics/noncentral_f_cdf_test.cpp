#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "numerics/calculators.h"
#include "numerics/f/noncentral_beta.h"
#include "numerics/f/noncentral_f.h"
#include "tests/support/boost_oracle.h"
#include "tests/support/recording_reporter.h"
#include "tests/support/relative_error.h"

namespace quorvel {
namespace {

using testing::IsWithinRelative;
using Messages = std::vector<std::string>;

class NoncentralFCdfTest : public ::testing::Test {
  protected:
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    NoncentralF& f = calculators.f();
};

TEST_F(NoncentralFCdfTest, ReproducesPublishedValues) {
    EXPECT_NEAR(f.cdf(1.0, 1, 1, 0.0, 0), 0.5, 1e-11);
    EXPECT_NEAR(f.cdf(3.0, 5, 10, 0.0, 0), 0.9344424, 5e-8);
    EXPECT_NEAR(f.cdf(2.0, 3, 10, 5.0, 0), 0.3961061, 5e-8);
    EXPECT_NEAR(f.cdf(50.0, 2, 2, 500.0, 0), 0.0072863, 5e-8);
    EXPECT_THAT(f.cdf(50.0, 3, 10, 10000.0, 0), IsWithinRelative(5.44e-128, 1e-3));
    EXPECT_THAT(f.cdf(2.0, 3, 10, 2000.0, 0), IsWithinRelative(1.13e-264, 1e-2));
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(f.failed, 0);
}

// Boost.Math sums the same Poisson mixture outwards from its largest term to full double
// precision, as ours does, so in the body the two agree to a few units in the last place of
// 1; measured worst on this grid: see the recorded property.
TEST_F(NoncentralFCdfTest, AgreesWithBoostWithinTheSeriesAbsoluteStoppingRule) {
    double worst = 0.0;
    for (int df1 : {1, 2, 5, 30, 400}) {
        for (int df2 : {1, 3, 10, 60, 2000}) {
            for (double lambda : {0.0, 0.5, 4.0, 25.0, 150.0, 900.0}) {
                for (double x : {0.05, 0.5, 1.0, 2.5, 8.0, 40.0}) {
                    const double expected = oracle::noncentralFCdf(x, df1, df2, lambda);
                    const double ours = f.cdf(x, df1, df2, lambda, 0);
                    worst = std::max(worst, std::fabs(ours - expected));
                    EXPECT_NEAR(ours, expected, 1e-13)
                        << "x " << x << " df1 " << df1 << " df2 " << df2 << " lambda " << lambda;
                }
            }
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
    RecordProperty("worst_absolute_error", std::to_string(worst));
}

TEST_F(NoncentralFCdfTest, LargeNoncentralityStaysAProbabilityAndUnderflowsSilentlyToZero) {
    for (double lambda : {1000.0, 2000.0, 5000.0, 10000.0}) {
        for (double x : {0.01, 0.5, 2.0, 50.0}) {
            for (int df1 : {1, 3, 10, 100}) {
                for (int df2 : {1, 3, 10, 100}) {
                    const double p = f.cdf(x, df1, df2, lambda, 0);
                    EXPECT_TRUE(p >= 0.0 && p <= 1.0) << p << " at x " << x << " df1 " << df1
                                                      << " df2 " << df2 << " lambda " << lambda;
                }
            }
        }
    }
    EXPECT_EQ(f.cdf(2.0, 3, 10, 10000.0, 0), 0.0);
    EXPECT_TRUE(reporter.messages.empty());
}

// Near 0 the probability falls as f^(df1/2) (every term of the series has the factor y^(a + j)
// and the first dominates): the series is carried relative to its starting term, so a value
// far below the double range of its recurrence's steps keeps that law instead of overflowing.
TEST_F(NoncentralFCdfTest, TinyValuesKeepTheirPowerLaw) {
    const double reference = f.cdf(1e-100, 3, 10, 100.0, 0);
    ASSERT_GT(reference, 0.0);
    EXPECT_THAT(f.cdf(1e-160, 3, 10, 100.0, 0), IsWithinRelative(reference * 1e-90, 1e-9));
    EXPECT_THAT(f.cdf(1e-200, 3, 10, 100.0, 0), IsWithinRelative(reference * 1e-150, 1e-3));
    EXPECT_EQ(f.cdf(1e-305, 3, 10, 100.0, 0), 0.0);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(NoncentralFCdfTest, NonPositiveOrUndefinedValuesGiveZeroAndHugeValuesOne) {
    EXPECT_EQ(f.cdf(0.0, 3, 10, 5.0, 0), 0.0);
    EXPECT_EQ(f.cdf(-2.0, 3, 10, 5.0, 0), 0.0);
    EXPECT_EQ(f.cdf(std::nan(""), 3, 10, 5.0, 0), 0.0);
    EXPECT_EQ(f.cdf(INFINITY, 10000, 10, 5.0, 0), 1.0);
    EXPECT_TRUE(reporter.messages.empty());
}

struct RejectedArguments {
    int df1;
    int df2;
    double lambda;
    const char* message;
};

TEST_F(NoncentralFCdfTest, ChecksDf1ThenDf2ThenLambdaAndKeepsTheFields) {
    f.cdf(1.5, 4, 6, 2.0, 0);
    const RejectedArguments rejected[] = {
        {0, 10, 1.0, "Df1 out of range."},
        {10001, 0, -1.0, "Df1 out of range."},
        {1, 0, -1.0, "Df2 out of range."},
        {1, 10001, 1.0, "Df2 out of range."},
        {1, 1, 10000.5, "Lambda out of range."},
        {1, 1, -0.001, "Lambda out of range."},
        {1, 1, std::nan(""), "Lambda out of range."},
    };
    for (const RejectedArguments& bad : rejected) {
        reporter.messages.clear();
        f.failed = 0;
        EXPECT_EQ(f.cdf(2.0, bad.df1, bad.df2, bad.lambda, 0), -9999.0);
        EXPECT_EQ(reporter.messages, Messages{bad.message});
        EXPECT_EQ(f.failed, 1);
    }
    EXPECT_EQ(f.fValue, 1.5);
    EXPECT_EQ(f.df1, 4);
    EXPECT_EQ(f.df2, 6);
    EXPECT_EQ(f.lambda, 2.0);
}

TEST_F(NoncentralFCdfTest, AcceptsTheInclusiveBounds) {
    for (int df : {1, 10000}) {
        EXPECT_GE(f.cdf(2.0, df, df, 0.0, 0), 0.0);
        EXPECT_GE(f.cdf(200.0, df, df, 10000.0, 0), 0.0);
    }
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(NoncentralFCdfTest, UnknownMethodGivesMinus9999SilentlyAndKeepsTheFlag) {
    f.failed = 0;
    EXPECT_EQ(f.cdf(2.0, 3, 10, 5.0, 2), -9999.0);
    EXPECT_EQ(f.failed, 0);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(NoncentralFCdfTest, ThreeMomentApproximationIsCloseToTheSeries) {
    // Tiku's approximation matches three moments; a few 1e-3 is its usual accuracy.
    for (double x : {0.5, 2.0, 5.0}) {
        EXPECT_NEAR(f.cdf(x, 4, 20, 6.0, 1), f.cdf(x, 4, 20, 6.0, 0), 5e-3) << "x " << x;
    }
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(NoncentralFCdfTest, ThreeMomentApproximationFailsInTheRangeCheckForTwoDenominatorDf) {
    EXPECT_EQ(f.cdf(2.0, 3, 2, 5.0, 1), -9999.0);
    EXPECT_EQ(reporter.messages, Messages{"F distribution parameter out of range."});
    EXPECT_EQ(f.failed, 1);
}

TEST_F(NoncentralFCdfTest, ExactCdfRejectsRealDegreesOfFreedomOutsideItsRange) {
    for (double nu : {0.0, -1.0, 10000.5, std::nan("")}) {
        reporter.messages.clear();
        EXPECT_EQ(f.exactCdf(2.0, nu, 5.0, 0.0), -9999.0);
        EXPECT_EQ(reporter.messages, Messages{"F distribution parameter out of range."});
    }
    EXPECT_NEAR(f.exactCdf(2.0, 2.5, 7.5, 0.0), oracle::noncentralFCdf(2.0, 2.5, 7.5, 0.0), 1e-10);
}

}  // namespace
}  // namespace quorvel
