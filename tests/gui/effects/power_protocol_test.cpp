#include "gui/effects/power_protocol.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "model/effects/effect_request.h"
#include "model/number_text.h"
#include "numerics/calculators.h"
#include "tests/support/boost_oracle.h"
#include "tests/support/design_requests.h"
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

struct DesignProtocolCase {
    EffectRequest request;
    const char* headline;
    const char* result;  // the result line, {} where a number of the result stands
};

class DesignProtocolTest : public ::testing::TestWithParam<DesignProtocolCase> {
  protected:
    testing::RecordingReporter reporter_;
    Calculators calculators_{reporter_};
};

// A design's protocol names its question and test, holds every input the request reads, the
// design's formula as the command line prints it, and the result with the numbers the command
// line prints for the question.
TEST_P(DesignProtocolTest, NamesTheQuestionTheFormulaAndTheResult) {
    const EffectRequest& request = GetParam().request;
    const EffectOutcome outcome = computeEffect(calculators_, request);
    ASSERT_FALSE(outcome.failed);
    const std::string protocol = powerProtocol(calculators_, request, outcome);
    EXPECT_EQ(protocol.rfind(GetParam().headline, 0), 0u) << protocol;
    for (const auto& [input, text] : effectTextsOf(*effectCommandFor(request), request)) {
        EXPECT_NE(protocol.find(" = " + text), std::string::npos)
            << effectInputName(input) << " " << text << "\n"
            << protocol;
    }
    EXPECT_NE(protocol.find("Convention: " + designFormula(request) + "; "), std::string::npos)
        << protocol;
    // The result line with the command line's numbers in its places, in order.
    std::string result = GetParam().result;
    for (const std::string& number : effectOutputNumbers(request, outcome)) {
        const std::size_t place = result.find("{}");
        ASSERT_NE(place, std::string::npos) << result;
        result.replace(place, 2, number);
    }
    EXPECT_EQ(result.find("{}"), std::string::npos) << result;
    EXPECT_NE(protocol.find(result + '\n'), std::string::npos) << result << "\n" << protocol;
    EXPECT_TRUE(reporter_.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    StudyDesignsAndQuestions, DesignProtocolTest,
    ::testing::Values(
        DesignProtocolCase{{.distribution = F,
                            .quantity = SampleSize,
                            .effect = 0.0625,
                            .power = 0.8,
                            .design = StudyDesign::Anova,
                            .groups = 4},
                           "Sample size of a one-way ANOVA F test",
                           "Result: N = {}, power reached = {}"},
        DesignProtocolCase{{.distribution = T,
                            .quantity = SampleSize,
                            .effect = 0.1,
                            .power = 0.8,
                            .design = StudyDesign::Equivalence,
                            .margin = 0.5},
                           "Sample size of two one-sided t tests for equivalence, two equal groups",
                           "Result: N = {} per group, power reached = {}"},
        DesignProtocolCase{{.distribution = T,
                            .quantity = Power,
                            .effect = 0.1,
                            .n1 = 40,
                            .n2 = 40,
                            .power = 0.8,
                            .design = StudyDesign::Equivalence,
                            .question = PowerQuestion::Sensitivity},
                           "Sensitivity of two one-sided t tests for equivalence, two groups",
                           "Result: smallest margin = {}"},
        DesignProtocolCase{{.distribution = ChiSquare,
                            .quantity = Power,
                            .n = 300,
                            .df1 = 50,
                            .power = 0.8,
                            .alternative = Alternative::Less,
                            .design = StudyDesign::Rmsea,
                            .question = PowerQuestion::Sensitivity,
                            .rmsea0 = 0.05},
                           "Sensitivity of a chi-square test of model fit by RMSEA, not-close fit",
                           "Result: largest rmsea1 = {}"},
        DesignProtocolCase{{.distribution = F,
                            .quantity = Power,
                            .effect = 0.0625,
                            .n = 60,
                            .power = 0.8,
                            .design = StudyDesign::Anova,
                            .question = PowerQuestion::Criterion,
                            .groups = 3},
                           "Criterion of a one-way ANOVA F test",
                           "Result: alpha = {}"},
        DesignProtocolCase{{.distribution = F,
                            .quantity = Power,
                            .effect = 0.1 / 0.9,
                            .n = 100,
                            .design = StudyDesign::Regression,
                            .question = PowerQuestion::Compromise,
                            .predictors = 5,
                            .r2 = 0.1,
                            .ratio = 2.0},
                           "Compromise of a multiple regression F test",
                           "Result: alpha = {}, power = {}"}));

// The test line gives the design's numbers at the request tested: repeated measures with
// ε = 0.6 on real Df (M − 1)ε and (N − K)(M − 1)ε with the central F's upper 0.05 point at them
// (Boost.Math); RMSEA's λ0 = (N − 1)·D·ε0² and λ1 at the ε1 found, with the lower 0.05 point of
// the noncentral chi-square under λ0.
TEST(DesignProtocol, TheTestLineHoldsTheDesignsDfNoncentralitiesAndCriticalValue) {
    testing::RecordingReporter reporter;
    Calculators calculators(reporter);
    const EffectRequest& rm = testing::kRmWithinPower;
    const std::string protocol = powerProtocol(calculators, rm, computeEffect(calculators, rm));
    const double nu1 = (4.0 - 1.0) * 0.6;
    const double nu2 = (30.0 - 2.0) * (4.0 - 1.0) * 0.6;
    const std::string lead = "Test: Df1 = " + formatShortest(nu1) +
                             ", Df2 = " + formatShortest(nu2) + ", lambda = 9, critical value = ";
    const std::size_t at = protocol.find(lead);
    ASSERT_NE(at, std::string::npos) << protocol;
    EXPECT_NEAR(std::stod(protocol.substr(at + lead.size())),
                oracle::fisherFUpperQuantile(0.05, nu1, nu2), 1e-10);

    const EffectRequest& rmsea = testing::kNotCloseSensitivity;
    const EffectOutcome found = computeEffect(calculators, rmsea);
    const std::string fit = powerProtocol(calculators, rmsea, found);
    const std::string rmseaLead = "Test at rmsea1 = " + formatNumber(found.effect) +
                                  ": Df = 50, lambda0 = 37.375, lambda1 = ";
    const std::size_t rmseaAt = fit.find(rmseaLead);
    ASSERT_NE(rmseaAt, std::string::npos) << fit;
    std::size_t used = 0;
    const std::string numbers = fit.substr(rmseaAt + rmseaLead.size());
    EXPECT_DOUBLE_EQ(std::stod(numbers, &used), 299.0 * 50.0 * found.effect * found.effect);
    const std::string criticalLead = ", critical value = ";
    ASSERT_EQ(numbers.compare(used, criticalLead.size(), criticalLead), 0);
    EXPECT_NEAR(std::stod(numbers.substr(used + criticalLead.size())),
                oracle::noncentralChiSquareQuantile(0.05, 50.0, 37.375), 1e-8);
    EXPECT_NE(fit.find("reject when X2 < c"), std::string::npos) << fit;
    EXPECT_TRUE(reporter.messages.empty());
}

}  // namespace
}  // namespace quorvel
