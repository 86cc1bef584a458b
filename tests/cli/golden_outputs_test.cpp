// Every request that the program answered without a message when the golden file was made
// must still be answered: a result once given is a promise. Requests that failed then may now
// be answered; they are not compared. The F and chi-square families now compute every
// probability and every inverse to full double precision, so their rows are held to the truth
// instead of to their old digits: each answer within the accuracy the families state of the
// value mpmath computes at 40 digits for the same request (tests/reference/*_golden_reference.csv,
// made by the scripts beside them). So are the t rows that have such a reference (the
// probabilities below 1e-7, which the old routines' error of up to 2.2e-8 could not resolve).
// The other t rows, now also at full precision, are held to the old digits within the old
// routines' accuracy: a distribution function by at most Φ's former floor 2.2e-8 (values the
// old recursion put a little outside [0, 1] count as 0 or 1); a searched value, noncentrality
// or limit by giving Boost.Math's distribution function a distance from its target no larger
// than the old answer's by more than that, or else within 2.2e-8.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "cli/batch_run.h"
#include "model/batch/csv.h"
#include "tests/support/boost_oracle.h"
#include "tests/support/reference_table.h"

namespace quorvel {
namespace {

using batch::CsvReader;
using batch::CsvRecord;

// The eight request columns, then result, lower, upper, status and messages.
constexpr std::size_t kRequestColumns = 8;
constexpr std::size_t kResult = 8;
constexpr std::size_t kLower = 9;
constexpr std::size_t kUpper = 10;
constexpr std::size_t kStatus = 11;

std::vector<CsvRecord> readRecords(std::istream& stream) {
    CsvReader reader(stream);
    std::vector<CsvRecord> records;
    CsvRecord record;
    while (reader.next(record)) {
        records.push_back(record);
    }
    return records;
}

std::string requestsOf(const std::vector<CsvRecord>& golden) {
    std::string text;
    for (const CsvRecord& record : golden) {
        for (std::size_t i = 0; i < kRequestColumns; ++i) {
            if (i > 0) {
                text += ',';
            }
            text += batch::csvField(record.fields.at(i));
        }
        text += '\n';
    }
    return text;
}

// The golden text of a column as it must read now.
std::string expectedNow(const CsvRecord& before, std::size_t column) {
    const std::string& text = before.fields.at(column);
    const bool tCdf = before.fields.at(0) == "t" && before.fields.at(1) == "cdf";
    if (tCdf && column == kResult) {
        const double probability = std::strtod(text.c_str(), nullptr);
        if (probability < 0.0) {
            return "0";
        }
        if (probability > 1.0) {
            return "1";
        }
    }
    return text;
}

double number(const CsvRecord& record, std::size_t column) {
    return std::strtod(record.fields.at(column).c_str(), nullptr);
}

// The t searches' accuracy in probability over the whole accepted ranges (README).
constexpr double kTSearchAccuracy = 2.2e-8;

// The accuracy the t rows are held to: the old routines' own (Φ's floor 2.2e-8), by which the
// full-precision answers may differ from the old digits.
double changedSeriesAccuracy(const CsvRecord& row) {
    return row.fields.at(0) == "t" ? kTSearchAccuracy : 0.0;
}

// The stated accuracy of the full-precision families, relative to the exact value: 1e-11 for a
// probability, 1e-9 for a percentage point, noncentrality or limit.
constexpr double kProbabilityAccuracy = 1e-11;
constexpr double kInverseAccuracy = 1e-9;


// A reference value is found by the arguments its quantity takes (the others are 0 in the
// table): the family, the quantity and the Df always; cdf the value and noncentrality; value
// the noncentrality and probability; noncentrality and the limits the value and probability.
using ReferenceKey = std::tuple<std::string, std::string, double, double, double, double>;

ReferenceKey referenceKey(const std::string& family, const std::string& quantity, double x,
                          double df1, double df2, double noncentrality, double probability) {
    if (quantity == "cdf") return {family, quantity, df1, df2, x, noncentrality};
    if (quantity == "value") return {family, quantity, df1, df2, noncentrality, probability};
    return {family, quantity, df1, df2, x, probability};
}

std::map<ReferenceKey, double> goldenReference() {
    std::map<ReferenceKey, double> values;
    for (const char* family : {"f", "chisq", "t"}) {
        const std::string path =
            std::string(QUORVEL_REFERENCE_FOLDER) + "/" + family + "_golden_reference.csv";
        for (const testing::ReferenceRow& row : testing::readReferenceTable(path)) {
            values[referenceKey(row.family, row.quantity, row.x, row.df1, row.df2,
                                row.noncentrality, row.probability)] = row.expected;
        }
    }
    return values;
}

// The reference of one result column of a golden row; NaN where the table has none.
double referenceOf(const std::map<ReferenceKey, double>& reference, const CsvRecord& row,
                   std::size_t column) {
    const std::string& quantity = row.fields.at(1);
    std::string tableQuantity = quantity;
    double probability = number(row, 6);
    if (quantity == "interval") {
        tableQuantity = column == kLower ? "interval_lower" : "interval_upper";
        probability = row.fields.at(7).empty() ? 0.95 : number(row, 7);
    }
    const auto found = reference.find(referenceKey(row.fields.at(0), tableQuantity,
                                                   number(row, 2), number(row, 3), number(row, 4),
                                                   number(row, 5), probability));
    return found == reference.end() ? std::nan("") : found->second;
}

// Whether a result is within the family's stated accuracy of its reference (equal where the
// reference is 0, as a lower limit no noncentrality reaches).
bool withinReferenceAccuracy(const CsvRecord& row, double now, double exact) {
    if (exact == 0.0) return now == 0.0;
    const double accuracy = row.fields.at(1) == "cdf" ? kProbabilityAccuracy : kInverseAccuracy;
    return std::fabs(now - exact) <= accuracy * std::fabs(exact);
}

// Boost.Math's t distribution function at the given value and noncentrality (the row's Df).
double boostCdf(const CsvRecord& row, double value, double noncentrality) {
    return oracle::noncentralTCdf(value, number(row, 3), noncentrality);
}

// |Boost's probability at the answer − the target| for a searched column.
double searchError(const CsvRecord& row, std::size_t column, double answer) {
    const std::string& quantity = row.fields.at(1);
    if (quantity == "value") {
        return std::fabs(boostCdf(row, answer, number(row, 5)) - number(row, 6));
    }
    if (quantity == "noncentrality") {
        return std::fabs(boostCdf(row, number(row, 2), answer) - number(row, 6));
    }
    // An interval: the upper limit leaves (1 − C)/2 below the value, the lower one (1 + C)/2.
    const double confidence = row.fields.at(7).empty() ? 0.95 : number(row, 7);
    const double target = column == kUpper ? (1.0 - confidence) / 2.0 : (1.0 + confidence) / 2.0;
    return std::fabs(boostCdf(row, number(row, 2), answer) - target);
}

// Whether a changed column of a row of a changed series keeps the routine's accuracy.
bool withinChangedSeriesAccuracy(const CsvRecord& before, const CsvRecord& after,
                                 std::size_t column, double accuracy) {
    const double old = std::strtod(expectedNow(before, column).c_str(), nullptr);
    const double now = number(after, column);
    if (before.fields.at(1) == "cdf") {
        return std::fabs(now - old) <= accuracy;
    }
    if (old == 0.0 || now == 0.0) {
        return false;  // a limit of 0 (no noncentrality reaches the tail) must stay so
    }
    try {
        const double error = searchError(before, column, now);
        return error <= searchError(before, column, old) + accuracy || error <= kTSearchAccuracy;
    } catch (const std::exception&) {
        return false;
    }
}

std::string describe(const CsvRecord& record) {
    std::string text;
    for (const std::string& field : record.fields) {
        text += field + ",";
    }
    return text;
}

TEST(GoldenOutputs, EveryRequestAnsweredBeforeGetsTheSameDigits) {
    std::ifstream file(QUORVEL_GOLDEN_OUTPUTS);
    ASSERT_TRUE(file) << QUORVEL_GOLDEN_OUTPUTS;
    const std::vector<CsvRecord> golden = readRecords(file);
    ASSERT_GT(golden.size(), 3000u);

    std::istringstream input(requestsOf(golden));
    std::ostringstream output;
    std::ostringstream errors;
    cli::runBatch(input, output, errors);
    std::istringstream outputStream(output.str());
    const std::vector<CsvRecord> now = readRecords(outputStream);
    ASSERT_EQ(now.size(), golden.size());

    const std::map<ReferenceKey, double> reference = goldenReference();
    int compared = 0;
    for (std::size_t row = 1; row < golden.size(); ++row) {
        const CsvRecord& before = golden[row];
        if (before.fields.at(kStatus) != "ok") {
            continue;
        }
        ++compared;
        const CsvRecord& after = now[row];
        EXPECT_EQ(after.fields.at(kStatus), "ok") << "row " << row << ": " << describe(after);
        if (before.fields.at(0) != "t" || !std::isnan(referenceOf(reference, before, kResult))) {
            const bool interval = before.fields.at(1) == "interval";
            for (std::size_t column : interval ? std::vector{kLower, kUpper} : std::vector{kResult}) {
                const double exact = referenceOf(reference, before, column);
                if (std::isnan(exact)) {
                    // The tables leave out probabilities below the double range and those above
                    // 1 − 1e-16: the answer must be 0, or 1 within the stated accuracy.
                    const double now = number(after, column);
                    EXPECT_TRUE(before.fields.at(1) == "cdf" &&
                                (now == 0.0 || std::fabs(now - 1.0) <= kProbabilityAccuracy))
                        << "no reference for row " << row << ": " << describe(after);
                    continue;
                }
                EXPECT_TRUE(withinReferenceAccuracy(before, number(after, column), exact))
                    << "row " << row << " column " << column << " now " << after.fields.at(column)
                    << " exact " << exact << ": " << describe(before);
            }
            continue;
        }
        const double accuracy = changedSeriesAccuracy(before);
        for (std::size_t column : {kResult, kLower, kUpper}) {
            if (after.fields.at(column) == expectedNow(before, column)) {
                continue;
            }
            if (accuracy > 0.0 && after.fields.at(kStatus) == "ok") {
                EXPECT_TRUE(withinChangedSeriesAccuracy(before, after, column, accuracy))
                    << "row " << row << " column " << column << " now " << after.fields.at(column)
                    << ": " << describe(before);
                continue;
            }
            EXPECT_EQ(after.fields.at(column), expectedNow(before, column))
                << "row " << row << ": " << describe(before);
        }
    }
    EXPECT_GT(compared, 3000);
}

}  // namespace
}  // namespace quorvel
