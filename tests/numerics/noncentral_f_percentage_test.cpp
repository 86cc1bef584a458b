#include <gtest/gtest.h>

#include <algorithm>
#include <boost/math/distributions/non_central_f.hpp>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "numerics/calculators.h"
#include "numerics/f/noncentral_f.h"
#include "numerics/f/root_bracketing.h"
#include "numerics/f/three_moment.h"
#include "tests/support/recording_reporter.h"
#include "tests/support/relative_error.h"

namespace quorvel {
namespace {

using testing::IsWithinRelative;
using Messages = std::vector<std::string>;

double boostQuantile(double p, double df1, double df2, double lambda) {
    return boost::math::quantile(boost::math::non_central_f_distribution<double>(df1, df2, lambda),
                                 p);
}

// The searched function is the distribution function, good to an absolute 1e-9 (the series
// stops there), so the root is good to 1e-9 over the density; Brent's method stops when the
// bracket is within 2e-9 of the estimate (relative) on either side.
double percentagePointTolerance(double p, double df1, double df2, double lambda) {
    const boost::math::non_central_f_distribution<double> reference(df1, df2, lambda);
    const double x = boost::math::quantile(reference, p);
    return 1e-9 / boost::math::pdf(reference, x) + 5e-9 * x;
}

class NoncentralFPercentageTest : public ::testing::Test {
  protected:
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    NoncentralF& f = calculators.f();
};

struct PublishedPoint {
    double cumP;
    int df1;
    int df2;
    double lambda;
    double expected;
    double tolerance;  // absolute: the published values carry about seven digits
};

TEST_F(NoncentralFPercentageTest, ReproducesPublishedPercentagePoints) {
    const PublishedPoint points[] = {
        {0.95, 5, 10, 0.0, 3.325835, 1e-6}, {0.05, 5, 10, 0.0, 0.211190, 1e-6},
        {0.5, 1, 1, 0.0, 1.0, 1e-8},        {0.0001, 1, 1, 0.0, 2.4674e-8, 1e-12},
        {0.9999, 1, 1, 0.0, 4.0528e7, 1e3}, {0.5, 3, 10, 5.0, 2.499466, 1e-6},
        {0.95, 3, 10, 5.0, 8.908299, 1e-6},
    };
    for (const PublishedPoint& point : points) {
        EXPECT_NEAR(f.percentagePoint(point.cumP, point.df1, point.df2, point.lambda, 0),
                    point.expected, point.tolerance)
            << "cumP " << point.cumP << " df1 " << point.df1 << " df2 " << point.df2 << " lambda "
            << point.lambda;
        EXPECT_EQ(f.failed, 0);
    }
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(NoncentralFPercentageTest, MethodOneReturnsTheThreeMomentApproximation) {
    EXPECT_NEAR(f.percentagePoint(0.5, 3, 10, 5.0, 1), 2.5090, 5e-5);
    EXPECT_NEAR(f.percentagePoint(0.95, 3, 10, 5.0, 1), 8.8982, 5e-5);
    EXPECT_TRUE(reporter.messages.empty());
}

// Boost.Math inverts its own full-precision distribution function; the tolerance is what our
// searched function and Brent's stopping rule allow (see percentagePointTolerance).
TEST_F(NoncentralFPercentageTest, AgreesWithBoostWithinTheSearchedFunctionsAccuracy) {
    double worstRelative = 0.0;
    for (int df1 : {1, 3, 10, 60}) {
        for (int df2 : {1, 2, 5, 20, 300}) {
            for (double lambda : {0.0, 0.5, 5.0, 40.0, 300.0}) {
                for (double p : {0.0001, 0.05, 0.5, 0.95, 0.9999}) {
                    const double expected = boostQuantile(p, df1, df2, lambda);
                    const double ours = f.percentagePoint(p, df1, df2, lambda, 0);
                    worstRelative = std::max(worstRelative, std::fabs(ours / expected - 1.0));
                    EXPECT_NEAR(ours, expected, percentagePointTolerance(p, df1, df2, lambda))
                        << "p " << p << " df1 " << df1 << " df2 " << df2 << " lambda " << lambda;
                }
            }
        }
    }
    EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
    RecordProperty("worst_relative_error", std::to_string(worstRelative));
}

struct RejectedPoint {
    double cumP;
    int df1;
    int df2;
    double lambda;
    const char* message;
};

TEST_F(NoncentralFPercentageTest, ChecksDfThenLambdaThenCumP) {
    const char* df = "F distribution parameter out of range. Limits 1 <= Df <= 10000";
    const char* lambda = "F distribution parameter out of range. Limits 0. <= Lambda <= 10000.";
    const char* cumP = "CumP out of range. Limits are .0001 <= CumP <= .9999 ";
    const RejectedPoint rejected[] = {
        {0.5, 0, 10, -1.0, df},
        {0.00009, 3, 10001, 5.0, df},
        {0.5, 3, 10, 10000.5, lambda},
        {2.0, 3, 10, -0.5, lambda},
        {0.5, 3, 10, std::nan(""), lambda},
        {0.00009, 3, 10, 5.0, cumP},
        {0.99991, 3, 10, 0.0, cumP},
        {std::nan(""), 3, 10, 5.0, cumP},
    };
    for (const RejectedPoint& bad : rejected) {
        reporter.messages.clear();
        EXPECT_EQ(f.percentagePoint(bad.cumP, bad.df1, bad.df2, bad.lambda, 0), -9999.0);
        EXPECT_EQ(reporter.messages, Messages{bad.message})
            << "cumP " << bad.cumP << " df1 " << bad.df1 << " df2 " << bad.df2;
        EXPECT_EQ(f.failed, 1);
    }
}

TEST_F(NoncentralFPercentageTest, AcceptsTheInclusiveCumPBounds) {
    for (double p : {0.0001, 0.9999}) {
        for (double lambda : {0.0, 5.0}) {
            EXPECT_NEAR(f.percentagePoint(p, 3, 10, lambda, 0), boostQuantile(p, 3, 10, lambda),
                        percentagePointTolerance(p, 3, 10, lambda));
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
}

// For df2 <= 2 the three-moment ν is not a positive number, and for df1 = df2 = λ = 10000 it
// exceeds 10000; the search then starts next to 0 without any message. For (1, 300, 0.5) the
// central search of the start runs into a plateau where P = 1 at both ends of its bracket;
// that failure of the start alone is not shown either.
TEST_F(NoncentralFPercentageTest, FindsTheAnswerSilentlyWhereTheStartValueCannotBeHad) {
    struct Case {
        int df1;
        int df2;
        double lambda;
    };
    for (const Case& c : {Case{3, 1, 5.0}, Case{3, 2, 5.0}, Case{10000, 10000, 10000.0},
                          Case{1, 300, 0.5}, Case{1, 1, 10000.0}}) {
        for (double p : {0.0001, 0.5, 0.95}) {
            EXPECT_NEAR(f.percentagePoint(p, c.df1, c.df2, c.lambda, 0),
                        boostQuantile(p, c.df1, c.df2, c.lambda),
                        percentagePointTolerance(p, c.df1, c.df2, c.lambda))
                << "p " << p << " df1 " << c.df1 << " df2 " << c.df2 << " lambda " << c.lambda;
            EXPECT_EQ(f.failed, 0);
        }
    }
    EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
}

TEST_F(NoncentralFPercentageTest, MethodOneReportsWhereTheApproximationDoesNotExist) {
    EXPECT_EQ(f.percentagePoint(0.5, 3, 2, 5.0, 1), -9999.0);
    EXPECT_EQ(reporter.messages, Messages{"F distribution parameter out of range."});
    EXPECT_EQ(f.failed, 1);
}

TEST_F(NoncentralFPercentageTest, CentralSearchReportsItsOwnFailuresOnceEach) {
    // The plateau start described above, searched on its own, is reported.
    const double nu = threeMomentParameters(1.0, 300.0, 0.5).nu;
    EXPECT_EQ(f.centralPercentagePoint(nu, 300.0, 0.5, 0), -9999.0);
    EXPECT_EQ(reporter.messages, Messages{"Unable to Bracket Root in Inverse Central F Rountine."});
    EXPECT_EQ(f.failed, 1);

    // Degrees of freedom outside the distribution function's range: the first failing
    // evaluation ends the search, so its message is the only one.
    reporter.messages.clear();
    EXPECT_EQ(f.centralPercentagePoint(17392.0, 10000.0, 0.5, 0), -9999.0);
    EXPECT_EQ(reporter.messages, Messages{"F distribution parameter out of range."});

    reporter.messages.clear();
    EXPECT_EQ(f.centralPercentagePoint(5.0, 10.0, 0.0, 0), 0.0);
    EXPECT_EQ(f.failed, 0);
    EXPECT_NEAR(f.centralPercentagePoint(2.5, 7.5, 0.3, 0), boostQuantile(0.3, 2.5, 7.5, 0.0),
                percentagePointTolerance(0.3, 2.5, 7.5, 0.0));
    EXPECT_TRUE(reporter.messages.empty());
}

// Every search ends within its limits at the corners of the accepted ranges, with an answer
// whose probability is the target and no message. There, with λ = 10000 and df2 = 1, our
// distribution function itself is only good to a few 1e-9 (measured 1.8e-9 at x = 6.37e11
// for df1 = df2 = 1 against 40-digit arithmetic), hence 5e-9 besides Brent's relative 4e-9.
TEST_F(NoncentralFPercentageTest, EndsWithAnAnswerAtTheCornersOfTheAcceptedRanges) {
    for (int df1 : {1, 2, 10000}) {
        for (int df2 : {1, 2, 10000}) {
            for (double lambda : {0.0, 10000.0}) {
                for (double p : {0.0001, 0.9999}) {
                    const double x = f.percentagePoint(p, df1, df2, lambda, 0);
                    const boost::math::non_central_f_distribution<double> reference(df1, df2,
                                                                                    lambda);
                    EXPECT_NEAR(boost::math::cdf(reference, x), p,
                                5e-9 + 4e-9 * x * boost::math::pdf(reference, x))
                        << "p " << p << " df1 " << df1 << " df2 " << df2 << " lambda " << lambda;
                }
            }
        }
    }
    EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
}

// The bracketing machinery on functions whose behaviour is known exactly.
struct CountingFunction {
    explicit CountingFunction(double (*shape)(double), int failAtCall = -1)
        : shape(shape), failAtCall(failAtCall) {}

    double (*shape)(double);
    int failAtCall;
    std::vector<double> arguments;

    std::optional<double> operator()(double x) {
        arguments.push_back(x);
        if (static_cast<int>(arguments.size()) == failAtCall) {
            return std::nullopt;
        }
        return shape(x);
    }
};

TEST(RootBracketing, ExpandsTowardsTheRootAndStopsAtTheFloorWithoutEvaluatingThere) {
    CountingFunction decreasing{[](double x) { return 0.2 - x; }};
    const RootSearchResult result =
        findNonNegativeRoot(0.5, 1.0, decreasing, ExpansionFloor{0.0, 0.2});
    EXPECT_EQ(result.status, RootSearchStatus::Found);
    EXPECT_NEAR(result.root, 0.2, 1e-9);
    EXPECT_GT(*std::min_element(decreasing.arguments.begin(), decreasing.arguments.end()), 0.0);

    // The side with the smaller |f| moves out by 1.6 times the width.
    CountingFunction increasing{[](double x) { return x - 300.0; }};
    const RootSearchResult far = findNonNegativeRoot(1.0, 1.01, increasing, std::nullopt);
    EXPECT_EQ(far.status, RootSearchStatus::Found);
    EXPECT_NEAR(far.root, 300.0, 300.0 * 4e-9);
    EXPECT_DOUBLE_EQ(increasing.arguments.at(2), 1.026);
    EXPECT_DOUBLE_EQ(increasing.arguments.at(3), 1.026 + 1.6 * 0.026);
}

TEST(RootBracketing, GivesUpAfterAThousandExpansions) {
    CountingFunction positive{[](double) { return 1.0; }};
    EXPECT_EQ(findNonNegativeRoot(1.0, 2.0, positive, std::nullopt).status,
              RootSearchStatus::NotBracketed);
    EXPECT_EQ(positive.arguments.size(), 2u + 1000u);

    // A zero at one end is not a sign change.
    CountingFunction zeroAtEnd{[](double x) { return x <= 1.0 ? 0.0 : 1.0; }};
    EXPECT_EQ(findNonNegativeRoot(1.0, 2.0, zeroAtEnd, std::nullopt).status,
              RootSearchStatus::NotBracketed);
}

TEST(RootBracketing, BrentGivesUpAfterAThousandIterations) {
    // A jump leaves Brent's method bisecting; from a width of 1e300 down to its 2e-9 that
    // takes more than 1000 halvings.
    CountingFunction step{[](double x) { return x < 1.0 ? -1.0 : 1.0; }};
    EXPECT_EQ(findNonNegativeRoot(0.5, 1e300, step, std::nullopt).status,
              RootSearchStatus::NotConverged);
    EXPECT_EQ(step.arguments.size(), 2u + 1000u);
}

TEST(RootBracketing, AFailedEvaluationEndsTheSearchAtOnce) {
    for (int failAt : {1, 2, 3, 6}) {
        CountingFunction far{[](double x) { return x - 300.0; }, failAt};
        EXPECT_EQ(findNonNegativeRoot(1.0, 1.01, far, std::nullopt).status,
                  RootSearchStatus::EvaluationFailed);
        EXPECT_EQ(static_cast<int>(far.arguments.size()), failAt);
    }
}

}  // namespace
}  // namespace quorvel
