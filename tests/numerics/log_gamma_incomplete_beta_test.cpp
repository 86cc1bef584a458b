#include <gtest/gtest.h>

#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/gamma.hpp>
#include <cmath>
#include <vector>

#include "numerics/calculators.h"
#include "numerics/f/noncentral_beta.h"
#include "numerics/foundations/gamma_beta/incomplete_gamma.h"
#include "numerics/foundations/gamma_beta/log_gamma.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

// The Stirling constants are written to fifteen decimals, which leaves logGamma about 6e-12
// to 1e-11 high for arguments up to 14.
constexpr double kLogGammaTolerance = 1.2e-11;

TEST(LogGamma, MatchesTheGammaFunctionAcrossTheShiftedAndUnshiftedRanges) {
    for (double x : {0.5, 1.0, 2.5, 5.0, 12.999, 13.0, 13.5, 14.0, 37.25, 100.0, 5000.5}) {
        EXPECT_NEAR(logGamma(x), std::lgamma(x), kLogGammaTolerance * std::max(1.0, std::lgamma(x)))
            << "x = " << x;
    }
    EXPECT_NEAR(logGamma(5.0), std::log(24.0), kLogGammaTolerance);
    EXPECT_NEAR(logGamma(0.5), std::log(std::sqrt(M_PI)), kLogGammaTolerance);
}

TEST(LogGamma, RejectsArgumentsOutsideItsDomainWithoutUndefinedBehaviour) {
    EXPECT_TRUE(std::isnan(logGamma(0.0)));
    EXPECT_TRUE(std::isnan(logGamma(-1e300)));
    EXPECT_TRUE(std::isnan(logGamma(std::nan(""))));
}

TEST(DecimalLog, IsTheBaseTenLogarithm) {
    EXPECT_NEAR(decimalLog(1e-9), -9.0, 1e-14);
    EXPECT_NEAR(decimalLog(2.0), std::log10(2.0), 1e-15);
}

class IncompleteBetaTest : public ::testing::Test {
  protected:
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    NoncentralBeta& beta = calculators.beta();
};

TEST_F(IncompleteBetaTest, AgreesWithBoostOnAGridOfShapesAndPoints) {
    // The prefactor's log-gamma terms carry about 1e-11 each, relative to the result.
    for (double a : {0.5, 1.0, 2.0, 7.5, 50.0, 2500.0}) {
        for (double b : {0.5, 1.5, 5.0, 40.0, 5000.0}) {
            for (double x : {0.001, 0.1, 0.375, 0.5, 0.9, 0.999}) {
                const double expected = boost::math::ibeta(a, b, x);
                EXPECT_NEAR(beta.incompleteBeta(x, a, b), expected, 5e-10 * expected + 1e-14)
                    << "x " << x << " a " << a << " b " << b;
            }
        }
    }
    EXPECT_NEAR(beta.incompleteBeta(0.5, 2, 3), 11.0 / 16.0, 2e-12);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(IncompleteBetaTest, EndPointsAreExactWithoutEvaluatingLogarithms) {
    EXPECT_EQ(beta.incompleteBeta(0.0, 2.0, 3.0), 0.0);
    EXPECT_EQ(beta.incompleteBeta(1.0, 2.0, 3.0), 1.0);
    EXPECT_EQ(beta.failed, 0);
}

TEST_F(IncompleteBetaTest, PointOutsideTheUnitIntervalIsReportedOnce) {
    for (double x : {-0.1, 1.5, std::nan("")}) {
        reporter.messages.clear();
        EXPECT_EQ(beta.incompleteBeta(x, 2.0, 3.0), -9999.0);
        EXPECT_EQ(beta.failed, 1);
        EXPECT_EQ(reporter.messages, std::vector<std::string>{"x in Betai is out of range."});
    }
    beta.incompleteBeta(0.5, 2.0, 3.0);
    EXPECT_EQ(beta.failed, 0) << "every evaluation clears the flag first";
}

TEST_F(IncompleteBetaTest, NoncentralSeriesReportsAFailingIncompleteBetaAtBothLevels) {
    EXPECT_EQ(beta.cdf(1.5, 2.0, 3.0, 4.0), -9999.0);
    EXPECT_EQ(beta.failed, 1);
    EXPECT_EQ(reporter.messages,
              (std::vector<std::string>{"x in Betai is out of range.",
                                        "Failure in Incomplete Beta Calculation"}));
}

// The chi-square series starts from P(n/2, x/2) above 200 Df: shapes up to 50000 with x across
// the bulk and both tails, on both sides of the switch between series and continued fraction at
// x = a + 1. The prefactor's logarithm a·ln x − x − ln Γ(a) is formed from terms up to 5e5 at
// a 50000, whose rounding (2.2e-16 of their sizes) is the result's relative error there.
TEST(IncompleteGamma, AgreesWithBoostFromSmallShapesToFiftyThousand) {
    for (double a : {0.5, 1.0, 7.5, 100.5, 1000.0, 50000.0}) {
        for (double z : {-8.0, -3.0, -0.5, 0.0, 0.5, 3.0, 8.0}) {
            const double x = std::max(1e-3, a + z * std::sqrt(a));
            for (double at : {x, a + 1.0}) {
                const double expected = boost::math::gamma_p(a, at);
                const double tolerance =
                    2.2e-16 * (a * std::fabs(std::log(at)) + at + std::fabs(std::lgamma(a))) +
                    1e-14;
                EXPECT_NEAR(regularizedLowerIncompleteGamma(a, at), expected,
                            tolerance * std::min(expected, 1.0 - expected) + 1e-300)
                    << "a " << a << " x " << at;
            }
        }
    }
    EXPECT_EQ(regularizedLowerIncompleteGamma(3.0, 0.0), 0.0);
    EXPECT_EQ(regularizedLowerIncompleteGamma(3.0, INFINITY), 1.0);
}

}  // namespace
}  // namespace quorvel
