#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "numerics/calculators.h"
#include "numerics/chisquare/noncentral_chi_square.h"
#include "tests/support/recording_reporter.h"
#include "tests/support/reference_table.h"

namespace quorvel {
namespace {

// Probabilities and densities within a relative 1e-11 of the 40-digit reference, inverses
// within a relative 1e-9 (absolute where the reference is 0).
constexpr double kProbabilityTolerance = 1e-11;
constexpr double kInverseTolerance = 1e-9;
constexpr double kMinCumP = 0.0001;
constexpr double kMaxCumP = 0.9999;

class ChiSquareReferenceTest : public ::testing::Test {
  protected:
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    NoncentralChiSquare& chiSquare = calculators.chiSquare();

    bool insideCumPRange(double p) const { return p >= kMinCumP && p <= kMaxCumP; }

    // Our value of the row's quantity; the public CumP operations where the probability lies in
    // their range, the tail operations otherwise.
    double ours(const testing::ReferenceRow& row) {
        const int df = static_cast<int>(row.df1);
        const std::string& q = row.quantity;
        if (q == "cdf")
            return chiSquare.cdf(row.x, df, row.noncentrality);
        if (q == "upper")
            return chiSquare.upper(row.x, df, row.noncentrality);
        if (q == "pdf")
            return chiSquare.pdf(row.x, df, row.noncentrality);
        if (q == "value") {
            return insideCumPRange(row.probability)
                       ? chiSquare.percentagePoint(row.probability, df, row.noncentrality)
                       : chiSquare.percentagePointOfTail({Tail::Lower, row.probability}, df,
                                                         row.noncentrality);
        }
        if (q == "value_upper") {
            return chiSquare.percentagePointOfTail({Tail::Upper, row.probability}, df,
                                                   row.noncentrality);
        }
        if (q == "noncentrality") {
            return insideCumPRange(row.probability)
                       ? chiSquare.noncentrality(row.x, df, row.probability)
                       : chiSquare.noncentralityOfTail(row.x, df, {Tail::Lower, row.probability});
        }
        if (q == "noncentrality_upper") {
            return chiSquare.noncentralityOfTail(row.x, df, {Tail::Upper, row.probability});
        }
        double lower = -1.0;
        double upper = -1.0;
        chiSquare.confidenceLimits(row.x, df, row.probability, lower, upper);
        return q == "interval_lower" ? lower : upper;
    }
};

bool isProbability(const std::string& quantity) {
    return quantity == "cdf" || quantity == "upper" || quantity == "pdf";
}

// Checks every row of the committed tables and prints, once, the worst and median relative
// error per quantity and region.
TEST_F(ChiSquareReferenceTest, EveryRowWithinTheStatedAccuracy) {
    std::vector<testing::ReferenceRow> rows = testing::readReferenceTable(QUORVEL_CHISQ_REFERENCE);
    const std::vector<testing::ReferenceRow> golden =
        testing::readReferenceTable(QUORVEL_CHISQ_GOLDEN_REFERENCE);
    rows.insert(rows.end(), golden.begin(), golden.end());
    ASSERT_GT(rows.size(), 300u);
    std::map<std::string, std::vector<double>> errors;
    for (const testing::ReferenceRow& row : rows) {
        ASSERT_EQ(row.family, "chisq");
        const double value = ours(row);
        const double scale = row.expected == 0.0 ? 1.0 : std::fabs(row.expected);
        const double error = std::fabs(value - row.expected) / scale;
        const double tolerance =
            isProbability(row.quantity) ? kProbabilityTolerance : kInverseTolerance;
        EXPECT_LE(error, tolerance) << row.quantity << " (" << row.region << ") x " << row.x
                                    << " df " << row.df1 << " lambda " << row.noncentrality << " p "
                                    << row.probability << ": " << value << " for " << row.expected;
        errors[row.quantity + " | " + row.region].push_back(error);
    }
    EXPECT_TRUE(reporter.messages.empty());
    for (auto& [key, list] : errors) {
        std::sort(list.begin(), list.end());
        std::printf("chisq accuracy %-40s rows %4zu worst %.2e median %.2e\n", key.c_str(),
                    list.size(), list.back(), list[list.size() / 2]);
    }
}

// Fine grids across the points where a method changes or once changed: λ = 921.03 (where a
// normal approximation used to take over), x/2 = Df/2 (series or continued fraction of the
// incomplete gamma function), Df 200 (where the central recursion used to be replaced).
TEST_F(ChiSquareReferenceTest, MonotoneAcrossFormerSwitchPoints) {
    double previousLower = 2.0;
    double previousUpper = -1.0;
    for (int i = 0; i <= 400; ++i) {
        const double lambda = 920.9 + 0.001 * i;
        const double lower = chiSquare.cdf(900.0, 10, lambda);
        const double upper = chiSquare.upper(900.0, 10, lambda);
        EXPECT_LT(lower, previousLower) << "lambda " << lambda;
        EXPECT_GT(upper, previousUpper) << "lambda " << lambda;
        previousLower = lower;
        previousUpper = upper;
    }
    for (const double lambda : {0.0, 7.5, 3000.0}) {
        for (const int df : {20, 5001}) {
            previousLower = -1.0;
            previousUpper = 2.0;
            const double centre = df + lambda;
            for (int i = -200; i <= 200; ++i) {
                const double x = centre + 0.01 * i;
                const double lower = chiSquare.cdf(x, df, lambda);
                const double upper = chiSquare.upper(x, df, lambda);
                EXPECT_GT(lower, previousLower) << "x " << x << " df " << df;
                EXPECT_LT(upper, previousUpper) << "x " << x << " df " << df;
                previousLower = lower;
                previousUpper = upper;
            }
        }
    }
    double previous = 2.0;
    for (int df = 190; df <= 210; ++df) {
        const double lower = chiSquare.cdf(150.0, df, 40.0);
        EXPECT_LT(lower, previous) << "df " << df;
        previous = lower;
    }
    EXPECT_TRUE(reporter.messages.empty());
}

}  // namespace
}  // namespace quorvel
