#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "numerics/calculators.h"
#include "numerics/f/noncentral_f.h"
#include "numerics/f/three_moment.h"
#include "numerics/foundations/roots/root_bracketing.h"
#include "tests/support/boost_oracle.h"
#include "tests/support/recording_reporter.h"
#include "tests/support/relative_error.h"

namespace quorvel {
namespace {

using testing::IsWithinRelative;
using Messages = std::vector<std::string>;

// The searched function is our distribution function, good to an absolute 1e-9 (the series
// stops there), so the root is good to 1e-9 over the density; Brent's method stops when the
// bracket is within 2e-9 of the estimate (relative) on either side.
void expectBoostQuantile(double ours, double p, double df1, double df2, double lambda) {
    const double x = oracle::noncentralFQuantile(p, df1, df2, lambda);
    EXPECT_NEAR(ours, x, 1e-9 / oracle::noncentralFPdf(x, df1, df2, lambda) + 5e-9 * x)
        << "p " << p << " df1 " << df1 << " df2 " << df2 << " lambda " << lambda;
}

class NoncentralFPercentageTest : public ::testing::Test {
  protected:
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    NoncentralF& f = calculators.f();
};

TEST_F(NoncentralFPercentageTest, ReproducesPublishedPercentagePointsAndStartValues) {
    struct Published {
        double cumP;
        int df1;
        int df2;
        double lambda;
        int method;
        double expected;
        double relativeTolerance;  // half a unit in the last published digit
    };
    const Published points[] = {
        {0.95, 5, 10, 0.0, 0, 3.325835, 2e-7},  {0.05, 5, 10, 0.0, 0, 0.211190, 3e-6},
        {0.5, 1, 1, 0.0, 0, 1.0, 1e-9},         {0.0001, 1, 1, 0.0, 0, 2.4674e-8, 3e-5},
        {0.9999, 1, 1, 0.0, 0, 4.0528e7, 2e-5}, {0.5, 3, 10, 5.0, 0, 2.499466, 2e-7},
        {0.95, 3, 10, 5.0, 0, 8.908299, 6e-8},  {0.5, 3, 10, 5.0, 1, 2.5090, 2e-5},
        {0.95, 3, 10, 5.0, 1, 8.8982, 6e-6},
    };
    for (const Published& p : points) {
        EXPECT_THAT(f.percentagePoint(p.cumP, p.df1, p.df2, p.lambda, p.method),
                    IsWithinRelative(p.expected, p.relativeTolerance))
            << "cumP " << p.cumP << " df1 " << p.df1 << " df2 " << p.df2 << " method " << p.method;
    }
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(f.failed, 0);
}

// Boost.Math inverts its own full-precision distribution function. The grid includes the
// accepted bounds of CumP and df2 <= 2, where the three-moment start does not exist.
TEST_F(NoncentralFPercentageTest, AgreesWithBoostWithinTheSearchedFunctionsAccuracy) {
    double worstRelative = 0.0;
    for (int df1 : {1, 3, 10, 60}) {
        for (int df2 : {1, 2, 5, 20, 300}) {
            for (double lambda : {0.0, 0.5, 5.0, 40.0, 300.0}) {
                for (double p : {0.0001, 0.05, 0.5, 0.95, 0.9999}) {
                    const double ours = f.percentagePoint(p, df1, df2, lambda, 0);
                    expectBoostQuantile(ours, p, df1, df2, lambda);
                    const double x = oracle::noncentralFQuantile(p, df1, df2, lambda);
                    worstRelative = std::max(worstRelative, std::fabs(ours / x - 1.0));
                }
            }
        }
    }
    EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
    RecordProperty("worst_relative_error", std::to_string(worstRelative));
}

// Where the start cannot be had (ν not positive for df2 <= 2, above 10000 for df1 = df2 =
// λ = 10000; for (1, 300, 0.5) the central search of the start meets P = 1 at both ends of
// its bracket) the search starts next to 0, and the user sees no message.
TEST_F(NoncentralFPercentageTest, FindsTheAnswerSilentlyWhereTheStartCannotBeHad) {
    const struct {
        int df1;
        int df2;
        double lambda;
    } cases[] = {{3, 1, 5.0}, {3, 2, 5.0}, {10000, 10000, 10000.0}, {1, 300, 0.5}};
    for (const auto& c : cases) {
        for (double p : {0.0001, 0.5, 0.95}) {
            expectBoostQuantile(f.percentagePoint(p, c.df1, c.df2, c.lambda, 0), p, c.df1, c.df2,
                                c.lambda);
            EXPECT_EQ(f.failed, 0);
        }
    }
    EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
}

TEST_F(NoncentralFPercentageTest, ReportsRejectedArgumentsAndFailedSearchesOnceEach) {
    const char* df = "F distribution parameter out of range. Limits 1 <= Df <= 10000";
    const char* lambda = "F distribution parameter out of range. Limits 0. <= Lambda <= 10000.";
    const char* cumP = "CumP out of range. Limits are .0001 <= CumP <= .9999 ";
    const double nan = std::nan("");
    // Checked in this order: Df, then λ, then CumP.
    const struct {
        double cumP;
        int df1;
        int df2;
        double lambda;
        const char* message;
    } rejected[] = {
        {0.5, 0, 10, -1.0, df},      {0.00009, 3, 10001, 5.0, df}, {0.5, 3, 10, 10000.5, lambda},
        {2.0, 3, 10, -0.5, lambda},  {0.5, 3, 10, nan, lambda},    {0.00009, 3, 10, 5.0, cumP},
        {0.99991, 3, 10, 0.0, cumP}, {nan, 3, 10, 5.0, cumP},
    };
    for (const auto& bad : rejected) {
        reporter.messages.clear();
        f.failed = 0;
        EXPECT_EQ(f.percentagePoint(bad.cumP, bad.df1, bad.df2, bad.lambda, 0), -9999.0);
        EXPECT_EQ(reporter.messages, Messages{bad.message}) << "cumP " << bad.cumP;
        EXPECT_EQ(f.failed, 1);
    }

    // The approximation alone, where it does not exist.
    reporter.messages.clear();
    EXPECT_EQ(f.percentagePoint(0.5, 3, 2, 5.0, 1), -9999.0);
    EXPECT_EQ(reporter.messages, Messages{"F distribution parameter out of range."});

    // The plateau start above, searched on its own, is reported.
    reporter.messages.clear();
    const double nu = threeMomentParameters(1.0, 300.0, 0.5).nu;
    EXPECT_EQ(f.centralPercentagePoint(nu, 300.0, 0.5, 0), -9999.0);
    EXPECT_EQ(reporter.messages, Messages{"Unable to Bracket Root in Inverse Central F Rountine."});

    // The first failing evaluation ends the search: one message, not one per step.
    reporter.messages.clear();
    EXPECT_EQ(f.centralPercentagePoint(17392.0, 10000.0, 0.5, 0), -9999.0);
    EXPECT_EQ(reporter.messages, Messages{"F distribution parameter out of range."});
}

// Every search ends within its limits at the corners of the accepted ranges, with no message.
// There, with λ = 10000 and df2 = 1, our distribution function itself is only good to a few
// 1e-9 (measured 1.8e-9 at x = 6.37e11 for df1 = df2 = 1 against 40-digit arithmetic), hence
// 5e-9 in P besides Brent's relative 4e-9 in x.
TEST_F(NoncentralFPercentageTest, EndsWithAnAnswerAtTheCornersOfTheAcceptedRanges) {
    for (int df1 : {1, 2, 10000}) {
        for (int df2 : {1, 2, 10000}) {
            for (double lambda : {0.0, 10000.0}) {
                for (double p : {0.0001, 0.9999}) {
                    const double x = f.percentagePoint(p, df1, df2, lambda, 0);
                    EXPECT_NEAR(oracle::noncentralFCdf(x, df1, df2, lambda), p,
                                5e-9 + 4e-9 * x * oracle::noncentralFPdf(x, df1, df2, lambda))
                        << "p " << p << " df1 " << df1 << " df2 " << df2 << " lambda " << lambda;
                }
            }
        }
    }
    EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
}

// The bracketing machinery on functions whose behaviour is known exactly.
struct RecordingFunction {
    explicit RecordingFunction(double (*shape)(double), int failAtCall = -1)
        : shape(shape), failAtCall(failAtCall) {}

