#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/batch_run.h"
#include "model/batch/csv.h"
#include "tests/cli/cli_process.h"

namespace quorvel {
namespace {

using batch::CsvReader;
using batch::CsvRecord;

std::vector<CsvRecord> readAll(const std::string& text) {
    std::istringstream stream(text);
    CsvReader reader(stream);
    std::vector<CsvRecord> records;
    CsvRecord record;
    while (reader.next(record)) {
        records.push_back(record);
    }
    return records;
}

TEST(CsvReader, ReadsQuotedFieldsEscapedQuotesAndBothLineEnds) {
    const auto records = readAll("a,\"b,c\",\"say \"\"hi\"\"\"\r\n\"two\nlines\",,x\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].fields, (std::vector<std::string>{"a", "b,c", "say \"hi\""}));
    EXPECT_EQ(records[1].fields, (std::vector<std::string>{"two\nlines", "", "x"}));
    EXPECT_TRUE(records[0].problem.empty() && records[1].problem.empty());
}

TEST(CsvReader, ReportsBrokenQuotingAndOverlongRecordsAndGoesOn) {
    const std::string huge(CsvReader::kMaxRecordLength + 10, ',');
    const auto records = readAll("\"ab\"c,d\n" + huge + "\nlast\n\"open");
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].problem, "text after a closing quote");
    EXPECT_NE(records[1].problem.find("longer than"), std::string::npos);
    EXPECT_TRUE(records[1].fields.empty()) << "an overlong record keeps no fields";
    EXPECT_EQ(records[2].fields, std::vector<std::string>{"last"});
    EXPECT_EQ(records[3].problem, "a quoted field is not closed");
}

TEST(CsvField, QuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(batch::csvField("plain"), "plain");
    EXPECT_EQ(batch::csvField("a,b"), "\"a,b\"");
    EXPECT_EQ(batch::csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
}

struct BatchRun {
    int status;
    std::vector<std::string> lines;
    std::string errors;
};

BatchRun batch(const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out, err;
    BatchRun run{cli::runBatch(in, out, err), {}, err.str()};
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        run.lines.push_back(line);
    }
    return run;
}

TEST(Batch, MixedRowsGetOneOutputRowEachWithTheirStatus) {
    const auto run = batch(
        "distribution,quantity,value,df1,df2,noncentrality,cump,confidence\r\n"
        "f,cdf,3,5,10,0,,\r\n"
        "f,cdf,3,0,10,0,,\r\n"
        "f,cdf,abc,5,10,0,,\r\n"
        "\"f\",\"cdf\",\" 3 \",5,10,\"0\",,\r\n");
    ASSERT_EQ(run.lines.size(), 5u);
    EXPECT_EQ(run.lines[0],
              "distribution,quantity,value,df1,df2,noncentrality,cump,confidence,"
              "result,lower,upper,status,messages,achieved_power");
    EXPECT_EQ(run.lines[1], "f,cdf,3,5,10,0,,,0.93444243790615589,,,ok,,");
    EXPECT_EQ(run.lines[2], "f,cdf,3,0,10,0,,,-9999,,,failed,Df1 out of range.,");
    EXPECT_EQ(run.lines[3],
              "f,cdf,abc,5,10,0,,,,,,invalid,value: 'abc' is not a finite decimal number,");
    EXPECT_EQ(run.lines[4], "f,cdf, 3 ,5,10,0,,,0.93444243790615589,,,ok,,");
    EXPECT_EQ(run.status, cli::kBatchInvalid);
}

TEST(Batch, ExitStatusTellsTheWorstRow) {
    const std::string header = "quantity,distribution,df,df2,value,noncentrality\n";
    EXPECT_EQ(batch(header + "cdf,f,5,10,3,0\n").status, cli::kBatchOk);
    EXPECT_EQ(batch(header + "cdf,f,5,10,3,0\ncdf,f,5,0,3,0\n").status, cli::kBatchFailedRow);
    EXPECT_EQ(batch(header + "cdf,f,5,0,3,0\ncdf,g,5,10,3,0\n").status, cli::kBatchInvalid);
}

