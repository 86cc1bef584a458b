#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "numerics/calculators.h"
#include "numerics/chisquare/noncentral_chi_square.h"
#include "tests/support/boost_oracle.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

using Messages = std::vector<std::string>;

constexpr const char* kNoLambda =
    "No non-negative value of Lambda will produce the desired cumulative probability.";
constexpr const char* kLambdaRange = "Lambda out of range. Limits: 0. <= Lambda <= 5000.";
constexpr const char* kCumPRange = "CumP out of range. Limits: .0001 <= CumP <= .9999";
constexpr const char* kDfRange = "Df out of range. Limits: 1 <= Df <= 100000.";
constexpr const char* kNegative = "Chi-Square must be nonnegative.";

// Boost.Math's distribution function at the λ we return must give x the requested
// probability in the tail the search solves on (the upper tail 1 − cumP above 1/2), relative
// to that tail: our search stops within a relative 1e-12 on our distribution function, which
// agrees with Boost's to 5e-13 at these tails. Compared in probability, since the slope in λ,
// and with it the error in λ, varies widely.
double boostProbability(double x, int df, double lambda) {
    return oracle::noncentralChiSquareCdf(x, df, lambda);
}
double tailMiss(double x, int df, double lambda, double cumP) {
    return cumP > 0.5
               ? std::fabs(oracle::noncentralChiSquareUpper(x, df, lambda) / (1.0 - cumP) - 1.0)
               : std::fabs(oracle::noncentralChiSquareCdf(x, df, lambda) / cumP - 1.0);
}
constexpr double kTailTolerance = 1e-11;

class NoncentralChiSquareNoncentralityTest : public ::testing::Test {
  protected:
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    NoncentralChiSquare& chiSquare = calculators.chiSquare();
};

TEST_F(NoncentralChiSquareNoncentralityTest, ReproducesPublishedValues) {
    EXPECT_NEAR(chiSquare.noncentrality(20.0, 5, 0.05), 32.7149, 5e-5);
    EXPECT_NEAR(chiSquare.noncentrality(20.0, 5, 0.95), 4.8243, 5e-5);
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(chiSquare.failed, 0);
}