    std::optional<double> operator()(double x) {
        arguments.push_back(x);
        if (static_cast<int>(arguments.size()) == failAtCall) {
            return std::nullopt;
        }
        return shape(x);
    }

    double (*shape)(double);
    int failAtCall;
    std::vector<double> arguments;
};

TEST(RootBracketing, ExpandsTheSmallerSideBy1Point6AndStopsAtTheFloorUnevaluated) {
    RecordingFunction increasing([](double x) { return x - 300.0; });
    const RootSearchResult far = findNonNegativeRoot(1.0, 1.01, increasing, std::nullopt);
    EXPECT_EQ(far.status, RootSearchStatus::Found);
    EXPECT_NEAR(far.root, 300.0, 300.0 * 4e-9);
    EXPECT_DOUBLE_EQ(increasing.arguments.at(2), 1.026);
    EXPECT_DOUBLE_EQ(increasing.arguments.at(3), 1.026 + 1.6 * 0.026);

    RecordingFunction decreasing([](double x) { return 0.2 - x; });
    const RootSearchResult near = findNonNegativeRoot(0.5, 1.0, decreasing, ExpansionFloor{0, 0.2});
    EXPECT_NEAR(near.root, 0.2, 1e-9);
    EXPECT_GT(*std::min_element(decreasing.arguments.begin(), decreasing.arguments.end()), 0.0);
}

TEST(RootBracketing, GivesUpAfterItsLimitsOrAtTheFirstFailedEvaluation) {
    // A zero at one end is no sign change.
    RecordingFunction zeroAtEnd([](double x) { return x <= 1.0 ? 0.0 : 1.0; });
    EXPECT_EQ(findNonNegativeRoot(1.0, 2.0, zeroAtEnd, std::nullopt).status,
              RootSearchStatus::NotBracketed);
    EXPECT_EQ(zeroAtEnd.arguments.size(), 2u + 1000u);

    // A jump leaves Brent's method bisecting; from a width of 1e300 down to its 2e-9 that
    // takes more than 1000 halvings.
    RecordingFunction step([](double x) { return x < 1.0 ? -1.0 : 1.0; });
    EXPECT_EQ(findNonNegativeRoot(0.5, 1e300, step, std::nullopt).status,
              RootSearchStatus::NotConverged);
    EXPECT_EQ(step.arguments.size(), 2u + 1000u);

    for (int failAt : {1, 2, 3, 6}) {
        RecordingFunction failing([](double x) { return x - 300.0; }, failAt);
        EXPECT_EQ(findNonNegativeRoot(1.0, 1.01, failing, std::nullopt).status,
                  RootSearchStatus::EvaluationFailed);
        EXPECT_EQ(static_cast<int>(failing.arguments.size()), failAt);
    }
}

// The central point of an upper tail on real Df keeps a small α's digits (1 − α would round
// them away), and a lower tail is solved there; against Boost's central F.
TEST_F(NoncentralFPercentageTest, CentralPointOfATailOnRealDfKeepsSmallAlphas) {
    const struct {
        double nu1, nu2, probability;
        Tail tail;
    } cases[] = {{2.1, 35.7, 0.05, Tail::Upper},
                 {2.1, 35.7, 1e-12, Tail::Upper},
                 {3.5, 12.5, 1e-30, Tail::Upper},
                 {30.3, 3000.9, 1e-3, Tail::Lower}};
    for (const auto& c : cases) {
        const double reference = c.tail == Tail::Upper
                                     ? oracle::fisherFUpperQuantile(c.probability, c.nu1, c.nu2)
                                     : oracle::fisherFQuantile(c.probability, c.nu1, c.nu2);
        const double ours = f.centralPercentagePointOfTail(c.nu1, c.nu2, {c.tail, c.probability});
        EXPECT_NEAR(ours / reference, 1.0, 1e-12) << c.nu1 << " " << c.nu2 << " " << c.probability;
    }
    EXPECT_EQ(f.centralPercentagePointOfTail(2.0, 10.0, {Tail::Upper, 0.0}), -9999.0);
    EXPECT_EQ(reporter.messages.back(), kTailProbabilityOutOfRange);
}

}  // namespace
}  // namespace quorvel
