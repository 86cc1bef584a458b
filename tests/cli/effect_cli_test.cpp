// The effect-size, power and sample-size quantities and the conveniences of the command line,
// run as a user runs them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cli/batch_run.h"
#include "tests/cli/cli_process.h"

namespace quorvel {
namespace {

using testing::runCli;

std::vector<double> numbersOf(const std::string& line) {
    std::istringstream stream(line);
    std::vector<double> numbers;
    for (double number = 0.0; stream >> number;) {
        numbers.push_back(number);
    }
    return numbers;
}

struct Expected {
    std::vector<std::string> arguments;
    std::vector<double> numbers;
    double tolerance;
};

// Published figures: the two-group d interval of Steiger and Fouladi's method, and power and
// sample sizes as R's pwr gives them for Cohen's conventions.
TEST(CliEffects, PrintsEstimatesPowersAndSampleSizes) {
    const Expected cases[] = {
        {{"t", "d", "--value", "2.5", "--n1", "11", "--n2", "11"}, {1.0660, 0.1566, 1.9524}, 5e-5},
        {{"t", "power", "--d", "0.5", "--n1", "20", "--n2", "20"}, {0.337939}, 5e-7},
        {{"f", "power", "--f2", "0.15", "--df1", "3", "--df2", "40"}, {0.517255}, 5e-7},
        {{"chisq", "power", "--w", "0.3", "--df", "4", "--n", "100"}, {0.663486}, 5e-7},
    };
    for (const Expected& c : cases) {
        const auto run = runCli(c.arguments);
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(run.err, "");
        const std::vector<double> numbers = numbersOf(run.out);
        ASSERT_EQ(numbers.size(), c.numbers.size()) << run.out;
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            EXPECT_NEAR(numbers[i], c.numbers[i], c.tolerance) << c.arguments[0] << " " << i;
        }
    }
    const struct {
        std::vector<std::string> arguments;
        int n;
    } sizes[] = {
        {{"t", "sample-size", "--d", "0.5", "--power", "0.8"}, 64},
        {{"f", "sample-size", "--f2", "0.15", "--df1", "3", "--power", "0.8"}, 77},
        {{"chisq", "sample-size", "--w", "0.3", "--df", "4", "--power", "0.8"}, 133},
    };
    for (const auto& c : sizes) {
        const auto run = runCli(c.arguments);
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        const std::vector<double> numbers = numbersOf(run.out);
        ASSERT_EQ(numbers.size(), 2u) << run.out;
        EXPECT_EQ(numbers[0], c.n) << run.out;
        EXPECT_GE(numbers[1], 0.8);
    }
}

TEST(CliEffects, ReadsDistributionNamesInAnyCaseAndTheCentralDistributionByDefault) {
    const auto upper = runCli({"F", "cdf", "--value", "3", "--df1", "5", "--df2", "10"});
    EXPECT_EQ(upper.exitStatus, 0) << upper.err;
    EXPECT_EQ(upper.out, "0.93444243790615589\n");
    const auto x2 = runCli({"X2", "cdf", "--value", "3", "--df", "2"});
    EXPECT_EQ(x2.exitStatus, 0) << x2.err;
    EXPECT_NEAR(std::strtod(x2.out.c_str(), nullptr), 1.0 - std::exp(-1.5), 1e-9);
    const auto value = runCli({"t", "value", "--cump", "0.975", "--df", "10"});
    EXPECT_EQ(value.exitStatus, 0) << value.err;
    EXPECT_NEAR(std::strtod(value.out.c_str(), nullptr), 2.228138852, 1e-8);
}

// Each bad input is a usage error: exit status 2, one line naming it, nothing computed.
TEST(CliEffects, RefusesBadInputsWithOneLineEach) {
    const struct {
        std::vector<std::string> arguments;
        const char* named;
    } bad[] = {
        {{"t", "power", "--n", "20"}, "--d"},
        {{"t", "power", "--d", "0.5", "--n", "20", "--n", "30"}, "more than once"},
        {{"t", "power", "--d", "0.5", "--n", "20", "--w", "0.3"}, "--w"},
        {{"t", "power", "--d", "0.5", "--n", "20.5"}, "whole"},
        {{"t", "power", "--d", "0.5", "--n", "1"}, "--n"},
        {{"t", "power", "--d", "0.5", "--n1", "1", "--n2", "1"}, "--n1"},
        {{"t", "power", "--d", "0.5", "--n1", "10"}, "--n2"},
        {{"t", "power", "--d", "0.5", "--n", "20", "--alpha", "0.6"}, "--alpha"},
        {{"t", "power", "--d", "0.5", "--n", "20", "--sides", "3"}, "--sides"},
        {{"t", "sample-size", "--d", "0.5", "--power", "0.04"}, "--power"},
        {{"t", "sample-size", "--d", "0.5", "--power", "0.99999"}, "--power"},
        {{"t", "sample-size", "--d", "0.5", "--power", "80"}, "0.8"},
        {{"t", "sample-size", "--d", "0.5", "--power", "0.8", "--design", "crossover"}, "--design"},
        {{"f", "power", "--f2", "-0.1", "--df1", "3", "--df2", "40"}, "--f2"},
        {{"chisq", "w", "--value", "10", "--df", "4", "--n", "1"}, "--n"},
        {{"t", "d", "--value", "2", "--n", "10", "--confidence", "95"}, "0.95"},
        {{"t", "interval", "--value", "2", "--df", "10", "--confidence", "95"}, "0.95"},
        {{"t", "eta2", "--value", "2"}, "eta2"},
    };
    for (const auto& c : bad) {
        const auto run = runCli(c.arguments);
        EXPECT_EQ(run.exitStatus, 2) << c.named;
        EXPECT_EQ(run.out, "") << c.named;
        EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    }
}

TEST(CliEffects, ACalculationErrorOfTheFamilyIsShownAsToday) {
    const auto run = runCli({"f", "eta2", "--value", "3", "--df1", "0", "--df2", "10"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.err.find("Df1 out of range."), std::string::npos) << run.err;
}

TEST(BatchEffects, OldAndNewRowsGetOneOutputRowEach) {
    std::istringstream in(
        "distribution,quantity,value,df1,df2,noncentrality,n,n1,n2,effect,power,alpha\n"
        "f,cdf,3,5,10,0,,,,,,\n"
        "t,d,2.5,,,,,11,11,,,\n"
        "f,power,,3,40,,,,,0.15,,\n"
        "chisq,sample-size,,4,,,,,,0.3,0.8,\n"
        "t,power,,,,,1,,,0.5,,\n");
    std::ostringstream out, err;
    const int status = cli::runBatch(in, out, err);
    std::vector<std::string> lines;
    std::istringstream text(out.str());
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 6u) << out.str();
    EXPECT_NE(lines[0].find("result,lower,upper,status,messages,achieved_power"),
              std::string::npos);
    EXPECT_NE(lines[1].find("0.93444243790615589"), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find(",ok,"), std::string::npos) << lines[2];
    EXPECT_NE(lines[3].find("0.5172"), std::string::npos) << lines[3];
    EXPECT_NE(lines[4].find(",133,"), std::string::npos) << lines[4];
    EXPECT_NE(lines[5].find("invalid"), std::string::npos) << lines[5];
    EXPECT_EQ(status, 2);
}

// The one-sided intervals print the unbounded end as the command line prints an infinite
// number; a plain interval takes --alternative too, the other quantities refuse it.
TEST(CliEffects, OneSidedIntervalsPrintTheirBound) {
    const auto greater = runCli(
        {"t", "g", "--value", "2.5", "--n1", "11", "--n2", "11", "--alternative", "greater"});
    EXPECT_EQ(greater.exitStatus, 0) << greater.err;
    EXPECT_EQ(greater.out.substr(greater.out.rfind(' ')), " inf\n") << greater.out;
    const auto less = runCli({"t", "interval", "--value", "2", "--df", "10", "--alternative=less"});
    EXPECT_EQ(less.exitStatus, 0) << less.err;
    EXPECT_EQ(less.out.substr(0, 5), "-inf ") << less.out;
    const auto lambda = runCli(
        {"f", "interval", "--value", "3", "--df1", "2", "--df2", "10", "--alternative", "less"});
    EXPECT_EQ(lambda.out.substr(0, 2), "0 ") << lambda.out;
    // The one-sided level is the two-sided interval's at 2C − 1: .975 one-sided is .95 two-sided.
    const auto twoSided = runCli({"chisq", "v", "--value", "20", "--n", "100", "--rows", "3",
                                  "--cols", "4", "--confidence", "0.95"});
    const auto oneSided = runCli({"chisq", "v", "--value", "20", "--n", "100", "--rows", "3",
                                  "--cols", "4", "--confidence", "0.975", "--alternative", "less"});
    EXPECT_EQ(numbersOf(twoSided.out).at(2), numbersOf(oneSided.out).at(2));
    EXPECT_EQ(numbersOf(oneSided.out).at(1), 0.0);

    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"f", "cdf", "--value", "1", "--df1", "2", "--df2", "3",
                                   "--lambda", "0", "--alternative", "less"},
          {"t", "d", "--value", "2", "--n", "10", "--alternative", "above"},
          {"chisq", "v", "--value", "2", "--n", "10", "--rows", "1", "--cols", "3"}}) {
        const auto run = runCli(bad);
        EXPECT_EQ(run.exitStatus, 2) << bad[1];
        EXPECT_EQ(run.out, "");
    }
}

