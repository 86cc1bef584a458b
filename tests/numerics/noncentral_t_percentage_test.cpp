#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "numerics/calculators.h"
#include "numerics/t/noncentral_t.h"
#include "tests/support/boost_oracle.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

using Messages = std::vector<std::string>;

const std::string kCumPMessage = "CumP out of range. Limits: .0001 <= CumP <= .9999";
const std::string kDfMessage = "T Distribution Df out of range. Limits: 1 <= Df <= 100000";

// The search stops at a residual of 1e-10 on our distribution function, which is within 5e-8
// of Boost's (see the cdf tests).
constexpr double kResidualTolerance = 1e-10;
constexpr double kCdfTolerance = 5e-8;

class NoncentralTPercentageTest : public ::testing::Test {
  protected:
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    NoncentralT& t = calculators.t();

    void expectPercentagePoint(double cumP, int df, double delta) {
        const double x = t.percentagePoint(cumP, df, delta);
        ASSERT_NE(x, -9999.0) << "cumP " << cumP << " df " << df << " delta " << delta << ": "
                              << (reporter.messages.empty() ? "" : reporter.messages.back());
        EXPECT_EQ(t.failed, 0);
        EXPECT_NEAR(t.cdf(x, df, delta), cumP, kResidualTolerance);
        EXPECT_NEAR(oracle::noncentralTCdf(x, df, delta), cumP, kCdfTolerance)
            << "cumP " << cumP << " df " << df << " delta " << delta;
    }
};

TEST_F(NoncentralTPercentageTest, FindsThePointWhoseProbabilityIsCumP) {
    for (int df : {1, 2, 3, 4, 12, 100000}) {
        for (double cumP : {0.0001, 0.02, 0.5, 0.9, 0.9999}) {
            for (double delta : {-10.0, -1.0, 0.0, 2.5, 10.0}) {
                expectPercentagePoint(cumP, df, delta);
            }
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
}

// For Df 4 to 9 and CumP at the ends of its range the normal approximation has no root (Df 4
// to 7) or one far out in a flat tail (Df 8), where the secant steps do not converge.
TEST_F(NoncentralTPercentageTest, ConvergesAtTheEndsOfTheCumPRangeForSmallDf) {
    for (int df = 4; df <= 9; ++df) {
        for (double cumP : {0.0001, 0.9999}) {
            expectPercentagePoint(cumP, df, 0.0);
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
}

// From a negative start the first search can run away into a failed evaluation; the search
// then starts again from z + δ instead of giving up (Df 7, δ −5, CumP .001 gives about −18.73),
// and where both stop short the bracketed search finds the point.
TEST_F(NoncentralTPercentageTest, StartsAgainAfterAnAbortedFirstSearch) {
    expectPercentagePoint(0.001, 7, -5.0);
    for (int df = 1; df <= 40; df += 3) {
        for (double delta : {-20.0, -12.5, -5.0, 5.0, 12.5, 20.0}) {
            for (double cumP : {0.0001, 0.001, 0.999, 0.9999}) {
                expectPercentagePoint(cumP, df, delta);
            }
        }
    }
    EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
}

TEST_F(NoncentralTPercentageTest, MedianOfTheCentralDistributionIsZeroAtOnce) {
    EXPECT_EQ(t.percentagePoint(0.5, 10, 0.0), 0.0);
    EXPECT_EQ(t.failed, 0);
}

TEST_F(NoncentralTPercentageTest, ChecksCumPFirstThenDf) {
    struct Case {
        double cumP;
        int df;
        std::string message;
    };
    const std::vector<Case> rejected{
        {0.00009, 5, kCumPMessage},
        {0.99991, 5, kCumPMessage},
        {std::numeric_limits<double>::quiet_NaN(), 5, kCumPMessage},
        {1.5, 0, kCumPMessage},
        {0.5, 0, kDfMessage},
        {0.5, 100001, kDfMessage},
    };
    for (const Case& c : rejected) {
        reporter.messages.clear();
        t.failed = 0;
        EXPECT_EQ(t.percentagePoint(c.cumP, c.df, 1.0), -9999.0);
        EXPECT_EQ(reporter.messages, Messages{c.message}) << c.cumP << " " << c.df;
        EXPECT_EQ(t.failed, 1);
    }
}

TEST_F(NoncentralTPercentageTest, ADeltaOutOfRangeFailsWithTheMessageOfCdf) {
    t.failed = 0;
    EXPECT_EQ(t.percentagePoint(0.5, 5, 6000.0), -9999.0);
    EXPECT_EQ(reporter.messages,
              Messages{"T distribution parameter Delta out of range. Should have absolute value "
                       "less than or equal to 5000."});
    EXPECT_EQ(t.failed, 1);
}

TEST_F(NoncentralTPercentageTest, ASuccessfulSearchClearsAnEarlierFailure) {
    t.failed = 1;
    EXPECT_NE(t.percentagePoint(0.3, 6, 1.0), -9999.0);
    EXPECT_EQ(t.failed, 0);
    EXPECT_EQ(t.cumP, 0.3);
    EXPECT_EQ(t.df, 6);
    EXPECT_EQ(t.delta, 1.0);
}

}  // namespace
}  // namespace quorvel

namespace quorvel {
namespace {

// The two-sided critical value for every accepted level and Df, against the closed forms of
// Df 1 (cot(πα/2)) and Df 2 (√2·(1 − α)/√(α(2 − α))) within the inverses' 1e-9 (near α = 1
// the answer is near 0, where a backward error of 1e-12 allows a relative 4e-10 in t), and
// against its own upper tail elsewhere (backward error below 1e-12), including α/2 below the
// 1e-300 of a tail target.
TEST(TwoSidedCriticalValueTest, MeetsEveryLevelAtEveryDf) {
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    NoncentralT& t = calculators.t();
    for (double alpha : {0.999, 0.05, 1e-4, 1e-20, 1e-300}) {
        EXPECT_NEAR(t.twoSidedCriticalValue(alpha, 1), 1.0 / std::tan(std::numbers::pi * alpha / 2.0),
                    1e-9 / std::tan(std::numbers::pi * alpha / 2.0))
            << alpha;
        const double df2 = std::sqrt(2.0) * (1.0 - alpha) / std::sqrt(alpha * (2.0 - alpha));
        EXPECT_NEAR(t.twoSidedCriticalValue(alpha, 2), df2, 1e-9 * df2) << alpha;
        for (int df : {3, 10, 1000, 10001, 100000}) {
            const double c = t.twoSidedCriticalValue(alpha, df);
            EXPECT_NEAR(t.upper(c, df, 0.0) / (alpha / 2.0), 1.0, 1e-12) << alpha << " " << df;
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(t.twoSidedCriticalValue(1.0, 10), -9999.0);
    EXPECT_EQ(t.twoSidedCriticalValue(0.05, 100001), -9999.0);
    ASSERT_EQ(reporter.messages.size(), 2u);
    EXPECT_EQ(reporter.messages[0], kTailProbabilityOutOfRange);
    EXPECT_EQ(reporter.messages[1], "T Distribution Df out of range. Limits: 1 <= Df <= 100000");
}

}  // namespace
}  // namespace quorvel
