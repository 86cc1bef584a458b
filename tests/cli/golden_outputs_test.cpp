// Every request that the program answered without a message when the golden file was made
// must still be answered so, to the last bit: a result once given is a promise. Requests that
// failed then may now be answered; they are not compared. One change is deliberate: the t
// distribution function used to return values a little outside [0, 1] (rounding in Owen's
// recursion and Φ's 1e-9), which are now held at 0 or 1.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/batch_run.h"
#include "cli/csv.h"

namespace quorvel {
namespace {

using cli::CsvReader;
using cli::CsvRecord;

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
            text += cli::csvField(record.fields.at(i));
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

    int compared = 0;
    for (std::size_t row = 1; row < golden.size(); ++row) {
        const CsvRecord& before = golden[row];
        if (before.fields.at(kStatus) != "ok") {
            continue;
        }
        ++compared;
        const CsvRecord& after = now[row];
        EXPECT_EQ(after.fields.at(kStatus), "ok") << "row " << row << ": " << describe(after);
        for (std::size_t column : {kResult, kLower, kUpper}) {
            EXPECT_EQ(after.fields.at(column), expectedNow(before, column))
                << "row " << row << ": " << describe(before);
        }
    }
    EXPECT_GT(compared, 3000);
}

}  // namespace
}  // namespace quorvel
