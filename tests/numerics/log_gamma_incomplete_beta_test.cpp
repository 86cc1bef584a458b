#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "numerics/calculators.h"
#include "numerics/f/noncentral_beta.h"
#include "numerics/foundations/gamma_beta/incomplete_gamma.h"
#include "numerics/foundations/gamma_beta/log_gamma.h"
#include "numerics/foundations/gamma_beta/saddle_point_terms.h"
#include "tests/support/boost_oracle.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

// The C library's lgamma below 15, Stirling's formula with Loader's error terms beyond: within a
// few rounding units of the gamma function everywhere.
constexpr double kLogGammaTolerance = 1e-15;

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
    // Both computed to full precision; measured worst 1.2e-13 relative (a 2500, b 0.5, x 0.999).
    for (double a : {0.5, 1.0, 2.0, 7.5, 50.0, 2500.0}) {
        for (double b : {0.5, 1.5, 5.0, 40.0, 5000.0}) {
            for (double x : {0.001, 0.1, 0.375, 0.5, 0.9, 0.999}) {
                const double expected = oracle::incompleteBeta(a, b, x);
                EXPECT_NEAR(beta.incompleteBeta(x, a, b), expected, 5e-13 * expected)
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

// The chi-square mixture starts from P or Q at one shape, up to some 53000 at Df 100000 and λ
// 5000, with x across the bulk and both tails, on both sides of the switch between the series
// (x < a) and the continued fraction. Each tail is compared in its own right with Boost.Math's
// gamma_p and gamma_q (full precision in either tail): the relative error is a few rounding
// units of the logarithm of the prefactor x^a·e^(−x)/Γ(a + 1), whose size is the condition of
// the result under a change of x by one unit in its last place (measured worst 5.5e-15 times
// 1 + that size, at a 0.5).
TEST(IncompleteGamma, EachTailAgreesWithBoostFromSmallShapesToFiftyThousand) {
    for (double a : {0.5, 1.0, 7.5, 100.5, 1000.0, 50000.0, 52500.5}) {
        for (double z : {-30.0, -8.0, -3.0, -0.5, 0.0, 0.5, 3.0, 8.0, 30.0}) {
            const double x = std::max(1e-3, a + z * std::sqrt(a));
            for (double at : {x, a, a + 1.0}) {
                const double scale = std::fabs(a * std::log(at / a) + a - at) + 1.0;
                const double tolerance = 8e-15 * scale;
                const double lower = oracle::gammaP(a, at);
                const double upper = oracle::gammaQ(a, at);
                if (lower > 1e-300) {
                    EXPECT_NEAR(regularizedLowerIncompleteGamma(a, at), lower, tolerance * lower)
                        << "a " << a << " x " << at;
                }
                if (upper > 1e-300) {
                    EXPECT_NEAR(regularizedUpperIncompleteGamma(a, at), upper, tolerance * upper)
                        << "a " << a << " x " << at;
                }
            }
        }
    }
    EXPECT_EQ(regularizedLowerIncompleteGamma(3.0, 0.0), 0.0);
    EXPECT_EQ(regularizedUpperIncompleteGamma(3.0, 0.0), 1.0);
    EXPECT_EQ(regularizedLowerIncompleteGamma(3.0, INFINITY), 1.0);
    EXPECT_EQ(regularizedUpperIncompleteGamma(3.0, INFINITY), 0.0);
}

// Tails far below the double range of P or Q themselves stay finite as logarithms (mpmath at 40
// digits): ln Q(0.5, 1e4) = ln erfc(100), ln P(2, 1e-200).
TEST(IncompleteGamma, LogarithmsReachBeyondTheDoubleRange) {
    EXPECT_NEAR(logRegularizedIncompleteGamma(Tail::Upper, 0.5, 1e4), -10005.17758512266433257,
                1e-11);
    EXPECT_NEAR(logRegularizedIncompleteGamma(Tail::Lower, 2.0, 1e-200), -921.7271843781782189166,
                1e-12);
}

// stirlingError against ln Γ(a + 1) − (a + ½)·ln a + a − ln √(2π) from mpmath at 40 digits, on
// the table, in the formula's range between its entries, and at each cut of the series. It is
// added to logarithms of order 1 and more, so its absolute error is what counts.
TEST(StirlingError, MatchesMpmathOnTheTableTheFormulaAndEachSeriesCut) {
    struct Point {
        double a;
        double expected;
    };
    for (const Point p :
         {Point{0.5, 0.15342640972002734529}, Point{15.0, 0.005554733551962801371},
          Point{2.25, 0.036805303309148515599}, Point{35.5, 0.0023473557657616072178},
          Point{80.5, 0.0010351913627249420942}, Point{500.5, 0.00016650014434450310331},
          Point{1e6, 8.3333333333330555556e-8}}) {
        EXPECT_NEAR(stirlingError(p.a), p.expected, 5e-17) << "a " << p.a;
    }
}

}  // namespace
}  // namespace quorvel
