#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "numerics/calculators.h"
#include "numerics/foundations/integration/qags.h"
#include "numerics/foundations/normal_distribution.h"
#include "numerics/t/noncentral_t.h"
#include "tests/support/boost_oracle.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

using Messages = std::vector<std::string>;

const std::string kDfMessage = "T distribution Df parameter out of range. Limits 1 <= Df <= 100000";
const std::string kDeltaMessage =
    "T distribution parameter Delta out of range. Should have absolute value less than or equal "
    "to 5000.";

// The in-house Φ errs by up to 2.2e-8 just above |z| = 4, where its power-of-ten tail formula
// takes over (about 1e-9 elsewhere). A probability takes Φ once directly and once inside M₀
// with a weight below 1, and Owen's T adds 1e-12: 5e-8 covers that; the rest is rounding.
constexpr double kCdfTolerance = 5e-8;

double boostCdf(double t, int df, double delta) {
    return oracle::noncentralTCdf(t, df, delta);
}

// An absolute error as a test property; std::to_string would print 0.000000.
std::string formatError(double error) {
    std::ostringstream text;
    text.precision(2);
    text << std::scientific << error;
    return text.str();
}

// Whether QAGS with 20 subintervals, as Owen's T was integrated before it was given more,
// fails on T(h, A) of the recursion at (t, df, delta).
bool twentySubintervalsFail(double t, int df, double delta) {
    constexpr int kLimit = 20;
    const double nu = df;
    double h = delta * std::sqrt(nu / (nu + t * t));
    const double A = t / std::sqrt(nu);
    QagsWorkspace<kLimit> workspace;
    return integrateQags(NoncentralT::owenTIntegrand, &h, 0.0, A, 1e-12, 1e-12, kLimit, workspace)
               .ier != 0;
}

class NoncentralTCdfTest : public ::testing::Test {
  protected:
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    NoncentralT& t = calculators.t();
};

