#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "numerics/calculators.h"
#include "numerics/foundations/integration/qags.h"
#include "numerics/t/noncentral_t.h"
#include "tests/support/boost_oracle.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

// QAGS on Owen's integrand over [0, a] with at most `limit` subintervals, as owenT asks for it.
template <int limit>
QagsResult integrateOwenTIntegrand(double h, double a) {
    QagsWorkspace<limit> workspace;
    return integrateQags(NoncentralT::owenTIntegrand, &h, 0.0, a, 1e-12, 1e-12, limit, workspace);
}

// Owen's T function against closed forms with Φ from the standard library's erfc, and against
// Boost.Math's owens_t; the integration asks for 1e-12.
class OwenTTest : public ::testing::Test {
  protected:
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    NoncentralT& t = calculators.t();
};

double exactPhi(double z) {
    return 0.5 * std::erfc(-z / std::sqrt(2.0));
}

TEST_F(OwenTTest, MatchesClosedFormsAndBoost) {
    for (double h : {-3.0, -0.7, 0.0, 0.4, 1.0, 2.5, 6.0}) {
        EXPECT_NEAR(t.owenT(h, 1.0), exactPhi(h) * (1.0 - exactPhi(h)) / 2.0, 1e-13) << h;
    }
    for (double a : {-1e6, -50.0, -2.0, -0.3, 0.0, 0.3, 1.0, 7.0, 100.0, 1e6, 1e12}) {
        EXPECT_NEAR(t.owenT(0.0, a), std::atan(a) / (2.0 * std::numbers::pi), 1e-13) << a;
    }
    for (double h : {-8.0, -1.5, 0.01, 0.5, 2.0, 5.0, 30.0}) {
        for (double a : {-40.0, -1.0, 0.05, 0.9, 3.0, 25.0, 400.0}) {
            EXPECT_NEAR(t.owenT(h, a), oracle::owensT(h, a), 1e-12) << h << " " << a;
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
}

// The exact relations carry the in-house Φ, whose error reaches 2.2e-8 just beyond |z| = 4.
constexpr double kPhiAccuracy = 2.5e-8;

// Over [0, 3e5] with h = 1e-6 the integration stops on roundoff whatever the number of
// subintervals, and beyond |a| = 1e6 the rule can miss the peak at 0 without an error (0.5
// instead of 1 in the distribution function at t 2.37e9, Df 1, δ −5000). There Owen's
// reciprocal relation takes over.
TEST_F(OwenTTest, TakesTheReciprocalRelationWhereTheIntegrationCannotSeeThePeak) {
    ASSERT_NE(integrateOwenTIntegrand<20>(1e-6, 3e5).ier, 0);
    ASSERT_NE(integrateOwenTIntegrand<50>(1e-6, 3e5).ier, 0);
    for (double h : {1e-6, 1e-3, 0.3, 1.0, 2.5}) {
        for (double a : {3e5, 2e6, 2.37e9, 1e12, 1e100}) {
            EXPECT_NEAR(t.owenT(h, a), oracle::owensT(h, a), kPhiAccuracy) << h << " " << a;
            EXPECT_NEAR(t.owenT(-h, -a), -oracle::owensT(h, a), kPhiAccuracy) << h << " " << a;
            EXPECT_NEAR(t.owenTByReciprocal(h, a / 1e5), oracle::owensT(h, a / 1e5), kPhiAccuracy)
                << h << " " << a / 1e5;
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(t.failed, 0);
}

// Where |a| <= 1e6, |h·a| <= 5000 and 20 subintervals reach the tolerance, owenT returns that
// very integral
// times the stored 1/(2π), bit for bit. Elsewhere it integrates again with more subintervals
// (h = ±1e-3, ±5e-3 at a = 1e6 need 21), or takes T(0, a) = atan(a)/(2π), T(h, ±∞) =
// ±(1 − Φ(|h|))/2 where the integral beyond |a| is below double precision, or the reciprocal
// relation; Boost's owens_t checks those to Φ's accuracy.
TEST_F(OwenTTest, KeepsEveryTwentySubintervalResultAndCompletesTheOthers) {
    constexpr double kStoredOneOverTwoPi = 0.159154943091896;
    int kept = 0;
    int completed = 0;
    double worstCompleted = 0.0;
    for (double h :
         {-40.0, -8.0, -2.0, -0.3, -5e-3, -1e-3, 0.0, 1e-4, 1e-3, 5e-3, 0.5, 4.2, 12.0}) {
        for (double a : {-1e150, -1e17, -1e9, -3e5, -500.0, -2.0, 0.5, 10.0, 2e5, 3e5, 1e6, 1e7,
                         1e12, 1e17, 1e150}) {
            const QagsResult twenty = integrateOwenTIntegrand<20>(h, a);
            const double value = t.owenT(h, a);
            if (std::fabs(a) <= 1e6 && std::fabs(h * a) <= 5000.0 && twenty.ier == 0) {
                ++kept;
                EXPECT_EQ(value, twenty.result * kStoredOneOverTwoPi) << h << " " << a;
            } else {
                ++completed;
                const double difference = std::fabs(value - oracle::owensT(h, a));
                worstCompleted = std::max(worstCompleted, difference);
                EXPECT_LE(difference, kPhiAccuracy) << h << " " << a;
            }
        }
    }
    // Both branches must really be exercised by the grid.
    EXPECT_GE(kept, 50);
    EXPECT_GE(completed, 40);
    EXPECT_TRUE(reporter.messages.empty());
    RecordProperty("worst_absolute_error_completed", std::to_string(worstCompleted));
}

TEST(OwenTIntegrandTest, UnderflowsToZeroAndAlwaysClearsTheFlag) {
    double h = 40.0;
    int flag = 7;
    EXPECT_EQ(NoncentralT::owenTIntegrand(0.0, &h, flag), 0.0);
    EXPECT_EQ(flag, 0);
    h = 0.5;
    flag = 7;
    EXPECT_DOUBLE_EQ(NoncentralT::owenTIntegrand(2.0, &h, flag), std::exp(-0.125 * 5.0) / 5.0);
    EXPECT_EQ(flag, 0);
}

}  // namespace
}  // namespace quorvel
