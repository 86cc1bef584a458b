#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "numerics/calculators.h"
#include "numerics/f/noncentral_f.h"
#include "numerics/foundations/gamma_beta/incomplete_beta.h"
#include "numerics/foundations/tail_probability.h"
#include "tests/support/boost_oracle.h"
#include "tests/support/recording_reporter.h"
#include "tests/support/relative_error.h"

namespace quorvel {
namespace {

using testing::IsWithinRelative;
using Messages = std::vector<std::string>;

// Boost's regularized incomplete beta function and its complement are each accurate to a few
// 1e-15 relative over these shapes (Boost.Math's documented error for ibeta/ibetac); both
// tails of ours are compared with them down to the deep tails, at points x = 1 − 2^−k whose
// complement is exact, so that the upper tail next to x = 1 is seen directly.
TEST(IncompleteBetaTails, BothTailsMatchBoostToFullRelativePrecision) {
    double worst = 0.0;
    for (double a : {0.5, 1.0, 2.5, 30.0, 2500.0, 5000.5}) {
        for (double b : {0.5, 1.5, 7.0, 400.0, 5000.0}) {
            for (int k : {1, 2, 4, 8, 12, 20, 30, 40}) {
                const double y = std::ldexp(1.0, -k);
                for (const double x : {y, 1.0 - y}) {
                    const double complement = 1.0 - x;
                    const double lower = oracle::incompleteBeta(a, b, x);
                    const double upper = oracle::incompleteBetaComplement(a, b, x);
                    for (const auto& [tail, expected] :
                         {std::pair{Tail::Lower, lower}, std::pair{Tail::Upper, upper}}) {
                        if (expected < 1e-300) continue;
                        const double ours = incompleteBetaTail(x, complement, a, b, tail);
                        worst = std::max(worst, std::fabs(ours / expected - 1.0));
                        EXPECT_THAT(ours, IsWithinRelative(expected, 2e-13))
                            << "x " << x << " a " << a << " b " << b << " upper "
                            << (tail == Tail::Upper);
                    }
                }
            }
        }
    }
    RecordProperty("worst_relative_error", std::to_string(worst));
    EXPECT_EQ(regularizedIncompleteBeta(0.0, 2.0, 3.0), 0.0);
    EXPECT_EQ(incompleteBetaTail(1.0, 0.0, 2.0, 3.0, Tail::Upper), 0.0);
    EXPECT_EQ(incompleteBetaTail(0.0, 1.0, 2.0, 3.0, Tail::Upper), 1.0);
}

class NoncentralFTailsTest : public ::testing::Test {
  protected:
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    NoncentralF& f = calculators.f();
};

// At λ = 0 the upper tail is the central one, which Boost computes directly (its noncentral
// complement is not used: it is wrong there).
TEST_F(NoncentralFTailsTest, UpperTailIsTheCentralComplementAtZeroNoncentrality) {
    for (int df1 : {1, 4, 30}) {
        for (int df2 : {1, 5, 200}) {
            for (double x : {0.01, 1.0, 7.0, 1e4, 1e12}) {
                const double expected = oracle::fisherFUpper(x, df1, df2);
                EXPECT_THAT(f.upper(x, df1, df2, 0.0, 0), IsWithinRelative(expected, 1e-13))
                    << "x " << x << " df " << df1 << "," << df2;
            }
        }
    }
    EXPECT_EQ(f.upper(0.0, 3, 10, 5.0, 0), 1.0);
    EXPECT_EQ(f.upper(std::nan(""), 3, 10, 5.0, 0), 1.0);
    EXPECT_EQ(f.upper(INFINITY, 3, 10, 5.0, 0), 0.0);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(NoncentralFTailsTest, UpperChecksLikeCdfAndKeepsTheMethods) {
    const struct {
        int df1;
        int df2;
        double lambda;
        const char* message;
    } rejected[] = {{0, 10, -1.0, "Df1 out of range."},
                    {1, 10001, -1.0, "Df2 out of range."},
                    {1, 1, std::nan(""), "Lambda out of range."}};
    for (const auto& bad : rejected) {
        reporter.messages.clear();
        EXPECT_EQ(f.upper(2.0, bad.df1, bad.df2, bad.lambda, 0), -9999.0);
        EXPECT_EQ(reporter.messages, Messages{bad.message});
    }
    reporter.messages.clear();
    EXPECT_EQ(f.upper(2.0, 3, 10, 5.0, 2), -9999.0);
    EXPECT_TRUE(reporter.messages.empty());
    // Tiku's approximation: both tails of the same central F at (f + d)/c.
    EXPECT_NEAR(f.upper(2.0, 4, 20, 6.0, 1) + f.cdf(2.0, 4, 20, 6.0, 1), 1.0, 1e-15);
}

TEST_F(NoncentralFTailsTest, TailTargetsAreCheckedInThePlaceOfCumP) {
    const std::string tailMessage(kTailProbabilityOutOfRange);
    for (double p : {0.0, 1e-301, 1.0, 1.5, std::nan("")}) {
        for (Tail tail : {Tail::Lower, Tail::Upper}) {
            reporter.messages.clear();
            EXPECT_EQ(f.percentagePointOfTail({tail, p}, 3, 10, 5.0), -9999.0);
            EXPECT_EQ(f.noncentralityOfTail(2.0, 3, 10, {tail, p}), -9999.0);
            EXPECT_EQ(reporter.messages, (Messages{tailMessage, tailMessage})) << "p " << p;
        }
    }
    // Df, then λ, before the probability.
    reporter.messages.clear();
    f.percentagePointOfTail({Tail::Upper, 0.0}, 0, 10, 5.0);
    f.percentagePointOfTail({Tail::Upper, 0.0}, 3, 10, -1.0);
    f.noncentralityOfTail(2.0, 3, 10001, {Tail::Upper, 0.0});
    EXPECT_EQ(reporter.messages,
              (Messages{"F distribution parameter out of range. Limits 1 <= Df <= 10000",
                        "F distribution parameter out of range. Limits 0. <= Lambda <= 10000.",
                        "F distribution parameter out of range. Limits: 1 <= Df <= 10000"}));
}

// The critical value at α = 5e-8 and a p-value far beyond the CumP range, solved in their own
// tails: the tail at the answer is the target to the accuracy of the distribution function.
TEST_F(NoncentralFTailsTest, SolvesTailTargetsFarBeyondTheCumPRange) {
    for (double p : {5e-8, 1e-30, 1e-200}) {
        const double x = f.percentagePointOfTail({Tail::Upper, p}, 5, 40, 12.0);
        EXPECT_THAT(f.upper(x, 5, 40, 12.0, 0), IsWithinRelative(p, 1e-11)) << "p " << p;
        const double lambda = f.noncentralityOfTail(2.0, 5, 40, {Tail::Lower, p});
        EXPECT_THAT(f.cdf(2.0, 5, 40, lambda, 0), IsWithinRelative(p, 1e-11)) << "p " << p;
        const double small = f.percentagePointOfTail({Tail::Lower, p}, 5, 40, 12.0);
        EXPECT_THAT(f.cdf(small, 5, 40, 12.0, 0), IsWithinRelative(p, 1e-11)) << "p " << p;
    }
    // At x = 30 the central upper tail is about 1e-14 (below 5e-8): λ > 0 reaches it.
    const double lambda = f.noncentralityOfTail(30.0, 5, 40, {Tail::Upper, 5e-8});
    EXPECT_THAT(f.upper(30.0, 5, 40, lambda, 0), IsWithinRelative(5e-8, 1e-11));
    EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
}

}  // namespace
}  // namespace quorvel