TEST(Batch, RowsThatCannotBeReadSayWhy) {
    const auto run = batch(
        "distribution,quantity,value,df1,df2,noncentrality\n"
        "f,cdf,3,5,10\n"
        "f,median,3,5,10,0\n"
        "f,cdf,3,2.5,10,0\n"
        "f,cdf,3,5,,0\n");
    ASSERT_EQ(run.lines.size(), 5u);
    EXPECT_NE(run.lines[1].find("invalid,\"the row has 5 fields, the header 6\""),
              std::string::npos);
    EXPECT_NE(run.lines[2].find("invalid,\"unknown quantity 'median'"), std::string::npos);
    EXPECT_NE(run.lines[3].find("invalid,df1: '2.5' is not a whole number"), std::string::npos);
    EXPECT_NE(run.lines[4].find("invalid,df2 is needed for f cdf"), std::string::npos);
}

TEST(Batch, UnusableHeaderStopsBeforeAnyRow) {
    for (const char* header :
         {"", "distribution,quantity,colour\nf,cdf,3\n", "distribution,value\nf,3\n",
          "distribution,quantity,df,df1\nf,cdf,1,2\n"}) {
        const auto run = batch(header);
        EXPECT_EQ(run.status, cli::kBatchInvalid) << header;
        EXPECT_TRUE(run.lines.empty()) << header;
        EXPECT_FALSE(run.errors.empty()) << header;
    }
}

// A file the program wrote (a batch's output, an exported record) names the output columns;
// they are computed afresh, not echoed, so running the output again gives the same file.
TEST(Batch, ItsOwnOutputRunsAgainToTheSameFile) {
    const auto first = batch(
        "distribution,quantity,value,df1,df2,noncentrality,cump,confidence,n,n1,n2,power,effect\n"
        "f,cdf,3,5,10,0,,,,,,,\n"
        "f,cdf,3,0,10,0,,,,,,,\n"
        "t,interval,2.5,12,,,,0.9,,,,,\n"
        "t,d,2.5,,,,,0.95,,11,11,,\n"
        "t,sample-size,,,,,,,,,,0.8,0.5\n");
    ASSERT_EQ(first.lines.size(), 6u);
    std::string output;
    for (const std::string& line : first.lines) {
        output += line + "\n";
    }
    const auto second = batch(output);
    EXPECT_EQ(second.lines, first.lines);
    EXPECT_EQ(second.status, first.status);
    EXPECT_EQ(first.status, cli::kBatchFailedRow);

    // Output columns in another order, or only some of them, are read as well.
    const auto some = batch(
        "upper,distribution,status,quantity,value,df1,df2,noncentrality\n"
        "7,f,failed,cdf,3,5,10,0\n");
    ASSERT_EQ(some.lines.size(), 2u);
    EXPECT_EQ(some.lines[1], "f,cdf,3,5,10,0,0.93444243790615589,,,ok,,");
    // The record's own columns are no batch column.
    EXPECT_EQ(batch("time,distribution,quantity\n").status, cli::kBatchInvalid);
}

TEST(BatchProcess, ReadsAFileOrStandardInput) {
    const std::string csv = "distribution,quantity,value,df1,df2,noncentrality\nf,cdf,1,1,1,0\n";
    const auto run = testing::runCli({"--batch", "-"}, csv);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_NE(run.out.find(",0.5000000000"), std::string::npos) << run.out;
    const auto missing = testing::runCli({"--batch", "/nonexistent/rows.csv"});
    EXPECT_EQ(missing.exitStatus, 2);
    EXPECT_NE(missing.err.find("cannot open"), std::string::npos);
}

}  // namespace
}  // namespace quorvel
