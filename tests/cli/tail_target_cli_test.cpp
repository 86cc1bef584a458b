#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/cli/cli_process.h"
#include "tests/support/boost_oracle.h"

namespace quorvel {
namespace {

using testing::runCli;

double printedNumber(const std::vector<std::string>& arguments) {
    const auto run = runCli(arguments);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    return std::strtod(run.out.c_str(), nullptr);
}

// A value or noncentrality solved for a tail probability gives that probability back when the
// same tail is asked of it, far beyond the CumP range: a critical value at alpha 5e-8, a
// chi-square point at 1e-300, an F noncentrality whose lower tail is 1e-20.
TEST(CliTailTarget, SolvesInTheTailAskedAndRoundTrips) {
    struct Case {
        std::vector<std::string> solve;  // ends with the tail option and its probability
        std::vector<std::string> check;  // the tail's quantity, less the solved input
        std::string solvedOption;
    };
    const std::vector<Case> cases{
        {{"t", "value", "--df", "100", "--p-upper", "5e-8"}, {"t", "upper", "--df", "100"},
         "--value"},
        {{"t", "value", "--df", "7", "--delta", "-3", "--p-lower", "1e-30"},
         {"t", "cdf", "--df", "7", "--delta", "-3"}, "--value"},
        {{"chisq", "value", "--df", "3", "--lambda", "20", "--p-upper", "1e-300"},
         {"chisq", "upper", "--df", "3", "--lambda", "20"}, "--value"},
        {{"f", "value", "--df1", "4", "--df2", "30", "--p-lower", "1e-12"},
         {"f", "cdf", "--df1", "4", "--df2", "30"}, "--value"},
        {{"f", "noncentrality", "--value", "2", "--df1", "4", "--df2", "30", "--p-lower", "1e-20"},
         {"f", "cdf", "--value", "2", "--df1", "4", "--df2", "30"}, "--lambda"},
        {{"chisq", "noncentrality", "--value", "10", "--df", "3", "--p-upper", "0.999999"},
         {"chisq", "upper", "--value", "10", "--df", "3"}, "--lambda"},
    };
    for (const Case& c : cases) {
        const double target = std::strtod(c.solve.back().c_str(), nullptr);
        const double solved = printedNumber(c.solve);
        std::vector<std::string> check = c.check;
        char exact[32];
        std::snprintf(exact, sizeof exact, "%.17g", solved);
        check.push_back(c.solvedOption);
        check.push_back(exact);
        const double probability = printedNumber(check);
        EXPECT_LE(std::fabs(probability - target), 1e-9 * target)
            << c.solve[0] << " " << c.solve[1] << " solved " << exact << " gives " << probability;
    }
    // The central t point against an independent quantile.
    const double critical = printedNumber({"t", "value", "--df", "100", "--p-upper", "5e-8"});
    const double reference = oracle::studentsTUpperQuantile(5e-8, 100.0);
    EXPECT_LE(std::fabs(critical - reference), 1e-12 * reference);
}

// Within the CumP range a lower-tail target is the cumulative probability (each search stops
// within its own tolerance); the options exclude
// one another, need a probability below 1, and belong to value and noncentrality only.
TEST(CliTailTarget, AgreesWithCumPAndRefusesWhatItCannotTake) {
    const double lowerTail =
        printedNumber({"chisq", "value", "--df", "5", "--lambda", "2", "--p-lower", "0.9"});
    const double cumP =
        printedNumber({"chisq", "value", "--df", "5", "--lambda", "2", "--cump", "0.9"});
    EXPECT_LE(std::fabs(lowerTail - cumP), 1e-13 * cumP);
    const auto both =
        runCli({"f", "value", "--df1", "1", "--df2", "2", "--cump", "0.5", "--p-upper", "0.5"});
    EXPECT_EQ(both.exitStatus, 2);
    EXPECT_NE(both.err.find("exclude one another"), std::string::npos) << both.err;
    const auto one = runCli({"t", "value", "--df", "5", "--p-upper", "1"});
    EXPECT_EQ(one.exitStatus, 1);
    EXPECT_NE(one.err.find("Tail probability out of range. Limits: 1e-300 <= P < 1."),
              std::string::npos)
        << one.err;
    EXPECT_EQ(runCli({"t", "cdf", "--value", "1", "--df", "5", "--p-lower", "0.5"}).exitStatus,
              2);
}

// Batch rows name the tail in the p_lower or p_upper column, and only one of the three.
TEST(CliTailTarget, BatchReadsTheTailColumns) {
    const auto run = runCli({"--batch", "-"},
                            "distribution,quantity,value,df,noncentrality,cump,p_lower,p_upper\n"
                            "t,value,,100,0,,,5e-8\n"
                            "t,value,,100,0,0.5,,0.5\n");
    EXPECT_EQ(run.exitStatus, 2) << "the second row is invalid";
    char exact[32];
    std::snprintf(exact, sizeof exact, "%.17g",
                  printedNumber({"t", "value", "--df", "100", "--p-upper", "5e-8"}));
    EXPECT_NE(run.out.find(std::string(",,,5e-8,") + exact + ",,,ok"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("give only one of cump, p_lower and p_upper for t value"),
              std::string::npos)
        << run.out;
}

}  // namespace
}  // namespace quorvel
