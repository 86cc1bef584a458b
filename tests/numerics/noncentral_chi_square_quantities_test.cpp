#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "numerics/calculators.h"
#include "model/computation.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

using Messages = std::vector<std::string>;

class ChiSquareQuantitiesTest : public ::testing::Test {
  protected:
    ComputeOutcome compute(QuantityKind quantity, double value, int df, double noncentrality,
                           double cumP, double confidence) {
        ComputeRequest request;
        request.distribution = DistributionKind::ChiSquare;
        request.quantity = quantity;
        request.value = value;
        request.df1 = df;
        request.noncentrality = noncentrality;
        request.cumP = cumP;
        request.confidence = confidence;
        return computeQuantity(calculators, request);
    }

    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
};

// Each field reaches its own argument: the published values would not come back otherwise.
TEST_F(ChiSquareQuantitiesTest, PassesTheRequestInTheRoutinesArgumentOrder) {
    EXPECT_NEAR(compute(QuantityKind::CumP, 10.0, 3, 2.0, 0.7, 0.9).result, 0.89856, 5e-6);
    EXPECT_NEAR(compute(QuantityKind::Value, 3.0, 10, 5.0, 0.5, 0.9).result, 14.1659, 5e-5);
    EXPECT_NEAR(compute(QuantityKind::Noncentrality, 20.0, 5, 7.0, 0.05, 0.9).result, 32.7149,
                5e-5);
    const ComputeOutcome interval = compute(QuantityKind::Interval, 30.0, 5, 7.0, 0.5, 0.95);
    EXPECT_NEAR(interval.lower, 9.1823, 5e-5);
    EXPECT_NEAR(interval.upper, 50.6406, 5e-5);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(ChiSquareQuantitiesTest, RejectedIntervalShowsBothLimitsAsFailed) {
    const ComputeOutcome interval = compute(QuantityKind::Interval, 30.0, 0, 0.0, 0.5, 0.95);
    EXPECT_EQ(interval.lower, -9999.0);
    EXPECT_EQ(interval.upper, -9999.0);
    EXPECT_EQ(reporter.messages, Messages{"Df out of range. Limits: 1 <= Df <= 100000."});
}

}  // namespace
}  // namespace quorvel
