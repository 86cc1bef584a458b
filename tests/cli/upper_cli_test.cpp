#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/cli/cli_process.h"

namespace quorvel {
namespace {

using testing::runCli;

// P(X > x) is computed in its own tail, so a p-value far below 1e-17 (where 1 − cdf is 0) keeps
// its digits. Expected values from mpmath at 40 digits: the noncentral chi-square example as
// the Poisson mixture of regularized upper incomplete gamma functions, the central F and t
// through the regularized incomplete beta function.
TEST(CliUpper, PrintsTheUpperTailOfEachFamilyToFullPrecision) {
    struct Case {
        std::vector<std::string> arguments;
        double expected;
    };
    for (const Case& c :
         {Case{{"chisq", "upper", "--value", "1000", "--df", "10", "--lambda", "321.5"},
               7.2202025198611077e-42},
          Case{{"f", "upper", "--value", "3", "--df1", "5", "--df2", "10"},
               0.065557562093844113279},
          Case{{"t", "upper", "--value", "3", "--df", "10"}, 0.0066718275112847886034}}) {
        const auto run = runCli(c.arguments);
        EXPECT_EQ(run.exitStatus, 0) << c.arguments[0];
        EXPECT_EQ(run.err, "");
        const double printed = std::strtod(run.out.c_str(), nullptr);
        EXPECT_LE(std::fabs(printed - c.expected), 1e-11 * c.expected)
            << c.arguments[0] << " printed " << run.out;
    }
}

// The upper tail takes the arguments of cdf and refuses what cdf refuses, with cdf's message.
TEST(CliUpper, RefusesWhatCdfRefuses) {
    const auto cdf = runCli({"chisq", "cdf", "--value", "-1", "--df", "3"});
    const auto upper = runCli({"chisq", "upper", "--value", "-1", "--df", "3"});
    EXPECT_EQ(upper.exitStatus, cdf.exitStatus);
    EXPECT_EQ(upper.err, cdf.err);
    EXPECT_NE(upper.err, "");
    EXPECT_EQ(runCli({"f", "upper", "--value", "3", "--df1", "5"}).exitStatus, 2);
}

}  // namespace
}  // namespace quorvel
