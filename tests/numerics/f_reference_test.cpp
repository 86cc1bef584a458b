#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "numerics/calculators.h"
#include "numerics/f/noncentral_f.h"
#include "tests/support/recording_reporter.h"
#include "tests/support/reference_table.h"

namespace quorvel {
namespace {

using testing::ReferenceRow;

// Every probability from 1e-300 up, in both tails and for the density.
constexpr double kProbabilityTolerance = 1e-11;
// An inverse within 1e-9 relative, or where the curve is flat a found point whose probability
// is within 1e-11 relative of the target.
constexpr double kInverseTolerance = 1e-9;
constexpr double kBackwardTolerance = 1e-11;
constexpr double kMinCumP = 0.0001;
constexpr double kMaxCumP = 0.9999;

bool inCumPRange(double p) {
    return p >= kMinCumP && p <= kMaxCumP;
}

double relativeError(double ours, double expected) {
    return expected == 0.0 ? std::fabs(ours) : std::fabs(ours - expected) / std::fabs(expected);
}

// The worst and the median relative error of each quantity in each region, printed once as a
// test-log line per pair: the figures of the README's accuracy table.
class AccuracyLog {
  public:
    void add(const ReferenceRow& row, double error) {
        errors_[{row.quantity, row.region}].push_back(error);
    }
    void print(const char* table) {
        for (auto& [key, errors] : errors_) {
            std::sort(errors.begin(), errors.end());
            const double median = errors[errors.size() / 2];
            std::printf("[accuracy] %s f %-20s %-20s rows %4zu worst %.2e median %.2e\n", table,
                        key.first.c_str(), key.second.c_str(), errors.size(), errors.back(),
                        median);
        }
    }

  private:
    std::map<std::pair<std::string, std::string>, std::vector<double>> errors_;
};

class FReferenceTest : public ::testing::Test {
  protected:
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    NoncentralF& f = calculators.f();

    double tailAt(const ReferenceRow& row, double x, double lambda, Tail tail) {
        return tail == Tail::Lower ? f.cdf(x, row.df1, row.df2, lambda, 0)
                                   : f.upper(x, row.df1, row.df2, lambda, 0);
    }

    // An inverse's answer with its backward error: the relative distance of the probability at
    // the answer from the target.
    void checkInverse(const ReferenceRow& row, double ours, double backward, AccuracyLog& log,
                      const std::string& entry) {
        const double error = relativeError(ours, row.expected);
        log.add(row, error);
        EXPECT_TRUE(error <= kInverseTolerance || backward <= kBackwardTolerance)
            << entry << " " << row.quantity << " " << row.region << " x " << row.x << " df "
            << row.df1 << "," << row.df2 << " lambda " << row.noncentrality << " p "
            << row.probability << ": " << ours << " for " << row.expected << " (relative " << error
            << ", backward " << backward << ")";
    }

    void checkValue(const ReferenceRow& row, Tail tail, AccuracyLog& log) {
        const double p = row.probability;
        const double ours = f.percentagePointOfTail({tail, p}, row.df1, row.df2, row.noncentrality);
        const double backward = relativeError(tailAt(row, ours, row.noncentrality, tail), p);
        checkInverse(row, ours, backward, log, "percentagePointOfTail");
        if (tail == Tail::Lower && inCumPRange(p)) {
            const double viaCumP = f.percentagePoint(p, row.df1, row.df2, row.noncentrality, 0);
            const Tail solved = p > 0.5 ? Tail::Upper : Tail::Lower;
            const double target = p > 0.5 ? 1.0 - p : p;
            checkInverse(row, viaCumP,
                         relativeError(tailAt(row, viaCumP, row.noncentrality, solved), target),
                         log, "percentagePoint");
        }
    }

    void checkNoncentrality(const ReferenceRow& row, Tail tail, AccuracyLog& log) {
        const double p = row.probability;
        const double ours = f.noncentralityOfTail(row.x, row.df1, row.df2, {tail, p});
        const double backward = relativeError(tailAt(row, row.x, ours, tail), p);
        checkInverse(row, ours, backward, log, "noncentralityOfTail");
        if (tail == Tail::Lower && inCumPRange(p)) {
            const double viaCumP = f.noncentrality(row.x, row.df1, row.df2, p, 0);
            const Tail solved = p > 0.5 ? Tail::Upper : Tail::Lower;
            const double target = p > 0.5 ? 1.0 - p : p;
            checkInverse(row, viaCumP, relativeError(tailAt(row, row.x, viaCumP, solved), target),
                         log, "noncentrality");
        }
    }

    void checkInterval(const ReferenceRow& row, AccuracyLog& log) {
        double lower = 0.0;
        double upper = 0.0;
        f.confidenceLimits(row.x, row.df1, row.df2, row.probability, 0, lower, upper);
        const double alpha = (1.0 - row.probability) / 2.0;
        const bool isLower = row.quantity == "interval_lower";
        const double ours = isLower ? lower : upper;
        const double backward =
            relativeError(tailAt(row, row.x, ours, isLower ? Tail::Upper : Tail::Lower), alpha);
        checkInverse(row, ours, backward, log, "confidenceLimits");
    }

