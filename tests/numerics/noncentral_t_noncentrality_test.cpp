#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "model/computation.h"
#include "numerics/calculators.h"
#include "numerics/t/noncentral_t.h"
#include "tests/support/boost_oracle.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

using Messages = std::vector<std::string>;

const std::string kLongDfMessage =
    "T distribution Df parameter out of range. Limits 1 <= Df <= 100000";
const std::string kShortDfMessage = "T distribution Df parameter out of range.";
const std::string kLevelMessage =
    "T distribution Confidence Level out of range. Limits .80 <= Conf <= .9999";
const std::string kDeltaMessage =
    "T distribution parameter Delta out of range. Should have absolute value less than or equal "
    "to 5000.";

// Residual tolerance of the search; our distribution function is within 5e-8 of Boost's.
constexpr double kResidualTolerance = 1e-10;
constexpr double kCdfTolerance = 5e-8;

class NoncentralTNoncentralityTest : public ::testing::Test {
  protected:
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    NoncentralT& t = calculators.t();
};

class NoncentralTDeltaSearchTest : public NoncentralTNoncentralityTest {
  protected:
    void expectDelta(double x, int df, double cumP) {
        const double delta = t.noncentrality(x, df, cumP);
        ASSERT_NE(delta, -9999.0) << "t " << x << " df " << df << " cumP " << cumP;
        EXPECT_EQ(t.failed, 0);
        EXPECT_NEAR(t.cdf(x, df, delta), cumP, kResidualTolerance);
        EXPECT_NEAR(oracle::noncentralTCdf(x, df, delta), cumP, kCdfTolerance)
            << "t " << x << " df " << df << " cumP " << cumP;
    }
};

