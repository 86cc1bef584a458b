#include <gtest/gtest.h>

#include <boost/math/distributions/non_central_f.hpp>
#include <cmath>
#include <string>
#include <vector>

#include "numerics/calculators.h"
#include "numerics/computation.h"
#include "numerics/f/noncentral_f.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

using Messages = std::vector<std::string>;

double boostCdf(double x, int df1, int df2, double lambda) {
    return boost::math::cdf(boost::math::non_central_f_distribution<double>(df1, df2, lambda), x);
}

// How far λ may be from the root: the search stops when P is within 1e-10 of the target, and
// our P is good to an absolute 1e-9 (the series' stopping rule), so λ is good to about
// 1.1e-9 over |dP/dλ|; twice that leaves room for the slope, a difference quotient of
// Boost.Math's distribution function.
double lambdaTolerance(double x, int df1, int df2, double lambda) {
    const double h = 1e-3 * std::max(1.0, lambda);
    const double slope =
        (boostCdf(x, df1, df2, lambda + h) - boostCdf(x, df1, df2, std::max(0.0, lambda - h))) /
        (lambda + h - std::max(0.0, lambda - h));
    return 2e-9 / std::fabs(slope) + 1e-12 * lambda;
}

class NoncentralFNoncentralityTest : public ::testing::Test {
  protected:
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    NoncentralF& f = calculators.f();
};

struct PublishedLambda {
    double fValue;
    int df1;
    int df2;
    double cumP;
    double expected;
};

TEST_F(NoncentralFNoncentralityTest, ReproducesPublishedNoncentralities) {
    const PublishedLambda cases[] = {
        {3.0, 3, 10, 0.5, 6.431702},
        {3.0, 3, 10, 0.05, 21.742943},
        {20.0, 5, 20, 0.5, 92.908676},
        {1.0, 3, 10, 0.3, 2.577380},
    };
    for (const PublishedLambda& c : cases) {
        EXPECT_NEAR(f.noncentrality(c.fValue, c.df1, c.df2, c.cumP, 0), c.expected, 1e-6)
            << "F " << c.fValue << " df1 " << c.df1 << " df2 " << c.df2 << " cumP " << c.cumP;
        EXPECT_EQ(f.failed, 0);
        EXPECT_EQ(f.cumP, c.cumP);
    }
    EXPECT_TRUE(reporter.messages.empty());
}

// λ recovered from a probability that Boost.Math computed at a known λ.
TEST_F(NoncentralFNoncentralityTest, RecoversTheNoncentralityBehindBoostsProbabilities) {
    for (int df1 : {1, 4, 30}) {
        for (int df2 : {1, 3, 12, 200}) {
            for (double lambda : {0.3, 4.0, 35.0, 400.0}) {
                for (double x : {0.5, 2.0, 9.0}) {
                    const double p = boostCdf(x, df1, df2, lambda);
                    if (p < 0.0001 || p > 0.9999) {
                        continue;
                    }
                    EXPECT_NEAR(f.noncentrality(x, df1, df2, p, 0), lambda,
                                lambdaTolerance(x, df1, df2, lambda))
                        << "x " << x << " df1 " << df1 << " df2 " << df2 << " lambda " << lambda;
                }
            }
        }
    }
    EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
}

// An F value equal to the central mean n/(n − 2) makes the moment estimate 0; the search still
// starts from there, probing upwards.
TEST_F(NoncentralFNoncentralityTest, SearchesFromAZeroMomentEstimate) {
    const PublishedLambda atTheMean[] = {{1.25, 3, 10, 0.5, 0.0},
                                         {3.0, 1, 3, 0.5, 0.0},
                                         {2.0, 1, 4, 0.3, 0.0},
                                         {1.5, 7, 6, 0.2, 0.0}};
    for (const PublishedLambda& c : atTheMean) {
        const double lambda = f.noncentrality(c.fValue, c.df1, c.df2, c.cumP, 0);
        EXPECT_GT(lambda, 0.0);
        EXPECT_NEAR(boostCdf(c.fValue, c.df1, c.df2, lambda), c.cumP, 1.1e-9)
            << "F " << c.fValue << " df1 " << c.df1 << " df2 " << c.df2;
    }
    EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
}

