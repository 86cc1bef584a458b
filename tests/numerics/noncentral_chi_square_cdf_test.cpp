#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "numerics/calculators.h"
#include "numerics/chisquare/noncentral_chi_square.h"
#include "tests/support/boost_oracle.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

using Messages = std::vector<std::string>;

class NoncentralChiSquareCdfTest : public ::testing::Test {
  protected:
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    NoncentralChiSquare& chiSquare = calculators.chiSquare();
};

TEST_F(NoncentralChiSquareCdfTest, ReproducesPublishedValues) {
    EXPECT_NEAR(chiSquare.cdf(3.841458820694124, 1, 0.0), 0.95, 1e-15);
    EXPECT_NEAR(chiSquare.cdf(10.0, 3, 2.0), 0.89856, 5e-6);
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(chiSquare.failed, 0);
}

// Boost.Math sums the same mixture outwards from its largest Poisson weight to full double
// precision; at these tails (1e-6 to 1 − 1e-6) it agrees with mpmath, so both of our tails must
// agree with its cdf and complement to a relative 1e-12 (measured worst 4.8e-13, at λ 5000).
// Returns the worst relative difference over the grid of Df and tails at the given λ.
class BothTailsAgainstBoost : public NoncentralChiSquareCdfTest {
  protected:
    double compare(std::initializer_list<double> lambdas) {
        constexpr double kRelative = 1e-12;
        double worst = 0.0;
        for (int df : {1, 2, 3, 8, 51, 600, 1000, 100000}) {
            for (double lambda : lambdas) {
                for (double tail : {1e-6, 1e-4, 0.02, 0.3, 0.7, 0.98, 0.9999, 1.0 - 1e-6}) {
                    const double x = oracle::noncentralChiSquareQuantile(tail, df, lambda);
                    const double lower = oracle::noncentralChiSquareCdf(x, df, lambda);
                    const double upper = oracle::noncentralChiSquareUpper(x, df, lambda);
                    const double ours = chiSquare.cdf(x, df, lambda);
                    const double oursUpper = chiSquare.upper(x, df, lambda);
                    worst = std::max(
                        {worst, std::fabs(ours / lower - 1.0), std::fabs(oursUpper / upper - 1.0)});
                    EXPECT_NEAR(ours, lower, kRelative * lower)
                        << "x " << x << " df " << df << " lambda " << lambda;
                    EXPECT_NEAR(oursUpper, upper, kRelative * upper)
                        << "x " << x << " df " << df << " lambda " << lambda;
                }
            }
        }
        EXPECT_TRUE(reporter.messages.empty());
        return worst;
    }
};

// The grid reaches x of 100000, where e^(−x/2) underflows, and λ up to 921.03, where the
// Poisson weight e^(−λ/2) of the first term nears 1e-200.
TEST_F(BothTailsAgainstBoost, UpToTheFormerEndOfTheSeriesRange) {
    const double worst = compare({0.0, 0.4, 3.0, 25.0, 150.0, 600.0, 790.0, 900.0, 921.0});
    RecordProperty("worst_relative_error", std::to_string(worst));
}

// Above λ = 2·ln(1e200) ≈ 921.03 a normal approximation used to take over (absolute error up
// to 8.7e-6); the mixture now runs on to λ 5000 with the same relative accuracy.
TEST_F(BothTailsAgainstBoost, AboveTheFormerSeriesRangeUpTo5000) {
    const double worst = compare({921.04, 1000.0, 2000.0, 5000.0});
    RecordProperty("worst_relative_error", std::to_string(worst));
}

// Where the normal approximation used to take over (λ 921.03) the sum goes on unchanged: the
// distribution function falls with λ across it, and stays small deep in the lower tail.
TEST_F(NoncentralChiSquareCdfTest, SeriesRunsOnAcrossTheFormerSwitchToTheNormalApproximation) {
    const double below = chiSquare.cdf(910.0, 10, 921.02);
    const double beyond = chiSquare.cdf(910.0, 10, 921.04);
    EXPECT_LT(beyond, below);
    EXPECT_NEAR(beyond, oracle::noncentralChiSquareCdf(910.0, 10, 921.04), 1e-12 * beyond);
    EXPECT_EQ(chiSquare.failed, 0) << "each evaluation clears the flag";
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_LT(chiSquare.cdf(5.0, 1, 5000.0), 1e-15);
}

TEST_F(NoncentralChiSquareCdfTest, ZeroGivesExactlyZeroAndInfinityOne) {
    for (int df : {1, 2, 3, 10}) {
        for (double lambda : {0.0, 5.0, 900.0}) {
            EXPECT_EQ(chiSquare.cdf(0.0, df, lambda), 0.0) << "df " << df << " lambda " << lambda;
            EXPECT_EQ(chiSquare.cdf(INFINITY, df, lambda), 1.0);
        }
    }
    EXPECT_EQ(chiSquare.cdf(INFINITY, 10, 3000.0), 1.0);
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(chiSquare.failed, 0);
}

struct RejectedArguments {
    double x;
    int df;
    double lambda;
    const char* message;
};

TEST_F(NoncentralChiSquareCdfTest, ChecksXThenDfThenLambdaAndKeepsTheFields) {
    chiSquare.cdf(1.5, 4, 2.0);
    const char* const negative = "Chi-Square must be nonnegative.";
    const char* const dfRange = "Df out of range. Limits: 1 <= Df <= 100000.";
    const char* const lambdaRange = "Lambda out of range. Limits: 0. <= Lambda <= 5000.";
    const RejectedArguments rejected[] = {
        {-0.0001, 0, 6000.0, negative},
        {std::nan(""), 3, 1.0, negative},
        {1.0, 0, -1.0, dfRange},
        {1.0, 100001, 1.0, dfRange},
        {1.0, 1, 5000.001, lambdaRange},
        {1.0, 1, -1e-9, lambdaRange},
        {1.0, 1, std::nan(""), lambdaRange},
    };
    for (const RejectedArguments& bad : rejected) {
        reporter.messages.clear();
        chiSquare.failed = 0;
        EXPECT_EQ(chiSquare.cdf(bad.x, bad.df, bad.lambda), -9999.0);
        EXPECT_EQ(reporter.messages, Messages{bad.message});
        EXPECT_EQ(chiSquare.failed, 1);
    }
    EXPECT_EQ(chiSquare.chiSquare, 1.5);
    EXPECT_EQ(chiSquare.df, 4);
    EXPECT_EQ(chiSquare.lambda, 2.0);
}

TEST_F(NoncentralChiSquareCdfTest, AcceptsTheInclusiveBounds) {
    EXPECT_NEAR(chiSquare.cdf(2.0, 1, 0.0), oracle::noncentralChiSquareCdf(2.0, 1, 0.0), 1e-15);
    EXPECT_NEAR(chiSquare.cdf(1e5, 100000, 0.0), oracle::noncentralChiSquareCdf(1e5, 100000, 0.0),
                1e-14);
    EXPECT_NEAR(chiSquare.cdf(5000.0, 1, 5000.0), oracle::noncentralChiSquareCdf(5000.0, 1, 5000.0),
                1e-13);
    EXPECT_TRUE(reporter.messages.empty());
}

}  // namespace
}  // namespace quorvel