    void checkTable(const char* path, const char* name) {
        const std::vector<ReferenceRow> rows = testing::readReferenceTable(path);
        ASSERT_FALSE(rows.empty());
        AccuracyLog log;
        for (const ReferenceRow& row : rows) {
            ASSERT_EQ(row.family, "f");
            const std::string& q = row.quantity;
            if (q == "cdf" || q == "upper" || q == "pdf") {
                const double ours = q == "pdf" ? f.pdf(row.x, row.df1, row.df2, row.noncentrality)
                                               : tailAt(row, row.x, row.noncentrality,
                                                        q == "cdf" ? Tail::Lower : Tail::Upper);
                const double error = relativeError(ours, row.expected);
                log.add(row, error);
                EXPECT_LE(error, kProbabilityTolerance)
                    << q << " " << row.region << " x " << row.x << " df " << row.df1 << ","
                    << row.df2 << " lambda " << row.noncentrality << ": " << ours << " for "
                    << row.expected;
            } else if (q == "value" || q == "value_upper") {
                checkValue(row, q == "value" ? Tail::Lower : Tail::Upper, log);
            } else if (q == "noncentrality" || q == "noncentrality_upper") {
                checkNoncentrality(row, q == "noncentrality" ? Tail::Lower : Tail::Upper, log);
            } else if (q == "interval_lower" || q == "interval_upper") {
                checkInterval(row, log);
            } else {
                ADD_FAILURE() << "unknown quantity " << q;
            }
        }
        log.print(name);
    }
};

TEST_F(FReferenceTest, EveryRowOfTheHighPrecisionTableIsWithinTheStatedAccuracy) {
    checkTable(QUORVEL_F_REFERENCE_TABLE, "reference");
}

TEST_F(FReferenceTest, TheGoldenRowsAreWithinTheStatedAccuracyOfTheirReference) {
    checkTable(QUORVEL_F_GOLDEN_REFERENCE_TABLE, "golden");
}

// Across the side switch of the incomplete beta function's continued fraction, the change of
// the mixture's starting index at integer λ/2 and the smallest summed point, both tails are
// monotone in the value and in λ on grids of relative spacing 1e-10.
TEST_F(FReferenceTest, BothTailsAreMonotoneAcrossEverySwitchPoint) {
    constexpr double kStep = 1e-10;
    constexpr int kHalfWidth = 40;
    const auto expectMonotoneInValue = [&](double x0, int df1, int df2, double lambda) {
        double lastLower = -1.0;
        double lastUpper = 2.0;
        for (int i = -kHalfWidth; i <= kHalfWidth; ++i) {
            const double x = x0 * (1.0 + i * kStep);
            const double lower = f.cdf(x, df1, df2, lambda, 0);
            const double upper = f.upper(x, df1, df2, lambda, 0);
            EXPECT_GE(lower, lastLower)
                << "x " << x << " df " << df1 << "," << df2 << " lambda " << lambda;
            EXPECT_LE(upper, lastUpper)
                << "x " << x << " df " << df1 << "," << df2 << " lambda " << lambda;
            lastLower = lower;
            lastUpper = upper;
        }
    };
    const struct {
        int df1;
        int df2;
        double lambda;
    } distributions[] = {{2, 4, 0.0}, {6, 10, 3.0}, {1, 1, 0.5}, {40, 8, 20.0}, {1, 200, 0.0}};
    for (const auto& d : distributions) {
        const double a = d.df1 / 2.0;
        const double b = d.df2 / 2.0;
        const double y = (a + 1.0) / (a + b + 2.0);
        expectMonotoneInValue(y / (1.0 - y) * d.df2 / d.df1, d.df1, d.df2, d.lambda);
    }
    // y = 1e-300 is where the lower tail's sum is cut to its first term.
    expectMonotoneInValue(1e-300 * 10.0 / 3.0, 3, 10, 4.0);

    for (const double lambda0 : {2.0, 20.0, 1000.0, 9998.0}) {
        double lastLower = 2.0;
        double lastUpper = -1.0;
        for (int i = -kHalfWidth; i <= kHalfWidth; ++i) {
            const double lambda = lambda0 * (1.0 + i * kStep);
            const double x = 1.0 + lambda0 / 4.0;
            const double lower = f.cdf(x, 4, 12, lambda, 0);
            const double upper = f.upper(x, 4, 12, lambda, 0);
            EXPECT_LE(lower, lastLower) << "lambda " << lambda;
            EXPECT_GE(upper, lastUpper) << "lambda " << lambda;
            lastLower = lower;
            lastUpper = upper;
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
}

}  // namespace
}  // namespace quorvel
