#include <gtest/gtest.h>

#include <boost/math/distributions/non_central_chi_squared.hpp>
#include <cmath>
#include <string>
#include <vector>

#include "numerics/calculators.h"
#include "numerics/chisquare/noncentral_chi_square.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

using Messages = std::vector<std::string>;
using BoostChiSquare = boost::math::non_central_chi_squared_distribution<double>;

class NoncentralChiSquareCdfTest : public ::testing::Test {
  protected:
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    NoncentralChiSquare& chiSquare = calculators.chiSquare();
};

TEST_F(NoncentralChiSquareCdfTest, ReproducesPublishedValues) {
    // Odd Df starts from Φ, good to about 1e-9.
    EXPECT_NEAR(chiSquare.cdf(3.841458820694124, 1, 0.0), 0.95, 1.1e-9);
    EXPECT_NEAR(chiSquare.cdf(10.0, 3, 2.0), 0.89856, 5e-6);
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(chiSquare.failed, 0);
}

// Boost.Math sums the same mixture outwards from its largest Poisson weight to full double
// precision. Ours stops once the terms still to come are below an absolute 1e-6, and odd Df
// adds Φ's 1e-9. The grid reaches x of 100000, where e^(−x/2) underflows and the central
// terms must be carried as logarithms, and λ up to the end of the series range, where the sum
// needs some 700 terms when x lies far above the mean. Measured worst: 9.9e-7.
TEST_F(NoncentralChiSquareCdfTest, AgreesWithBoostWithinTheSeriesAbsoluteTolerance) {
    double worst = 0.0;
    for (int df : {1, 2, 3, 8, 51, 1000, 100000}) {
        for (double lambda : {0.0, 0.4, 3.0, 25.0, 150.0, 600.0, 790.0, 850.0, 900.0, 921.0}) {
            const BoostChiSquare reference(df, lambda);
            for (double tail : {1e-4, 0.02, 0.3, 0.7, 0.98, 0.9999, 1.0 - 1e-12}) {
                const double x = boost::math::quantile(reference, tail);
                const double expected = boost::math::cdf(reference, x);
                const double ours = chiSquare.cdf(x, df, lambda);
                worst = std::max(worst, std::fabs(ours - expected));
                EXPECT_NEAR(ours, expected, 1.001e-6)
                    << "x " << x << " df " << df << " lambda " << lambda;
            }
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
    RecordProperty("worst_absolute_error", std::to_string(worst));
}

// Above λ = 2·ln(1e200) ≈ 921.03 the series' Poisson weight e^(−λ/2) would leave the double
// range and the normal approximation takes over. Its error, measured against Boost.Math over
// Df 1..100000 and the whole range of probabilities, is largest just above the switch with Df
// near 600 (8.7e-6) and falls with λ (2.8e-6 at λ 2500, 1.4e-6 at λ 5000).
TEST_F(NoncentralChiSquareCdfTest, NormalApproximationAboveTheSeriesRangeStaysWithin1e5) {
    double worst = 0.0;
    for (int df : {1, 10, 600, 5000, 100000}) {
        for (double lambda : {921.04, 1000.0, 2000.0, 5000.0}) {
            const BoostChiSquare reference(df, lambda);
            for (double tail : {1e-6, 0.01, 0.24, 0.5, 0.9, 0.999999}) {
                const double x = boost::math::quantile(reference, tail);
                const double ours = chiSquare.cdf(x, df, lambda);
                worst = std::max(worst, std::fabs(ours - tail));
                EXPECT_NEAR(ours, tail, 1e-5) << "x " << x << " df " << df << " lambda " << lambda;
            }
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
    RecordProperty("worst_absolute_error", std::to_string(worst));
}

TEST_F(NoncentralChiSquareCdfTest, SeriesConvergesUpToItsUpperEndAndTheApproximationTakesOver) {
    EXPECT_NEAR(chiSquare.cdf(910.0, 10, 900.0), boost::math::cdf(BoostChiSquare(10, 900.0), 910.0),
                1.001e-6);
    const double beyondTheSwitch = chiSquare.cdf(910.0, 10, 921.04);
    EXPECT_NEAR(beyondTheSwitch, boost::math::cdf(BoostChiSquare(10, 921.04), 910.0), 1e-5);
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
    EXPECT_NEAR(chiSquare.cdf(2.0, 1, 0.0), boost::math::cdf(BoostChiSquare(1, 0.0), 2.0), 2e-9);
    EXPECT_NEAR(chiSquare.cdf(1e5, 100000, 0.0), boost::math::cdf(BoostChiSquare(100000, 0.0), 1e5),
                1e-6);
    EXPECT_NEAR(chiSquare.cdf(5000.0, 1, 5000.0),
                boost::math::cdf(BoostChiSquare(1, 5000.0), 5000.0), 1e-5);
    EXPECT_TRUE(reporter.messages.empty());
}

}  // namespace
}  // namespace quorvel