TEST_F(NoncentralChiSquareNoncentralityTest, BoostCdfAtTheFoundLambdaReturnsCumP) {
    for (int df : {1, 2, 5, 40, 1000}) {
        for (double x : {3.0, 12.0, 60.0, 400.0, 1500.0, 3000.0}) {
            for (double cumP : {0.0001, 0.05, 0.5, 0.95, 0.9999}) {
                if (boostProbability(x, df, 0.0) < cumP) {
                    continue;  // no λ >= 0 exists; covered below
                }
                const double lambda = chiSquare.noncentrality(x, df, cumP);
                ASSERT_GE(lambda, 0.0) << "x " << x << " df " << df << " cumP " << cumP;
                EXPECT_LE(tailMiss(x, df, lambda, cumP), kTailTolerance)
                    << "x " << x << " df " << df << " cumP " << cumP;
            }
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
}

// The start's two stages leave λ where it was for CumP 0.5 with x >= Df (z is 0) and when
// both end at 0 (x 30, Df 5, CumP 0.9999); the search must still start and converge.
TEST_F(NoncentralChiSquareNoncentralityTest, ConvergesWhenTheStartHasNoSecantStep) {
    struct Case {
        double x;
        int df;
        double cumP;
    };
    for (const Case& c : {Case{10.0, 5, 0.5}, Case{5.0, 5, 0.5}, Case{30.0, 5, 0.9999}}) {
        const double lambda = chiSquare.noncentrality(c.x, c.df, c.cumP);
        EXPECT_LE(tailMiss(c.x, c.df, lambda, c.cumP), kTailTolerance)
            << "x " << c.x << " df " << c.df << " cumP " << c.cumP;
    }
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(NoncentralChiSquareNoncentralityTest, ReturnsExactlyZeroWhenLambdaZeroAlreadyFits) {
    // Df 4 has a closed form that our recursion reproduces to rounding.
    const double x = oracle::chiSquareQuantile(0.7, 4);
    EXPECT_EQ(chiSquare.noncentrality(x, 4, 0.7), 0.0);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(NoncentralChiSquareNoncentralityTest, UnreachableProbabilityLeavesTheFlagAtZero) {
    chiSquare.failed = 1;
    EXPECT_EQ(chiSquare.noncentrality(10.0, 5, 0.95), -9999.0);
    EXPECT_EQ(reporter.messages, Messages{kNoLambda});
    EXPECT_EQ(chiSquare.failed, 0);
}

// The λ iterate is not clamped: where a step goes below 0 (a small answer approached from the
// start at 1) or the start lies past 5000 although the answer lies below, the bracketed search
// finds it without a message. Where the answer lies past 5000 (x exceeds Df by more than
// 5000), the distribution function's own range message stays.
TEST_F(NoncentralChiSquareNoncentralityTest, RecoversStepsOutsideTheRangeWhereTheAnswerLiesInside) {
    struct Case {
        double x;
        int df;
        double cumP;
    };
    for (const Case& c : {Case{0.5, 1, 0.5}, Case{3.43, 3, 0.666}, Case{5200.0, 1, 0.99},
                          Case{1000.0, 30, 0.025}, Case{2000.0, 1000, 0.975}}) {
        const double lambda = chiSquare.noncentrality(c.x, c.df, c.cumP);
        EXPECT_LE(tailMiss(c.x, c.df, lambda, c.cumP), kTailTolerance) << "x " << c.x;
        EXPECT_EQ(chiSquare.failed, 0);
    }
    EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();

    for (const Case& c : {Case{6000.0, 1, 0.5}, Case{8000.0, 10, 0.5}}) {
        reporter.messages.clear();
        EXPECT_EQ(chiSquare.noncentrality(c.x, c.df, c.cumP), -9999.0) << "x " << c.x;
        ASSERT_FALSE(reporter.messages.empty());
        for (const std::string& message : reporter.messages) {
            EXPECT_EQ(message, kLambdaRange);
        }
        EXPECT_EQ(chiSquare.failed, 1);
    }
}

struct RejectedArguments {
    double x;
    int df;
    double cumP;
    const char* message;
};

TEST_F(NoncentralChiSquareNoncentralityTest, ChecksXThenDfThenCumPAndKeepsTheFields) {
    chiSquare.noncentrality(20.0, 5, 0.5);
    const RejectedArguments rejected[] = {
        {-1.0, 0, 2.0, kNegative},     {std::nan(""), 5, 0.5, kNegative},
        {1.0, 0, 2.0, kDfRange},       {1.0, 100001, 0.5, kDfRange},
        {1.0, 5, 0.00005, kCumPRange}, {1.0, 5, std::nan(""), kCumPRange},
    };
    for (const RejectedArguments& bad : rejected) {
        reporter.messages.clear();
        chiSquare.failed = 0;
        EXPECT_EQ(chiSquare.noncentrality(bad.x, bad.df, bad.cumP), -9999.0);
        EXPECT_EQ(reporter.messages, Messages{bad.message});
        EXPECT_EQ(chiSquare.failed, 1);
    }
    EXPECT_EQ(chiSquare.chiSquare, 20.0);
    EXPECT_EQ(chiSquare.df, 5);
    EXPECT_EQ(chiSquare.cumP, 0.5);
}

struct PublishedInterval {
    double x;
    int df;
    double confidence;
    double lower;
    double upper;
};

// The published limits are cut, not rounded, to four decimals: mpmath at 40 digits gives
// 11.345455069433 and 5.557167420345 for the lower limits at 0.90 and 0.99.
TEST_F(NoncentralChiSquareNoncentralityTest, IntervalsReproducePublishedLimits) {
    constexpr double kLastPublishedDecimal = 1e-4;
    const PublishedInterval intervals[] = {
        {30.0, 5, 0.90, 11.3454, 46.1479}, {30.0, 5, 0.95, 9.1823, 50.6406},
        {30.0, 5, 0.99, 5.5571, 60.0027},  {10.0, 5, 0.90, 0.0, 18.1177},
        {1.0, 5, 0.90, 0.0, 0.0},
    };
    for (const PublishedInterval& interval : intervals) {
        double lower = -1.0;
        double upper = -1.0;
        chiSquare.confidenceLimits(interval.x, interval.df, interval.confidence, lower, upper);
        EXPECT_NEAR(lower, interval.lower, kLastPublishedDecimal)
            << "x " << interval.x << " C " << interval.confidence;
        EXPECT_NEAR(upper, interval.upper, kLastPublishedDecimal)
            << "x " << interval.x << " C " << interval.confidence;
    }
    EXPECT_TRUE(reporter.messages.empty());
}

// Observed values far enough above Df that even the 0.9995 tail needs a positive λ, so both
// limits are searched.
TEST_F(NoncentralChiSquareNoncentralityTest, IntervalLimitsPutXAtTheTwoTails) {
    struct Observation {
        double x;
        int df;
    };
    for (const Observation& seen : {Observation{15.0, 1}, Observation{90.0, 3},
                                    Observation{500.0, 50}, Observation{2500.0, 1000}}) {
        for (double confidence : {0.8, 0.95, 0.999}) {
            double lower = -1.0;
            double upper = -1.0;
            chiSquare.confidenceLimits(seen.x, seen.df, confidence, lower, upper);
            const double alpha = (1.0 - confidence) / 2.0;
            EXPECT_LE(tailMiss(seen.x, seen.df, upper, alpha), kTailTolerance)
                << "x " << seen.x << " df " << seen.df << " C " << confidence;
            EXPECT_LE(tailMiss(seen.x, seen.df, lower, 1.0 - alpha), kTailTolerance)
                << "x " << seen.x << " df " << seen.df << " C " << confidence;
            EXPECT_GT(lower, 0.0);
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(NoncentralChiSquareNoncentralityTest, SearchesTheUpperLimitBeforeTheLower) {
    // Each search stores its tail in `cumP`, so the field tells which limit came last.
    double lower = -1.0;
    double upper = -1.0;
    chiSquare.confidenceLimits(30.0, 5, 0.90, lower, upper);
    EXPECT_EQ(chiSquare.cumP, 1.0 - (1.0 - 0.90) / 2.0);
    chiSquare.confidenceLimits(10.0, 5, 0.90, lower, upper);
    EXPECT_EQ(chiSquare.cumP, (1.0 - 0.90) / 2.0) << "no search for a lower limit of 0";
}

// (1 − 0.9998)/2 and (1 − 0.9999)/2 lie below 0.0001, the smallest CumP that noncentrality
// accepts; the interval's own searches reach them.
TEST_F(NoncentralChiSquareNoncentralityTest, LevelsUpTo9999SearchTailsBelowThePublicCumPRange) {
    for (const double confidence : {0.9998, 0.9999}) {
        double lower = -1.0;
        double upper = -1.0;
        chiSquare.confidenceLimits(30.0, 5, confidence, lower, upper);
        const double alpha = (1.0 - confidence) / 2.0;
        EXPECT_LE(tailMiss(30.0, 5, upper, alpha), kTailTolerance);
        EXPECT_LE(tailMiss(30.0, 5, lower, 1.0 - alpha), kTailTolerance);
    }
    EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
}

struct RejectedInterval {
    double x;
    int df;
    double confidence;
    const char* message;
};

TEST_F(NoncentralChiSquareNoncentralityTest, IntervalStoresFirstThenChecksAndKeepsTheLimits) {
    const RejectedInterval rejected[] = {
        {-1.0, 0, 0.5, kNegative},
        {1.0, 0, 0.5, kDfRange},
        {1.0, 5, std::nan(""), "Confidence out of range. Limits: .8 <= Confidence <= .9999"},
        {1.0, 5, 0.79999, "Confidence out of range. Limits: .8 <= Confidence <= .9999"},
    };
    for (const RejectedInterval& bad : rejected) {
        reporter.messages.clear();
        chiSquare.failed = 0;
        double lower = 123.0;
        double upper = 456.0;
        chiSquare.confidenceLimits(bad.x, bad.df, bad.confidence, lower, upper);
        EXPECT_EQ(reporter.messages, Messages{bad.message});
        EXPECT_EQ(chiSquare.failed, 1);
        EXPECT_EQ(lower, 123.0);
        EXPECT_EQ(upper, 456.0);
        EXPECT_EQ(chiSquare.chiSquare, bad.x);
        EXPECT_EQ(chiSquare.df, bad.df);
    }
    EXPECT_EQ(chiSquare.confidence, 0.79999) << "the level is stored before it is checked";
}

}  // namespace
}  // namespace quorvel