TEST_F(NoncentralTCdfTest, AtZeroIsPhiOfMinusDeltaForEveryDf) {
    for (int df : {1, 2, 3, 4, 7, 100000}) {
        for (double delta : {-40.0, -2.0, 0.0, 0.3, 1.5, 6.0}) {
            EXPECT_NEAR(t.cdf(0.0, df, delta), calculators.normal().cdf(-delta), 1e-15)
                << df << " " << delta;
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(NoncentralTCdfTest, AgreesWithBoostForSmallAndHugeDf) {
    double worst = 0.0;
    for (int df : {1, 2, 3, 4, 9, 100000}) {
        for (double delta : {-40.0, -6.0, -1.0, 0.0, 0.5, 2.0, 5.0, 12.0, 40.0}) {
            for (double x : {-50.0, -4.0, -0.7, 0.2, 1.0, 3.0, 8.0, 45.0, 400.0}) {
                const double expected = boostCdf(x, df, delta);
                const double ours = t.cdf(x, df, delta);
                worst = std::max(worst, std::fabs(ours - expected));
                EXPECT_NEAR(ours, expected, kCdfTolerance)
                    << "t " << x << " df " << df << " delta " << delta;
            }
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
    RecordProperty("worst_absolute_error", formatError(worst));
}

// Where −δ²t²/(2(ν+t²)) <= −12.5 the term exp(−δ²/2)·AB/(2π) of M₁ is small but not
// negligible (up to 2e-7 in the probability near t ≈ 6√ν, δ ≈ 5); it must still be there.
TEST_F(NoncentralTCdfTest, KeepsTheExponentialTermOfM1WhereItIsSmall) {
    for (int df : {3, 4, 5, 20}) {
        for (double delta : {5.1, 5.3, 6.0}) {
            for (double scale : {5.5, 7.0, 10.0}) {
                const double x = scale * std::sqrt(static_cast<double>(df));
                const double E = -delta * delta / 2.0 * x * x / (df + x * x);
                ASSERT_LE(E, -12.5);
                EXPECT_NEAR(t.cdf(x, df, delta), boostCdf(x, df, delta), kCdfTolerance)
                    << "t " << x << " df " << df << " delta " << delta;
            }
        }
    }
}

// For large Df the sum of the recursion passes e^±500 and is rescaled; the result must stay a
// probability and agree with Boost.
TEST_F(NoncentralTCdfTest, RescalesTheRecursionForLargeDf) {
    for (int df : {5000, 99999, 100000}) {
        for (double delta : {-40.0, 35.0, 40.0}) {
            for (double x : {-45.0, 30.0, 38.0, 45.0}) {
                const double p = t.cdf(x, df, delta);
                EXPECT_NEAR(p, boostCdf(x, df, delta), kCdfTolerance)
                    << "t " << x << " df " << df << " delta " << delta;
            }
        }
    }
}

TEST_F(NoncentralTCdfTest, ChecksDfFirstThenDeltaAndKeepsTheStoredArguments) {
    ASSERT_GE(t.cdf(1.5, 7, 2.0), 0.0);
    struct Case {
        int df;
        double delta;
        std::string message;
    };
    const std::vector<Case> rejected{
        {0, 0.0, kDfMessage},
        {-3, 0.0, kDfMessage},
        {100001, 0.0, kDfMessage},
        {0, 6000.0, kDfMessage},
        {5, 5000.0001, kDeltaMessage},
        {5, -5000.0001, kDeltaMessage},
        {5, std::numeric_limits<double>::quiet_NaN(), kDeltaMessage},
    };
    for (const Case& c : rejected) {
        reporter.messages.clear();
        t.failed = 0;
        EXPECT_EQ(t.cdf(0.5, c.df, c.delta), -9999.0);
        EXPECT_EQ(reporter.messages, Messages{c.message}) << c.df << " " << c.delta;
        EXPECT_EQ(t.failed, 1);
        EXPECT_EQ(t.tValue, 1.5);
        EXPECT_EQ(t.df, 7);
        EXPECT_EQ(t.delta, 2.0);
    }
    reporter.messages.clear();
    for (double delta : {-5000.0, 5000.0}) {
        const double p = t.cdf(3.0, 100000, delta);
        EXPECT_TRUE(p >= 0.0 && p <= 1.0) << p;
    }
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(t.tValue, 3.0);
    EXPECT_EQ(t.df, 100000);
    EXPECT_EQ(t.delta, 5000.0);
    // A successful call leaves an earlier failure flag as it was.
    EXPECT_EQ(t.failed, 1);
}

// Owen's T over [0, A] fails for a very long range with a sharp peak; −9999 is no
// probability, so cdf reports it rather than return it as a value.
TEST_F(NoncentralTCdfTest, InfiniteTGivesItsLimitAndNaNIsReported) {
    for (int df : {1, 2, 7, 100000}) {
        EXPECT_EQ(t.cdf(INFINITY, df, 3.0), 1.0) << df;
        EXPECT_EQ(t.cdf(-INFINITY, df, 3.0), 0.0) << df;
    }
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(t.cdf(std::nan(""), 5, 3.0), -9999.0);
    EXPECT_EQ(reporter.messages, Messages{"T value is not a number."});
    EXPECT_EQ(t.failed, 1);
}

// Large |t| with large |δ|: for odd Df, Owen's T over [0, A] used to stop short of the
// tolerance with 20 subintervals (beyond |t| of about 110 at Df 1, 3500 at Df 1001). Boost's own
// value is off by up to 6e-9 at Df 1 and |δ| = 5000 (checked against a 40-digit quadrature),
// which kCdfTolerance covers.
TEST_F(NoncentralTCdfTest, AgreesWithBoostWhereOwensTOnceStoppedShort) {
    double worst = 0.0;
    double worstFormer = 0.0;
    int formerFailures = 0;
    for (int df : {1, 2, 3, 1001}) {
        for (double delta : {-5000.0, -500.0, -50.0, -10.0, 10.0, 50.0, 500.0, 5000.0}) {
            for (double x : {150.0, 1e3, 4e3, 3e5, 1e7, 1e9}) {
                for (double signedX : {x, -x}) {
                    const bool formerFailure =
                        df % 2 != 0 && twentySubintervalsFail(signedX, df, delta);
                    const double p = t.cdf(signedX, df, delta);
                    ASSERT_TRUE(p >= 0.0 && p <= 1.0)
                        << p << " t " << signedX << " df " << df << " delta " << delta;
                    const double expected = boostCdf(signedX, df, delta);
                    worst = std::max(worst, std::fabs(p - expected));
                    if (formerFailure) {
                        ++formerFailures;
                        worstFormer = std::max(worstFormer, std::fabs(p - expected));
                    }
                    EXPECT_NEAR(p, expected, kCdfTolerance)
                        << "t " << signedX << " df " << df << " delta " << delta;
                }
            }
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(t.failed, 0);
    // The grid must cross the region where the integration used to fail.
    EXPECT_GE(formerFailures, 80);
    RecordProperty("worst_absolute_error", formatError(worst));
    RecordProperty("former_failures", std::to_string(formerFailures));
    RecordProperty("worst_absolute_error_at_former_failures", formatError(worstFormer));
}

// Beyond |t| = √(largest double) t² overflows and the recursion would give NaN or Φ(−δ); such t
// take the limits 1 and 0, which Boost confirms to within 2⁻⁵³ for every Df and δ here. Just
// below that bound the recursion itself still runs and, for even Df (no Owen's T), must meet the
// same limits.
TEST_F(NoncentralTCdfTest, HugeTGivesTheLimitsOfTheDistribution) {
    constexpr double kLargest = std::numeric_limits<double>::max();
    for (int df : {1, 2, 3, 4, 10, 1001, 100000}) {
        for (double delta : {-5000.0, -100.0, -1.0, 0.0, 1.0, 100.0, 5000.0}) {
            for (double x : {1.35e154, 1e200, 1e308, kLargest}) {
                EXPECT_EQ(t.cdf(x, df, delta), 1.0) << x << " " << df << " " << delta;
                // The vanishing tail keeps its relative precision (1/(π|t|) and 1/(2t²) for
                // the central Df 1 and 2): 0 to within 2⁻⁵³, exactly 0 from Df 3 on.
                EXPECT_NEAR(t.cdf(-x, df, delta), 0.0, 0x1p-53) << x << " " << df << " " << delta;
                if (df >= 3) {
                    EXPECT_EQ(t.cdf(-x, df, delta), 0.0) << x << " " << df << " " << delta;
                }
                EXPECT_NEAR(boostCdf(x, df, delta), 1.0, 0x1p-53) << x << " " << df;
                EXPECT_NEAR(boostCdf(-x, df, delta), 0.0, 0x1p-53) << x << " " << df;
            }
            if (df % 2 == 0) {
                EXPECT_NEAR(t.cdf(1.34e154, df, delta), 1.0, 1e-14) << df << " " << delta;
                EXPECT_NEAR(t.cdf(-1.34e154, df, delta), 0.0, 1e-14) << df << " " << delta;
            }
        }
    }
    EXPECT_NEAR(t.cdf(-1e200, 1, 0.0), 1.0 / (std::numbers::pi * 1e200), 1e-13 * 3.2e-201);
    EXPECT_NEAR(t.upper(1e152, 2, 0.0), 0.5e-304, 1e-13 * 0.5e-304);
    EXPECT_EQ(t.upper(1e152, 3, 0.0), 0.0);
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(t.failed, 0);
}

// The recursion's rounding and Φ's error used to leave the raw sum outside [0, 1] at some of
// these points (−1.9e-8 at t −9.16, Df 72, δ 5.62); the integral of a positive function below
// the chi density never leaves it, so cdf returns the raw value unchanged everywhere, and the
// former negative value is now the true tail.
TEST_F(NoncentralTCdfTest, StaysInTheUnitIntervalWhereTheRecursionLeftIt) {
    const double formerlyNegative = t.evaluateCdf(-9.16, 72, 5.62);
    EXPECT_GT(formerlyNegative, 0.0);
    EXPECT_LT(formerlyNegative, 1e-30);
    for (int df : {1, 3, 10, 72, 1001, 100000}) {
        for (double delta : {-5000.0, -40.0, -5.62, 2.0, 5.62, 40.0, 5000.0}) {
            for (double x : {-5623.41, -50.0, -9.16, 0.5, 10.0, 42.17, 1336.0, 5623.41}) {
                const double raw = t.evaluateCdf(x, df, delta);
                ASSERT_NE(raw, -9999.0) << x << " " << df << " " << delta;
                EXPECT_TRUE(raw >= 0.0 && raw <= 1.0) << x << " " << df << " " << delta;
                EXPECT_EQ(t.cdf(x, df, delta), raw) << x << " " << df << " " << delta;
            }
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
}

// The percentage-point search used to stop on a failed integration of Owen's T at Df 1, δ 50.
TEST_F(NoncentralTCdfTest, TheUpperPercentagePointOfDfOneIsFoundForLargeDelta) {
    const double x = t.percentagePoint(0.9999, 1, 50.0);
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(t.failed, 0);
    EXPECT_NEAR(boostCdf(x, 1, 50.0), 0.9999, kCdfTolerance) << x;
}

// Where the integration over [0, A] stopped on roundoff (small δ, |t| from about 3e5) or
// reported success at a wrong value (odd Df, |A| beyond about 2.4e9: 0.5 instead of 1), Owen's
// reciprocal relation gives the distribution function to Φ's accuracy.
TEST_F(NoncentralTCdfTest, AgreesWithBoostWhereTheIntegrationCannotSeeThePeak) {
    for (int df : {1, 3, 101}) {
        for (double delta : {-5000.0, -1.0, 0.001, 1.0, 7.5}) {
            for (double x : {3e5, 1e7, 2.37e9, 1e12, 1e15}) {
                for (double signedX : {x, -x}) {
                    EXPECT_NEAR(t.cdf(signedX, df, delta), boostCdf(signedX, df, delta),
                                kCdfTolerance)
                        << "t " << signedX << " df " << df << " delta " << delta;
                }
            }
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(t.failed, 0);
}

}  // namespace
}  // namespace quorvel