// An interval that cannot hold its estimate says why on standard error, and is no error.
TEST(CliEffects, AnIntervalMissingItsEstimateSaysWhy) {
    const auto run = runCli({"f", "eta2", "--value", "2", "--df1", "50", "--df2", "5"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.err.rfind("Note: the estimate lies above the upper limit", 0), 0u) << run.err;
    const auto empty = runCli({"chisq", "rmsea", "--value", "2", "--df", "20", "--n", "50"});
    EXPECT_EQ(empty.exitStatus, 0);
    EXPECT_NE(empty.err.find("the interval is empty"), std::string::npos) << empty.err;
}

TEST(BatchEffects, RowsColsAndAlternativeColumnsAreRead) {
    std::istringstream in(
        "distribution,quantity,value,df1,n,rows,cols,alternative,confidence\n"
        "chisq,v,20,,100,3,4,greater,0.95\n"
        "t,interval,2,10,,,,less,\n"
        "t,g,2,,10,,,sideways,\n");
    std::ostringstream out, err;
    EXPECT_EQ(cli::runBatch(in, out, err), 2);
    std::vector<std::string> lines;
    std::istringstream text(out.str());
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 4u) << out.str();
    EXPECT_NE(lines[1].find(",inf,ok,"), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find(",-inf,"), std::string::npos) << lines[2];
    EXPECT_NE(lines[3].find("invalid"), std::string::npos) << lines[3];
}

