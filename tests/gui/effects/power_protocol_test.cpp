#include "gui/effects/power_protocol.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "model/effects/effect_request.h"
#include "numerics/calculators.h"
#include "tests/support/boost_oracle.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

using enum DistributionKind;
using enum EffectQuantity;

struct ProtocolCase {
    EffectRequest request;
    const char* formula;
};

class PowerProtocolTest : public ::testing::TestWithParam<ProtocolCase> {
  protected:
    testing::RecordingReporter reporter_;
    Calculators calculators_{reporter_};
};

// Every input the request reads stands in the protocol as the command line reads it back, with
// the convention's formula and the result's numbers as the command line prints them.
TEST_P(PowerProtocolTest, HoldsEveryInputTheFormulaAndTheResult) {
    const EffectRequest& request = GetParam().request;
    const EffectOutcome outcome = computeEffect(calculators_, request);
    ASSERT_FALSE(outcome.failed);
    const std::string protocol = powerProtocol(calculators_, request, outcome);
    for (const auto& [input, text] : effectTextsOf(*effectCommandFor(request), request)) {
        EXPECT_NE(protocol.find(" = " + text), std::string::npos)
            << effectInputName(input) << " " << text << "\n"
            << protocol;
    }
    EXPECT_NE(protocol.find(GetParam().formula), std::string::npos) << protocol;
    for (const std::string& number : effectOutputNumbers(request.quantity, outcome)) {
        EXPECT_NE(protocol.find(number), std::string::npos) << number << "\n" << protocol;
    }
    EXPECT_TRUE(reporter_.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    EveryFamilyAndQuantity, PowerProtocolTest,
    ::testing::Values(
        ProtocolCase{{.distribution = T, .quantity = Power, .effect = 0.5, .n1 = 12, .n2 = 17},
                     "delta = d * sqrt(N1*N2/(N1 + N2)), Df = N1 + N2 - 2"},
        ProtocolCase{{.distribution = T, .quantity = SampleSize, .effect = 0.5, .power = 0.85},
                     "delta = d * sqrt(N/2), Df = 2N - 2"},
        ProtocolCase{{.distribution = T,
                      .quantity = SampleSize,
                      .effect = 0.4,
                      .alpha = 0.025,
                      .sides = 1,
                      .twoSample = false},
                     "one-sided alpha 0.025"},
        ProtocolCase{{.distribution = F, .quantity = Power, .effect = 0.15, .df1 = 3, .df2 = 40},
                     "lambda = f2 * (Df1 + Df2 + 1)"},
        ProtocolCase{{.distribution = F, .quantity = SampleSize, .effect = 0.1, .df1 = 4},
                     "Df2 = N - Df1 - 1"},
        ProtocolCase{{.distribution = ChiSquare, .quantity = SampleSize, .effect = 0.3, .df1 = 2},
                     "lambda = N * w^2"}));

// The test line's numbers are the test's: δ = d·√(N/2) at the N found and the central t's
// 0.975 quantile (Boost.Math, good to 1e-15 here).
TEST(PowerProtocol, TheTestLineAndAFailure) {
    testing::RecordingReporter reporter;
    Calculators calculators(reporter);
    const EffectRequest request{.distribution = T, .quantity = SampleSize, .effect = 0.5};
    const EffectOutcome outcome = computeEffect(calculators, request);
    ASSERT_EQ(outcome.n, 64);
    const std::string protocol = powerProtocol(calculators, request, outcome);
    const std::string lead = "Test at N = 64: Df = 126, delta = ";
    const std::size_t at = protocol.find(lead);
    ASSERT_NE(at, std::string::npos) << protocol;
    std::size_t used = 0;
    const std::string numbers = protocol.substr(at + lead.size());
    EXPECT_DOUBLE_EQ(std::stod(numbers, &used), 0.5 * std::sqrt(32.0));
    const std::string criticalLead = ", critical value = ";
    ASSERT_EQ(numbers.compare(used, criticalLead.size(), criticalLead), 0);
    EXPECT_NEAR(std::stod(numbers.substr(used + criticalLead.size())),
                oracle::studentsTQuantile(0.975, 126.0), 1e-13);
    EXPECT_NE(protocol.find("Result: N = 64 per group, power reached = 0.80"), std::string::npos);

    const EffectRequest tooSmall{
        .distribution = ChiSquare, .quantity = SampleSize, .effect = 0.00001, .df1 = 1};
    const EffectOutcome failed = computeEffect(calculators, tooSmall);
    ASSERT_TRUE(failed.failed);
    const std::string refused = powerProtocol(calculators, tooSmall, failed);
    EXPECT_NE(refused.find("Result: failed: " + failed.messages.front()), std::string::npos)
        << refused;
    EXPECT_EQ(refused.find("Test"), std::string::npos);
    EXPECT_TRUE(powerProtocol(calculators, {.quantity = Estimate}, {}).empty());
}

}  // namespace
}  // namespace quorvel
