#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "model/computation.h"
#include "numerics/calculators.h"
#include "numerics/f/noncentral_f.h"
#include "tests/support/boost_oracle.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

using Messages = std::vector<std::string>;

double boostCdf(double x, int df1, int df2, double lambda) {
    return oracle::noncentralFCdf(x, df1, df2, lambda);
}

// The search stops when our P is within 1e-10 of the target, and our P is good to an absolute
// 1e-9 (the series' stopping rule): Boost.Math's P at our λ is within 1.1e-9 of the target.
constexpr double kProbabilityTolerance = 1.1e-9;

class NoncentralFNoncentralityTest : public ::testing::Test {
  protected:
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    NoncentralF& f = calculators.f();
};

TEST_F(NoncentralFNoncentralityTest, ReproducesPublishedValuesAndSolvesBoostsProbabilities) {
    const struct {
        double fValue;
        int df1;
        int df2;
        double cumP;
        double expected;
    } published[] = {{3.0, 3, 10, 0.5, 6.431702},
                     {3.0, 3, 10, 0.05, 21.742943},
                     {20.0, 5, 20, 0.5, 92.908676},
                     {1.0, 3, 10, 0.3, 2.577380}};
    for (const auto& c : published) {
        EXPECT_NEAR(f.noncentrality(c.fValue, c.df1, c.df2, c.cumP, 0), c.expected, 5e-7);
    }
    // Targets from Boost.Math at a known λ.
    for (int df1 : {1, 4, 30}) {
        for (int df2 : {1, 3, 12, 200}) {
            for (double lambda : {0.3, 4.0, 35.0, 400.0}) {
                for (double x : {0.5, 2.0, 9.0}) {
                    const double p = boostCdf(x, df1, df2, lambda);
                    if (p >= 0.0001 && p <= 0.9999) {
                        EXPECT_NEAR(boostCdf(x, df1, df2, f.noncentrality(x, df1, df2, p, 0)), p,
                                    kProbabilityTolerance)
                            << "x " << x << " df1 " << df1 << " df2 " << df2 << " λ " << lambda;
                    }
                }
            }
        }
    }
    // An F value equal to the central mean n/(n − 2) makes the moment estimate 0; the search
    // still starts there, probing upwards.
    for (const auto& c : {published[0], published[2]}) {
        const double fValue = c.df2 / (c.df2 - 2.0);
        EXPECT_NEAR(boostCdf(fValue, c.df1, c.df2, f.noncentrality(fValue, c.df1, c.df2, 0.3, 0)),
                    0.3, kProbabilityTolerance);
    }
    EXPECT_NEAR(boostCdf(3.0, 1, 3, f.noncentrality(3.0, 1, 3, 0.5, 0)), 0.5,
                kProbabilityTolerance);
    EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
    EXPECT_EQ(f.failed, 0);
}

TEST_F(NoncentralFNoncentralityTest, ReportsEachFailureWithItsMessageAndResult) {
    const char* df = "F distribution parameter out of range. Limits: 1 <= Df <= 10000";
    const char* cumP = "CumP out of range. Limits: .0001 <= CumP <= .9999";
    const struct {
        double fValue;
        int df1;
        int df2;
        double cumP;
        int method;
        double result;
        const char* message;
    } failures[] = {
        {3.0, 0, 10, 2.0, 0, -9999.0, df},  // Df before CumP
        {3.0, 3, 10001, 0.5, 0, -9999.0, df},
        {3.0, 3, 10, 0.00009, 0, -9999.0, cumP},
        {3.0, 3, 10, 0.99991, 0, -9999.0, cumP},
        {3.0, 3, 10, std::nan(""), 0, -9999.0, cumP},
        // P(3.0; λ = 0) is below 0.95 already.
        {3.0, 3, 10, 0.95, 0, 0.0, "No non-negative value of Lambda can be found. Returning 0."},
        // The root lies beyond λ = 10000.
        {20000.0, 1, 10000, 0.5, 0, -9999.0, "Lambda out of range."},
        // The approximation does not exist for df2 = 2: its message alone, no second one.
        {3.0, 3, 2, 0.5, 1, -9999.0, "F distribution parameter out of range."},
    };
    for (const auto& c : failures) {
        reporter.messages.clear();
        f.failed = 0;
        EXPECT_EQ(f.noncentrality(c.fValue, c.df1, c.df2, c.cumP, c.method), c.result);
        EXPECT_EQ(reporter.messages, Messages{c.message}) << "cumP " << c.cumP;
        EXPECT_EQ(f.failed, 1);
    }
}

// Where the secant search steps past λ = 10000, or starts there, although the root lies
// below, the bracketed search finds it and no message is shown; where the root truly lies
// beyond 10000 the secant's message stays.
TEST_F(NoncentralFNoncentralityTest, FindsRootsTheSecantSearchStepsPastAndNoOthers) {
    const struct {
        double fValue;
        int df1;
        int df2;
        double cumP;
    } recovered[] = {{1000.0, 10, 1, 0.5}, {42.1, 2413, 1, 0.857}};
    for (const auto& c : recovered) {
        const double lambda = f.noncentrality(c.fValue, c.df1, c.df2, c.cumP, 0);
        EXPECT_NEAR(boostCdf(c.fValue, c.df1, c.df2, lambda), c.cumP, kProbabilityTolerance);
        EXPECT_EQ(f.failed, 0);
    }
    EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();

    // λ ≈ 99934.
    EXPECT_EQ(f.noncentrality(100000.0, 1, 1000, 0.5, 0), -9999.0);
    EXPECT_EQ(reporter.messages, Messages{"Lambda out of range."});
    EXPECT_EQ(f.failed, 1);
}

