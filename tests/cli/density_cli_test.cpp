#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/cli/cli_process.h"

namespace quorvel {
namespace {

using testing::runCli;

double parsed(const std::string& line) {
    return std::strtod(line.c_str(), nullptr);
}

// The check values of the three densities, printed like cdf's results: one line, 17 significant
// digits.
TEST(CliPdf, PrintsTheDensityOfEachFamily) {
    struct Case {
        std::vector<std::string> arguments;
        double expected;
    };
    for (const Case& c :
         {Case{{"f", "pdf", "--value", "2", "--df1", "3", "--df2", "10", "--lambda", "5"},
               0.22256695},
          Case{{"t", "pdf", "--value", "2", "--df", "10", "--delta", "1.5"}, 0.31460592},
          Case{{"chisq", "pdf", "--value", "5", "--df", "4", "--lambda", "3"}, 0.10282294}}) {
        const auto run = runCli(c.arguments);
        EXPECT_EQ(run.exitStatus, 0) << c.arguments[0];
        EXPECT_EQ(run.err, "");
        EXPECT_NEAR(parsed(run.out), c.expected, 5e-9) << c.arguments[0];
        EXPECT_EQ(run.out.find('.'), 1u) << run.out;
        EXPECT_EQ(run.out.size(), 20u) << "0. and 17 significant digits: " << run.out;
    }
}

// Without --lambda or --delta the central density is meant, as for cdf: t with Df 1 is the
// Cauchy distribution, whose density at 0 is 1/π.
TEST(CliPdf, NoncentralityDefaultsToZero) {
    const auto run = runCli({"t", "pdf", "--value", "0", "--df", "1"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_NEAR(parsed(run.out), 0.31830988618379067, 1e-10);
    const auto withZero = runCli({"t", "pdf", "--value", "0", "--df", "1", "--delta", "0"});
    EXPECT_EQ(withZero.out, run.out);
}

// A rejected argument prints the family's message, -9999 and the exit status of cdf.
TEST(CliPdf, RejectedArgumentsBehaveAsForCdf) {
    struct Case {
        std::vector<std::string> options;
        std::string message;
    };
    for (const Case& c :
         {Case{{"f", "--value", "2", "--df1", "0", "--df2", "10"}, "Df1 out of range."},
          Case{{"t", "--value", "2", "--df", "10", "--delta", "6000"},
               "T distribution parameter Delta out of range. Should have absolute value less "
               "than or equal to 5000."},
          Case{{"chisq", "--value", "-1", "--df", "4"}, "Chi-Square must be nonnegative."}}) {
        std::vector<std::string> pdf = c.options;
        pdf.insert(pdf.begin() + 1, "pdf");
        std::vector<std::string> cdf = c.options;
        cdf.insert(cdf.begin() + 1, "cdf");
        const auto density = runCli(pdf);
        const auto probability = runCli(cdf);
        EXPECT_EQ(density.out, "-9999\n");
        EXPECT_EQ(density.err, c.message + "\n");
        EXPECT_EQ(density.exitStatus, probability.exitStatus);
        EXPECT_EQ(density.err, probability.err);
    }
    // An option pdf does not use is a usage error, as for cdf.
    const auto unused =
        runCli({"f", "pdf", "--value", "2", "--df1", "3", "--df2", "10", "--cump", "0.5"});
    EXPECT_EQ(unused.exitStatus, 2);
    EXPECT_NE(unused.err.find("--cump is not used by 'f pdf'"), std::string::npos) << unused.err;
}

TEST(CliPdf, HelpListsIt) {
    const auto run = runCli({"--help"});
    EXPECT_NE(run.out.find("pdf            probability density at --value"), std::string::npos);
}

// pdf rows take the columns of cdf rows and fill `result`.
TEST(CliPdf, BatchRowsComputeTheDensity) {
    const auto run = runCli({"--batch", "-"},
                            "distribution,quantity,value,df1,df2,noncentrality\n"
                            "f,pdf,2,3,10,5\n"
                            "t,pdf,2,10,,1.5\n"
                            "x2,pdf,5,4,,3\n"
                            "f,cdf,2,3,10,5\n"
                            "chisq,pdf,5,0,,3\n"
                            "t,pdf,,10,,1.5\n");
    EXPECT_EQ(run.exitStatus, 2);
    const std::string& out = run.out;
    EXPECT_NE(out.find("f,pdf,2,3,10,5,0.2225669523"), std::string::npos) << out;
    EXPECT_NE(out.find("t,pdf,2,10,,1.5,0.3146059184"), std::string::npos) << out;
    EXPECT_NE(out.find("x2,pdf,5,4,,3,0.1028229437"), std::string::npos) << out;
    EXPECT_NE(out.find("f,cdf,2,3,10,5,0.396106"), std::string::npos) << out;
    EXPECT_NE(out.find("chisq,pdf,5,0,,3,-9999,,,failed,Df out of range. Limits: 1 <= Df <= "
                       "100000.,"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("t,pdf,,10,,1.5,,,,invalid,value is needed for t pdf,"), std::string::npos)
        << out;
}

}  // namespace
}  // namespace quorvel
