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

// Boost.Math's probability, at our point, of the tail that cumP's search solves on (the upper
// tail 1 − cumP above 1/2), relative to that tail's target: our search stops within a relative
// 1e-12 of it on our distribution function, which agrees with Boost's to 5e-13 here.
double relativeMiss(int df, double lambda, double x, double cumP) {
    return cumP > 0.5
               ? std::fabs(oracle::noncentralChiSquareUpper(x, df, lambda) / (1.0 - cumP) - 1.0)
               : std::fabs(oracle::noncentralChiSquareCdf(x, df, lambda) / cumP - 1.0);
}
constexpr double kTailTolerance = 1e-11;

class NoncentralChiSquarePercentageTest : public ::testing::Test {
  protected:
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    NoncentralChiSquare& chiSquare = calculators.chiSquare();
};

struct PublishedPoint {
    double cumP;
    int df;
    double lambda;
    double expected;
    double tolerance;  // half a unit in the last published digit
};

TEST_F(NoncentralChiSquarePercentageTest, ReproducesPublishedValues) {
    const PublishedPoint points[] = {
        {0.95, 1, 0.0, 3.84146, 5e-6},
        {0.5, 10, 5.0, 14.1659, 5e-5},
        {0.9999, 100000, 5000.0, 106753.3, 0.05},
        {0.0001, 1, 5000.0, 4487.9, 0.05},
        {0.05, 1, 0.0, 0.0039321, 5e-8},
    };
    for (const PublishedPoint& point : points) {
        EXPECT_NEAR(chiSquare.percentagePoint(point.cumP, point.df, point.lambda), point.expected,
                    point.tolerance)
            << "cumP " << point.cumP << " df " << point.df << " lambda " << point.lambda;
    }
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(chiSquare.failed, 0);
}

// Boost.Math's distribution function at our percentage point must come back to cumP in the
// tail the search solves on. The comparison is made in probability because the density, and
// with it the error in x, varies by many orders over the grid.
TEST_F(NoncentralChiSquarePercentageTest, BoostCdfOfThePercentagePointReturnsCumP) {
    for (int df : {1, 4, 30, 1000, 100000}) {
        for (double lambda : {0.0, 3.0, 60.0, 500.0, 2000.0, 5000.0}) {
            for (double cumP : {0.06, 0.5, 0.94, 0.9999}) {
                const double x = chiSquare.percentagePoint(cumP, df, lambda);
                ASSERT_NE(x, -9999.0) << "cumP " << cumP << " df " << df << " lambda " << lambda;
                EXPECT_LE(relativeMiss(df, lambda, x, cumP), kTailTolerance)
                    << "cumP " << cumP << " df " << df << " lambda " << lambda;
            }
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
}

// Where the Wilson–Hilferty cube falls to 0 or below (small CumP with few Df and a small λ),
// the search starts from the lower-tail term of the mixture instead; and up to the end of the
// series range, where the series used to give up, the point is found.
TEST_F(NoncentralChiSquarePercentageTest, FindsPointsDeepInTheLowerTailAndNearTheSeriesEnd) {
    const struct {
        double cumP;
        int df;
        double lambda;
    } cases[] = {{0.04, 1, 0.0},    {0.0001, 1, 0.0}, {0.001, 2, 1.0},  {0.0001, 3, 0.0},
                 {0.0001, 1, 20.0}, {0.01, 2, 0.0},   {0.5, 10, 900.0}, {0.9999, 3, 915.0}};
    for (const auto& c : cases) {
        const double x = chiSquare.percentagePoint(c.cumP, c.df, c.lambda);
        EXPECT_LE(relativeMiss(c.df, c.lambda, x, c.cumP), kTailTolerance)
            << "cumP " << c.cumP << " df " << c.df << " lambda " << c.lambda;
        EXPECT_EQ(chiSquare.failed, 0);
    }
    EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
}

struct RejectedArguments {
    double cumP;
    int df;
    double lambda;
    const char* message;
};

TEST_F(NoncentralChiSquarePercentageTest, ChecksLambdaThenDfThenCumPAndKeepsTheFields) {
    chiSquare.percentagePoint(0.5, 4, 2.0);
    const char* const lambdaRange = "Lambda out of range. Limits: 0. <= Lambda <= 5000.";
    const char* const dfRange = "Df out of range. Limits: 1 <= Df <= 100000";
    const char* const cumPRange = "CumP out of range. Limits: .0001 <= CumP <= .9999";
    const RejectedArguments rejected[] = {
        {2.0, 0, 6000.0, lambdaRange},
        {0.5, 3, std::nan(""), lambdaRange},
        {2.0, 0, 1.0, dfRange},
        {0.5, 100001, 1.0, dfRange},
        {0.00009999, 1, 1.0, cumPRange},
        {1.0, 1, 1.0, cumPRange},
        {std::nan(""), 1, 1.0, cumPRange},
    };
    for (const RejectedArguments& bad : rejected) {
        reporter.messages.clear();
        chiSquare.failed = 0;
        EXPECT_EQ(chiSquare.percentagePoint(bad.cumP, bad.df, bad.lambda), -9999.0);
        EXPECT_EQ(reporter.messages, Messages{bad.message});
        EXPECT_EQ(chiSquare.failed, 1);
    }
    EXPECT_EQ(chiSquare.cumP, 0.5);
    EXPECT_EQ(chiSquare.df, 4);
    EXPECT_EQ(chiSquare.lambda, 2.0);
}

}  // namespace
}  // namespace quorvel
