#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "numerics/calculators.h"
#include "numerics/chisquare/noncentral_chi_square.h"
#include "numerics/foundations/tail_probability.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

using Messages = std::vector<std::string>;

constexpr const char* kNegative = "Chi-Square must be nonnegative.";
constexpr const char* kDfRange = "Df out of range. Limits: 1 <= Df <= 100000.";
constexpr const char* kDfRangeOfValue = "Df out of range. Limits: 1 <= Df <= 100000";
constexpr const char* kLambdaRange = "Lambda out of range. Limits: 0. <= Lambda <= 5000.";
const std::string kTailRange{kTailProbabilityOutOfRange};

class ChiSquareTailOperationsTest : public ::testing::Test {
  protected:
    // The message of one rejected call, which must return the failure value and set `failed`.
    template <typename Call>
    std::string rejection(Call call) {
        reporter.messages.clear();
        const double result = call();
        EXPECT_EQ(result, -9999.0);
        EXPECT_EQ(chiSquare.failed, 1);
        return reporter.messages.size() == 1 ? reporter.messages.front() : "";
    }

    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    NoncentralChiSquare& chiSquare = calculators.chiSquare();
};

// upper checks exactly as cdf does: x, Df, then λ, NaN failing each.
TEST_F(ChiSquareTailOperationsTest, UpperChecksItsArgumentsInTheOrderOfCdf) {
    const double nan = std::nan("");
    EXPECT_EQ(rejection([&] { return chiSquare.upper(-1.0, 0, -1.0); }), kNegative);
    EXPECT_EQ(rejection([&] { return chiSquare.upper(nan, 3, 1.0); }), kNegative);
    EXPECT_EQ(rejection([&] { return chiSquare.upper(1.0, 100001, -1.0); }), kDfRange);
    EXPECT_EQ(rejection([&] { return chiSquare.upper(1.0, 3, 5000.5); }), kLambdaRange);
    EXPECT_EQ(rejection([&] { return chiSquare.upper(1.0, 3, nan); }), kLambdaRange);
}

// The probability is checked where percentagePoint and noncentrality check CumP: last.
TEST_F(ChiSquareTailOperationsTest, TailSearchesCheckTheProbabilityInThePlaceOfCumP) {
    EXPECT_EQ(rejection([&] {
                  return chiSquare.percentagePointOfTail({Tail::Upper, 0.0}, 0, 6000.0);
              }),
              kLambdaRange);
    EXPECT_EQ(rejection([&] {
                  return chiSquare.percentagePointOfTail({Tail::Upper, 0.0}, 0, 1.0);
              }),
              kDfRangeOfValue);
    EXPECT_EQ(rejection([&] {
                  return chiSquare.noncentralityOfTail(-1.0, 0, {Tail::Lower, 2.0});
              }),
              kNegative);
    EXPECT_EQ(rejection([&] {
                  return chiSquare.noncentralityOfTail(1.0, 0, {Tail::Lower, 2.0});
              }),
              kDfRange);
    for (const double p : {1.0, 9e-301, -0.5, std::nan("")}) {
        EXPECT_EQ(rejection([&] {
                      return chiSquare.percentagePointOfTail({Tail::Upper, p}, 3, 1.0);
                  }),
                  kTailRange)
            << p;
        EXPECT_EQ(rejection([&] {
                      return chiSquare.noncentralityOfTail(5.0, 3, {Tail::Lower, p});
                  }),
                  kTailRange)
            << p;
    }
}

// Each tail target is met in its own tail down to 1e-300 (relative 1e-12 in the probability),
// where 1 − cumP would have lost every digit.
TEST_F(ChiSquareTailOperationsTest, TailTargetsAreMetInTheirOwnTail) {
    for (const double p : {0.3, 5e-8, 1e-40, 1e-300}) {
        for (const int df : {1, 10, 2000}) {
            for (const double lambda : {0.0, 40.0, 4000.0}) {
                const double above = chiSquare.percentagePointOfTail({Tail::Upper, p}, df, lambda);
                EXPECT_NEAR(chiSquare.upper(above, df, lambda), p, 1e-12 * p)
                    << "upper p " << p << " df " << df << " lambda " << lambda;
                const double below = chiSquare.percentagePointOfTail({Tail::Lower, p}, df, lambda);
                if (below > 0.0) {  // 0 where the point lies below the smallest double
                    EXPECT_NEAR(chiSquare.cdf(below, df, lambda), p, 1e-12 * p)
                        << "lower p " << p << " df " << df << " lambda " << lambda;
                }
            }
        }
    }
    const double lambda = chiSquare.noncentralityOfTail(1000.0, 10, {Tail::Upper, 1e-41});
    EXPECT_NEAR(chiSquare.upper(1000.0, 10, lambda), 1e-41, 1e-53);
    EXPECT_TRUE(reporter.messages.empty());
}

// A target no λ >= 0 reaches gives the message of noncentrality, with `failed` 0: at λ 0 the
// upper tail of x = 30 at Df 5 is already 1.5e-5.
TEST_F(ChiSquareTailOperationsTest, UnreachableUpperTargetHasNoNoncentrality) {
    EXPECT_EQ(chiSquare.noncentralityOfTail(30.0, 5, {Tail::Upper, 1e-6}), -9999.0);
    EXPECT_EQ(chiSquare.failed, 0);
    EXPECT_EQ(reporter.messages,
              Messages{"No non-negative value of Lambda will produce the desired cumulative "
                       "probability."});
}

}  // namespace
}  // namespace quorvel