TEST_F(NoncentralFNoncentralityTest, ReturnsZeroWithAMessageWhenNoNonNegativeLambdaExists) {
    EXPECT_EQ(f.noncentrality(3.0, 3, 10, 0.95, 0), 0.0);
    EXPECT_EQ(reporter.messages,
              Messages{"No non-negative value of Lambda can be found. Returning 0."});
    EXPECT_EQ(f.failed, 1);
}

struct RejectedNoncentrality {
    int df1;
    int df2;
    double cumP;
    const char* message;
};

TEST_F(NoncentralFNoncentralityTest, ChecksDfThenCumP) {
    const char* df = "F distribution parameter out of range. Limits: 1 <= Df <= 10000";
    const char* cumP = "CumP out of range. Limits: .0001 <= CumP <= .9999";
    const RejectedNoncentrality rejected[] = {
        {0, 10, 2.0, df},       {3, 10001, 0.5, df},         {3, 10, 0.00009, cumP},
        {3, 10, 0.99991, cumP}, {3, 10, std::nan(""), cumP},
    };
    for (const RejectedNoncentrality& bad : rejected) {
        reporter.messages.clear();
        EXPECT_EQ(f.noncentrality(3.0, bad.df1, bad.df2, bad.cumP, 0), -9999.0);
        EXPECT_EQ(reporter.messages, Messages{bad.message}) << "cumP " << bad.cumP;
        EXPECT_EQ(f.failed, 1);
    }
}

TEST_F(NoncentralFNoncentralityTest, ATargetBeyondTheLambdaRangeEndsInTheRangeMessage) {
    EXPECT_EQ(f.noncentrality(20000.0, 1, 10000, 0.5, 0), -9999.0);
    EXPECT_EQ(reporter.messages, Messages{"Lambda out of range."});
    EXPECT_EQ(f.failed, 1);
}

TEST_F(NoncentralFNoncentralityTest, AFailingDistributionFunctionEndsTheSearch) {
    // The three-moment approximation does not exist for df2 = 2: its own message is the only
    // one, not a second one about a missing λ.
    EXPECT_EQ(f.noncentrality(3.0, 3, 2, 0.5, 1), -9999.0);
    EXPECT_EQ(reporter.messages, Messages{"F distribution parameter out of range."});
}

class NoncentralFConfidenceLimitsTest : public NoncentralFNoncentralityTest {
  protected:
    // Values that no step writes, to see which limits a call wrote.
    double lower = 123.0;
    double upper = 456.0;
};

struct PublishedInterval {
    double fValue;
    int df1;
    int df2;
    double confidence;
    double lower;
    double upper;
};

