#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/cli/cli_process.h"
#include "tests/support/input_rule_table.h"

namespace quorvel {
namespace {

using testing::runCli;

double parsed(const std::string& line) {
    return std::strtod(line.c_str(), nullptr);
}

TEST(CliFCdf, PrintsTheProbabilityWithSeventeenDigits) {
    const auto run =
        runCli({"f", "cdf", "--value", "3", "--df1", "5", "--df2", "10", "--lambda", "0"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_NEAR(parsed(run.out), 0.9344424, 5e-8);
    EXPECT_EQ(run.out.find('.'), 1u);
    EXPECT_GE(run.out.size(), 18u) << "17 significant digits: " << run.out;
    EXPECT_EQ(run.out.back(), '\n');
}

TEST(CliFCdf, MatchesPublishedValuesIncludingTheFarTail) {
    EXPECT_NEAR(parsed(runCli({"f", "cdf", "--value=1", "--df1=1", "--df2=1", "--lambda=0"}).out),
                0.5, 1e-11);
    EXPECT_NEAR(
        parsed(
            runCli({"f", "cdf", "--value", "2", "--df1", "3", "--df2", "10", "--lambda", "5"}).out),
        0.3961061, 5e-8);
    EXPECT_NEAR(
        parsed(runCli({"f", "cdf", "--value", "50", "--df1", "2", "--df2", "2", "--lambda", "500"})
                   .out),
        0.0072863, 5e-8);
    const auto far =
        runCli({"f", "cdf", "--value", "50", "--df1", "3", "--df2", "10", "--lambda", "10000"});
    EXPECT_EQ(far.exitStatus, 0);
    EXPECT_EQ(far.err, "");
    EXPECT_NEAR(parsed(far.out) / 5.44e-128, 1.0, 1e-3);
}

TEST(CliFCdf, CalculationErrorGoesToStandardErrorAndExitsOne) {
    const auto run =
        runCli({"f", "cdf", "--value", "3", "--df1", "0", "--df2", "10", "--lambda", "0"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.out, "-9999\n");
    EXPECT_EQ(run.err, "Df1 out of range.\n");
}

// A search that the bracketed fallback recovers prints its answer with nothing on standard
// error and exit status 0; one whose answer truly lies outside the accepted range keeps the
// message it always had.
TEST(CliSearches, RecoveredSearchesSayNothingAndOutOfRangeAnswersKeepTheirMessage) {
    const auto recovered = runCli(
        {"f", "noncentrality", "--value", "1000", "--df1", "10", "--df2", "1", "--cump", "0.5"});
    EXPECT_EQ(recovered.exitStatus, 0);
    EXPECT_EQ(recovered.err, "");
    EXPECT_NEAR(parsed(recovered.out), 4540.8, 0.05);

    const auto outside = runCli({"f", "noncentrality", "--value", "100000", "--df1", "1", "--df2",
                                 "1000", "--cump", "0.5"});
    EXPECT_EQ(outside.exitStatus, 1);
    EXPECT_EQ(outside.out, "-9999\n");
    EXPECT_EQ(outside.err, "Lambda out of range.\n");

    const auto chiSquare =
        runCli({"chisq", "noncentrality", "--value", "8000", "--df", "10", "--cump", "0.5"});
    EXPECT_EQ(chiSquare.exitStatus, 1);
    EXPECT_EQ(chiSquare.err, "Lambda out of range. Limits: 0. <= Lambda <= 5000.\n");

    const auto interval =
        runCli({"chisq", "interval", "--value", "1000", "--df", "30", "--confidence", "0.9999"});
    EXPECT_EQ(interval.exitStatus, 0);
    EXPECT_EQ(interval.err, "");
}

TEST(CliFCdf, HugeWholeDfIsPassedSaturatedAndRejectedByTheRoutine) {
    const auto run =
        runCli({"f", "cdf", "--value", "3", "--df1", "1e12", "--df2", "10", "--lambda", "0"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "Df1 out of range.\n");
}

// The table the window's tests run too: a Df as --df1 of the F distribution function, any other
// number as --cump of the F value. A refused text is named with its option; a taken one gives
// what the same number written plainly gives.
TEST(CliInputRule, TheSharedTableOfTakenAndRefusedNumbers) {
    const auto run = [](bool df, const std::string& text) {
        return df ? runCli({"f", "cdf", "--value", "1", "--df1", text, "--df2", "1"})
                  : runCli({"f", "value", "--cump", text, "--df1", "1", "--df2", "1"});
    };
    for (const testing::InputRuleRow& row : testing::inputRuleRows()) {
        const auto given = run(row.degreesOfFreedom, row.text);
        if (!row.refusal.empty()) {
            EXPECT_EQ(given.exitStatus, 2) << row.name;
            EXPECT_EQ(given.out, "") << row.name;
            EXPECT_EQ(given.err, "quorvel-cli: option " +
                                     std::string(row.degreesOfFreedom ? "--df1" : "--cump") + ": " +
                                     row.refusal + " (see quorvel-cli --help)\n")
                << row.name;
            continue;
        }
        char plain[32];
        std::snprintf(plain, sizeof plain, "%.17g", row.number);
        const auto expected = run(row.degreesOfFreedom, plain);
        EXPECT_EQ(given.exitStatus, 0) << row.name << ": " << given.err;
        EXPECT_EQ(given.out, expected.out) << row.name;
        EXPECT_FALSE(given.out.empty()) << row.name;
    }
}

struct UsageCase {
    const char* name;
    std::vector<std::string> arguments;
    const char* mentions;
};

class CliUsageError : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CliUsageError, PrintsOneLineNamingTheProblemAndComputesNothing) {
    const auto run = runCli(GetParam().arguments);
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(GetParam().mentions), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
}

const std::vector<std::string> kGood = {"--value", "3",  "--df1",    "5",
                                        "--df2",   "10", "--lambda", "0"};

std::vector<std::string> fCdf(std::vector<std::string> options) {
    std::vector<std::string> arguments{"f", "cdf"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    return arguments;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliUsageError,
    ::testing::Values(
        UsageCase{"NoArguments", {}, "distribution"},
        UsageCase{"UnknownDistribution", {"g", "cdf"}, "'g'"},
        UsageCase{"UnknownQuantity", {"f", "median"}, "'median'"},
        UsageCase{"UnknownOption", fCdf({"--value", "3", "--colour", "2"}), "--colour"},
        UsageCase{"MissingOption", fCdf({"--value", "3", "--df1", "5", "--lambda", "0"}), "--df2"},
        UsageCase{
            "RepeatedOption",
            fCdf({"--value", "3", "--value", "4", "--df1", "5", "--df2", "10", "--lambda", "0"}),
            "more than once"},
        UsageCase{"TrailingCharacters",
                  fCdf({"--value", "3x", "--df1", "5", "--df2", "10", "--lambda", "0"}), "'3x'"},
        UsageCase{"NotFinite",
                  fCdf({"--value", "nan", "--df1", "5", "--df2", "10", "--lambda", "0"}), "'nan'"},
        UsageCase{"FractionalDf",
                  fCdf({"--value", "3", "--df1", "2.5", "--df2", "10", "--lambda", "0"}),
                  "whole number"},
        UsageCase{"OptionOfAnotherDistribution",
                  fCdf({"--value", "3", "--df", "5", "--df2", "10", "--lambda", "0"}),
                  "does not belong"},
        UsageCase{
            "OptionNotUsedByTheQuantity",
            fCdf({"--value", "3", "--df1", "5", "--df2", "10", "--lambda", "0", "--cump", "0.5"}),
            "not used"},
        UsageCase{"OptionWithoutNumber",
                  fCdf({"--value", "3", "--df1", "5", "--df2", "10", "--lambda"}),
                  "needs a number"}),
    [](const ::testing::TestParamInfo<UsageCase>& info) { return info.param.name; });

TEST(CliHelp, PrintsTheUsageAndSucceeds) {
    const auto run = runCli({"--help"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_NE(run.out.find("quorvel-cli DISTRIBUTION QUANTITY"), std::string::npos);
    EXPECT_NE(run.out.find("--confidence"), std::string::npos);
    EXPECT_NE(run.out.find("--version"), std::string::npos);
}

TEST(CliVersion, PrintsTheReleaseWhereverItStandsAndSucceeds) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--version"}, {"f", "cdf", "--value", "3", "--version"}}) {
        const auto run = runCli(arguments);
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, "quorvel " QUORVEL_VERSION "\n");
        // A three-part release: the line read as three numbers and written back is the same.
        unsigned first = 0, second = 0, third = 0;
        ASSERT_EQ(std::sscanf(run.out.c_str(), "quorvel %u.%u.%u", &first, &second, &third), 3);
        EXPECT_EQ(run.out, "quorvel " + std::to_string(first) + "." + std::to_string(second) + "." +
                               std::to_string(third) + "\n");
    }
}

}  // namespace
}  // namespace quorvel