class NoncentralFConfidenceLimitsTest : public NoncentralFNoncentralityTest {
  protected:
    // Values that no step writes, to see which limits a call wrote.
    double lower = 123.0;
    double upper = 456.0;
};

TEST_F(NoncentralFConfidenceLimitsTest, ReproducesPublishedIntervalsThatHitBothTails) {
    const struct {
        double fValue;
        int df1;
        int df2;
        double confidence;
        double lower;
        double upper;
    } intervals[] = {{3.0, 3, 10, 0.95, 0.0, 25.653872},
                     {10.0, 3, 10, 0.95, 3.886667, 70.005872},
                     {20.0, 5, 20, 0.99, 24.120528, 215.860897},
                     {0.0, 3, 10, 0.95, 0.0, 0.0},
                     {0.01, 3, 10, 0.95, 0.0, 0.0}};
    for (const auto& c : intervals) {
        f.confidenceLimits(c.fValue, c.df1, c.df2, c.confidence, 0, lower, upper);
        EXPECT_NEAR(lower, c.lower, 5e-7);
        EXPECT_NEAR(upper, c.upper, 5e-7);
        const double alpha = (1.0 - c.confidence) / 2.0;
        if (upper > 0.0) {
            EXPECT_NEAR(boostCdf(c.fValue, c.df1, c.df2, upper), alpha, kProbabilityTolerance);
        }
        if (lower > 0.0) {
            EXPECT_NEAR(boostCdf(c.fValue, c.df1, c.df2, lower), 1.0 - alpha,
                        kProbabilityTolerance);
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(NoncentralFConfidenceLimitsTest, ChecksItsArgumentsInOrderAndThenWritesNeitherLimit) {
    const char* confidence = "Confidence out of range. Limits: .80 to .9999";
    const char* fValue = "F Value must be non-negative.";
    const struct {
        double fValue;
        int df1;
        int df2;
        double confidence;
        const char* message;
    } rejected[] = {
        {-1.0, 0, 0, 0.5, "Df1 out of range."}, {-1.0, 10001, 10, 0.95, "Df1 out of range."},
        {-1.0, 3, 0, 0.5, "Df2 out of range."}, {-1.0, 3, 10001, 0.95, "Df2 out of range."},
        {-1.0, 3, 10, 0.79, confidence},        {3.0, 3, 10, 0.99991, confidence},
        {3.0, 3, 10, std::nan(""), confidence}, {-1.0, 3, 10, 0.95, fValue},
        {std::nan(""), 3, 10, 0.95, fValue},
    };
    for (const auto& bad : rejected) {
        reporter.messages.clear();
        f.confidenceLimits(bad.fValue, bad.df1, bad.df2, bad.confidence, 0, lower, upper);
        EXPECT_EQ(reporter.messages, Messages{bad.message});
        EXPECT_EQ(f.failed, 1);
        EXPECT_EQ(lower, 123.0);
        EXPECT_EQ(upper, 456.0);
    }
}

TEST_F(NoncentralFConfidenceLimitsTest, LevelsUpTo9999SearchTailsBelowThePublicCumPRange) {
    // (1 − 0.9998)/2 and (1 − 0.9999)/2 lie below 0.0001, the smallest CumP that noncentrality
    // accepts; the interval's own searches reach them.
    for (const double confidence : {0.9998, 0.9999}) {
        for (const auto& [fValue, df1, df2] : {std::tuple{3.0, 3, 10}, std::tuple{20.0, 5, 20}}) {
            f.confidenceLimits(fValue, df1, df2, confidence, 0, lower, upper);
            const double alpha = (1.0 - confidence) / 2.0;
            EXPECT_NEAR(boostCdf(fValue, df1, df2, upper), alpha, kProbabilityTolerance);
            if (boostCdf(fValue, df1, df2, 0.0) > 1.0 - alpha) {
                EXPECT_NEAR(boostCdf(fValue, df1, df2, lower), 1.0 - alpha, kProbabilityTolerance);
            } else {
                EXPECT_EQ(lower, 0.0);
            }
        }
    }
    EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
}

// Through the entry that the window and the command line use.
TEST_F(NoncentralFConfidenceLimitsTest, EveryFQuantityIsComputedThroughTheSharedEntry) {
    ComputeRequest request{.distribution = DistributionKind::F,
                           .quantity = QuantityKind::Value,
                           .value = 10.0,
                           .noncentrality = 5.0,
                           .cumP = 0.95,
                           .df1 = 3,
                           .df2 = 10,
                           .confidence = 0.95};
    EXPECT_NEAR(computeQuantity(calculators, request).result, 8.908299, 5e-7);
    request.quantity = QuantityKind::Noncentrality;
    request.cumP = 0.025;
    EXPECT_NEAR(computeQuantity(calculators, request).result, 70.005872, 5e-7);
    request.quantity = QuantityKind::Interval;
    const ComputeOutcome interval = computeQuantity(calculators, request);
    EXPECT_NEAR(interval.lower, 3.886667, 5e-7);
    EXPECT_NEAR(interval.upper, 70.005872, 5e-7);
    EXPECT_TRUE(reporter.messages.empty());

    request.df1 = 0;
    const ComputeOutcome rejected = computeQuantity(calculators, request);
    EXPECT_EQ(rejected.lower, -9999.0);
    EXPECT_EQ(rejected.upper, -9999.0);
    EXPECT_EQ(reporter.messages, Messages{"Df1 out of range."});
}

}  // namespace
}  // namespace quorvel