TEST_F(NoncentralTDeltaSearchTest, FindsTheDeltaThatGivesCumP) {
    for (int df : {1, 3, 4, 30, 100000}) {
        for (double cumP : {0.001, 0.05, 0.5, 0.95, 0.999}) {
            for (double x : {-2.0, 0.0, 1.0, 2.5}) {
                expectDelta(x, df, cumP);
            }
        }
    }
    for (int df : {30, 100000}) {
        for (double cumP : {0.00001, 0.99999}) {
            for (double x : {-2.0, 1.0, 4.0}) {
                expectDelta(x, df, cumP);
            }
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(NoncentralTNoncentralityTest, ZeroAtTheMedianOfZero) {
    EXPECT_EQ(t.deltaStartValue(0.0, 8, 0.5), 0.0);
    EXPECT_EQ(t.noncentrality(0.0, 8, 0.5), 0.0);
}

TEST_F(NoncentralTNoncentralityTest, ChecksDfFirstThenCumP) {
    struct Case {
        int df;
        double cumP;
        std::string message;
    };
    const std::vector<Case> rejected{
        {0, 0.5, kLongDfMessage},
        {100001, 2.0, kLongDfMessage},
        {5, 0.0000099, "CumP out of range."},
        {5, 0.999991, "CumP out of range."},
        {5, std::numeric_limits<double>::quiet_NaN(), "CumP out of range."},
    };
    for (const Case& c : rejected) {
        reporter.messages.clear();
        EXPECT_EQ(t.noncentrality(1.0, c.df, c.cumP), -9999.0);
        EXPECT_EQ(reporter.messages, Messages{c.message}) << c.df << " " << c.cumP;
        EXPECT_EQ(t.failed, 1);
    }
}

// The secant search does no bracketing; from the normal-approximation start it can leave the
// δ range or wander without converging. Each ends with exactly one message.
double boostTCdf(double x, int df, double delta) {
    return oracle::noncentralTCdf(x, df, delta);
}

// Where the secant search from the normal approximation zig-zags or steps past ±5000 although
// the answer lies inside, the bracketed search finds it without a message; where the answer
// lies beyond 5000, the distribution function's range message stays.
TEST_F(NoncentralTNoncentralityTest, FindsDeltasTheSecantSearchLosesAndNoneBeyondTheRange) {
    const struct {
        double t;
        int df;
        double cumP;
    } recovered[] = {{-5.0, 2, 0.0001}, {10.0, 2, 0.9999}, {50.0, 1, 0.95},
                     {10.0, 1, 0.05},   {10.0, 1, 0.95},   {10.0, 2, 0.005},
                     {10.0, 2, 0.995},  {-20.0, 3, 0.005}, {-20.0, 3, 0.995}};
    for (const auto& c : recovered) {
        const double delta = t.noncentrality(c.t, c.df, c.cumP);
        EXPECT_NEAR(boostTCdf(c.t, c.df, delta), c.cumP, kCdfTolerance)
            << "t " << c.t << " df " << c.df << " cumP " << c.cumP;
        EXPECT_EQ(t.failed, 0);
    }
    EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();

    // δ ≈ 5998.
    EXPECT_EQ(t.noncentrality(6000.0, 1000, 0.5), -9999.0);
    EXPECT_EQ(reporter.messages, Messages{kDeltaMessage});
    EXPECT_EQ(t.failed, 1);
}

TEST_F(NoncentralTNoncentralityTest, LimitsBracketTheMedianDeltaAndUpperIsSearchedFirst) {
    for (int df : {2, 5, 40}) {
        for (double x : {-1.0, 0.5, 3.0}) {
            for (double level : {0.8, 0.9, 0.95, 0.99}) {
                double lower = 0.0;
                double upper = 0.0;
                t.confidenceLimits(x, df, level, lower, upper);
                const double alpha2 = (1.0 - level) / 2.0;
                // The last search was the lower limit's.
                EXPECT_EQ(t.cumP, 1.0 - alpha2);
                EXPECT_EQ(t.confidence, level);
                const double median = t.noncentrality(x, df, 0.5);
                EXPECT_LT(lower, median) << "t " << x << " df " << df << " level " << level;
                EXPECT_GT(upper, median) << "t " << x << " df " << df << " level " << level;
                EXPECT_EQ(upper, t.noncentrality(x, df, alpha2));
                EXPECT_EQ(lower, t.noncentrality(x, df, 1.0 - alpha2));
            }
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(NoncentralTNoncentralityTest, TheHighestLevelSearchesTheUpperLimitAtCumP5e5) {
    double lower = 0.0;
    double upper = 0.0;
    t.confidenceLimits(2.0, 40, 0.9999, lower, upper);
    const double alpha2 = (1.0 - 0.9999) / 2.0;
    EXPECT_NEAR(alpha2, 0.00005, 1e-17);
    EXPECT_EQ(upper, t.noncentrality(2.0, 40, alpha2));
    EXPECT_EQ(lower, t.noncentrality(2.0, 40, 1.0 - alpha2));
    EXPECT_LT(lower, upper);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(NoncentralTNoncentralityTest, RejectedLevelsAndDfLeaveTheLimitsUntouched) {
    for (double level : {0.79, 0.99991, std::numeric_limits<double>::quiet_NaN()}) {
        reporter.messages.clear();
        double lower = 1.0;
        double upper = 2.0;
        t.confidenceLimits(1.0, 5, level, lower, upper);
        EXPECT_EQ(reporter.messages, Messages{kLevelMessage}) << level;
        EXPECT_EQ(lower, 1.0);
        EXPECT_EQ(upper, 2.0);
        EXPECT_EQ(t.failed, 1);
    }
    reporter.messages.clear();
    double lower = 1.0;
    double upper = 2.0;
    t.confidenceLimits(1.0, 0, 0.95, lower, upper);
    EXPECT_EQ(reporter.messages, Messages{kShortDfMessage});
    EXPECT_EQ(lower, 1.0);
    EXPECT_EQ(upper, 2.0);
}

TEST_F(NoncentralTNoncentralityTest, ADfAboveTheLimitFailsBothSearches) {
    double lower = 1.0;
    double upper = 2.0;
    t.confidenceLimits(1.0, 100001, 0.95, lower, upper);
    EXPECT_EQ(reporter.messages, (Messages{kLongDfMessage, kLongDfMessage}));
    EXPECT_EQ(lower, -9999.0);
    EXPECT_EQ(upper, -9999.0);
}

// The limits at any Df are those of confidenceLimits inside the Df range, keep its checks, and
// beyond 100000 still bracket the observed t, each solving its tail against Boost.
TEST_F(NoncentralTNoncentralityTest, LimitsAtAnyDfAreTheFamilysAndReachBeyondItsRange) {
    for (int df : {3, 400, 100000}) {
        for (double x : {-4.0, 1.5, 30.0}) {
            double lower = 0.0, upper = 0.0, anyLower = 0.0, anyUpper = 0.0;
            t.confidenceLimits(x, df, 0.95, lower, upper);
            t.confidenceLimitsAtAnyDf(x, df, 0.95, anyLower, anyUpper);
            EXPECT_NEAR(anyLower, lower, 1e-12 * std::fabs(lower) + 1e-14) << x << " df " << df;
            EXPECT_NEAR(anyUpper, upper, 1e-12 * std::fabs(upper) + 1e-14) << x << " df " << df;
        }
    }
    for (int df : {100001, 5000000, std::numeric_limits<int>::max()}) {
        double lower = 0.0, upper = 0.0;
        t.confidenceLimitsAtAnyDf(40.0, df, 0.99, lower, upper);
        EXPECT_TRUE(reporter.messages.empty()) << df;
        EXPECT_LT(lower, 40.0);
        EXPECT_GT(upper, 40.0);
        if (df < std::numeric_limits<int>::max()) {
            EXPECT_NEAR(oracle::noncentralTCdf(40.0, df, upper), 0.005, 1e-12)
                << df;
        }
    }
    double lower = 1.0;
    double upper = 2.0;
    t.confidenceLimitsAtAnyDf(1.0, 0, 0.95, lower, upper);
    t.confidenceLimitsAtAnyDf(1.0, 5, 0.5, lower, upper);
    EXPECT_EQ(reporter.messages, (Messages{kShortDfMessage, kLevelMessage}));
    EXPECT_EQ(std::pair(lower, upper), std::pair(1.0, 2.0));
}

TEST(TQuantitiesTest, DispatchesEveryQuantityOfTheTFamily) {
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    NoncentralT& t = calculators.t();
    ComputeRequest request;
    request.distribution = DistributionKind::T;
    request.value = 2.0;
    request.df1 = 6;
    request.noncentrality = 1.0;
    request.cumP = 0.3;
    request.confidence = 0.9;
    request.quantity = QuantityKind::CumP;
    EXPECT_EQ(computeQuantity(calculators, request).result, t.cdf(2.0, 6, 1.0));
    request.quantity = QuantityKind::Value;
    EXPECT_EQ(computeQuantity(calculators, request).result, t.percentagePoint(0.3, 6, 1.0));
    request.quantity = QuantityKind::Noncentrality;
    EXPECT_EQ(computeQuantity(calculators, request).result, t.noncentrality(2.0, 6, 0.3));
    request.quantity = QuantityKind::Interval;
    const ComputeOutcome interval = computeQuantity(calculators, request);
    // The limits are searched at (1 − level)/2 as computed, 0.04999999999999999, not 0.05.
    const double alpha2 = (1.0 - 0.9) / 2.0;
    EXPECT_EQ(interval.upper, t.noncentrality(2.0, 6, alpha2));
    EXPECT_EQ(interval.lower, t.noncentrality(2.0, 6, 1.0 - alpha2));
    EXPECT_TRUE(reporter.messages.empty());
    // A rejected level leaves both limits at the failure value.
    request.confidence = 0.5;
    const ComputeOutcome rejected = computeQuantity(calculators, request);
    EXPECT_EQ(rejected.lower, -9999.0);
    EXPECT_EQ(rejected.upper, -9999.0);
}

}  // namespace
}  // namespace quorvel