TEST_F(NoncentralFConfidenceLimitsTest, ReproducesPublishedIntervalsAndHitsBothTails) {
    const PublishedInterval intervals[] = {
        {3.0, 3, 10, 0.95, 0.0, 25.653872},
        {10.0, 3, 10, 0.95, 3.886667, 70.005872},
        {20.0, 5, 20, 0.99, 24.120528, 215.860897},
    };
    for (const PublishedInterval& c : intervals) {
        f.confidenceLimits(c.fValue, c.df1, c.df2, c.confidence, 0, lower, upper);
        EXPECT_NEAR(lower, c.lower, 1e-6);
        EXPECT_NEAR(upper, c.upper, 1e-6);
        const double alpha = (1.0 - c.confidence) / 2.0;
        EXPECT_NEAR(boostCdf(c.fValue, c.df1, c.df2, upper), alpha, 1.1e-9);
        if (lower > 0.0) {
            EXPECT_NEAR(boostCdf(c.fValue, c.df1, c.df2, lower), 1.0 - alpha, 1.1e-9);
        }
        EXPECT_EQ(f.confidence, c.confidence);
    }
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(NoncentralFConfidenceLimitsTest, AZeroOrSmallFValueGivesZeroLimitsWithoutMessage) {
    for (double fValue : {0.0, 0.01}) {
        f.confidenceLimits(fValue, 3, 10, 0.95, 0, lower, upper);
        EXPECT_EQ(lower, 0.0);
        EXPECT_EQ(upper, 0.0);
    }
    EXPECT_TRUE(reporter.messages.empty());
}

struct RejectedInterval {
    double fValue;
    int df1;
    int df2;
    double confidence;
    const char* message;
};

TEST_F(NoncentralFConfidenceLimitsTest, ChecksItsArgumentsInOrderAndThenWritesNeitherLimit) {
    const RejectedInterval rejected[] = {
        {-1.0, 0, 0, 0.5, "Df1 out of range."},
        {-1.0, 10001, 10, 0.95, "Df1 out of range."},
        {-1.0, 3, 0, 0.5, "Df2 out of range."},
        {-1.0, 3, 10001, 0.95, "Df2 out of range."},
        {-1.0, 3, 10, 0.79, "Confidence out of range. Limits: .80 to .9999"},
        {3.0, 3, 10, 0.99991, "Confidence out of range. Limits: .80 to .9999"},
        {3.0, 3, 10, std::nan(""), "Confidence out of range. Limits: .80 to .9999"},
        {-1.0, 3, 10, 0.95, "F Value must be non-negative."},
        {std::nan(""), 3, 10, 0.95, "F Value must be non-negative."},
    };
    for (const RejectedInterval& bad : rejected) {
        reporter.messages.clear();
        f.confidenceLimits(bad.fValue, bad.df1, bad.df2, bad.confidence, 0, lower, upper);
        EXPECT_EQ(reporter.messages, Messages{bad.message});
        EXPECT_EQ(f.failed, 1);
        EXPECT_EQ(lower, 123.0);
        EXPECT_EQ(upper, 456.0);
    }
}

TEST_F(NoncentralFConfidenceLimitsTest, AcceptsTheConfidenceBoundsButTheirTailsMayFail) {
    f.confidenceLimits(10.0, 3, 10, 0.8, 0, lower, upper);
    EXPECT_GT(lower, 0.0);
    EXPECT_GT(upper, lower);
    EXPECT_TRUE(reporter.messages.empty());

    // (1 − 0.9998)/2 rounds to just below 0.0001, so the upper tail is out of the search's
    // range; the lower limit is still 0.
    const char* cumP = "CumP out of range. Limits: .0001 <= CumP <= .9999";
    f.confidenceLimits(3.0, 3, 10, 0.9998, 0, lower, upper);
    EXPECT_EQ(reporter.messages, Messages{cumP});
    EXPECT_EQ(upper, -9999.0);
    EXPECT_EQ(lower, 0.0);

    // At 0.9999 both tails fail where both are searched, upper first.
    reporter.messages.clear();
    f.confidenceLimits(20.0, 5, 20, 0.9999, 0, lower, upper);
    EXPECT_EQ(reporter.messages, (Messages{cumP, cumP}));
    EXPECT_EQ(upper, -9999.0);
    EXPECT_EQ(lower, -9999.0);
}

// Through the entry the window and the command line use.
TEST_F(NoncentralFConfidenceLimitsTest, EveryFQuantityIsComputedThroughTheSharedEntry) {
    for (QuantityKind quantity : {QuantityKind::CumP, QuantityKind::Value,
                                  QuantityKind::Noncentrality, QuantityKind::Interval}) {
        EXPECT_TRUE(isAvailable(DistributionKind::F, quantity));
    }
    ComputeRequest request;
    request.distribution = DistributionKind::F;
    request.df1 = 3;
    request.df2 = 10;

    request.quantity = QuantityKind::Value;
    request.cumP = 0.95;
    request.noncentrality = 5.0;
    EXPECT_NEAR(computeQuantity(calculators, request).result, 8.908299, 1e-6);

    request.quantity = QuantityKind::Noncentrality;
    request.value = 3.0;
    request.cumP = 0.5;
    EXPECT_NEAR(computeQuantity(calculators, request).result, 6.431702, 1e-6);

    request.quantity = QuantityKind::Interval;
    request.value = 10.0;
    request.confidence = 0.95;
    const ComputeOutcome interval = computeQuantity(calculators, request);
    EXPECT_NEAR(interval.lower, 3.886667, 1e-6);
    EXPECT_NEAR(interval.upper, 70.005872, 1e-6);
    EXPECT_TRUE(reporter.messages.empty());

    request.df1 = 0;
    const ComputeOutcome rejected = computeQuantity(calculators, request);
    EXPECT_EQ(rejected.lower, -9999.0);
    EXPECT_EQ(rejected.upper, -9999.0);
    EXPECT_EQ(reporter.messages, Messages{"Df1 out of range."});
}

}  // namespace
}  // namespace quorvel