// A study design prints its numbers on one line of standard output and its test on standard
// error; a batch row with the design's columns computes the same numbers.
TEST(CliEffects, DesignsPrintOneLineAndTheirTestAndRunInABatch) {
    const struct {
        std::vector<std::string> arguments;
        std::string batchRow;  // the same request under the header below
        std::size_t numbers;
    } cases[] = {
        {{"f", "power", "--design", "rm-within", "--groups", "2", "--measurements", "3",
          "--correlation", "0.5", "--epsilon", "0.8", "--f", "0.25", "--n", "30"},
         "f,power,rm-within,30,0.0625,2,3,0.5,0.8,,,,,,",
         1},
        {{"f", "sample-size", "--design", "r2-change", "--predictors", "4", "--tested", "2", "--r2",
          "0.2", "--r2-reduced", "0.15", "--power", "0.8"},
         "f,sample-size,r2-change,,,,,,,4,2,0.2,0.15,,0.8",
         2},
        {{"chisq", "compromise", "--design", "rmsea", "--df", "30", "--rmsea0", "0.05", "--rmsea1",
          "0.1", "--n", "100", "--ratio", "1"},
         "",
         2},
        {{"t", "power", "--design", "equivalence", "--margin", "0.4", "--d", "0.1", "--n", "60"},
         "",
         1},
    };
    std::string batch =
        "distribution,quantity,design,n,effect,groups,measurements,correlation,epsilon,"
        "predictors,tested,r2,r2_reduced,ratio,power\n";
    std::string expected;
    for (const auto& c : cases) {
        const auto run = runCli(c.arguments);
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(run.err.rfind("Design: ", 0), 0u) << run.err;
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), ' ') + 1, long(c.numbers)) << run.out;
        if (!c.batchRow.empty()) {
            batch += c.batchRow + "\n";
            expected += run.out.substr(
                0, run.out.find(' ') == std::string::npos ? run.out.size() - 1 : run.out.find(' '));
            expected += "\n";
        }
    }
    const auto run = runCli({"--batch", "-"}, batch);
    EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
    std::string results;
    std::istringstream lines(run.out);
    std::string line;
    std::getline(lines, line);  // the header
    for (int row = 0; row < 2 && std::getline(lines, line); ++row) {
        // result is the field after the 15 input columns.
        std::size_t at = 0;
        for (int field = 0; field < 15; ++field) {
            at = line.find(',', at) + 1;
        }
        results += line.substr(at, line.find(',', at) - at) + "\n";
    }
    EXPECT_EQ(results, expected) << run.out;
}

}  // namespace
}  // namespace quorvel
