#include "model/record/computation_record.h"
#include "model/record/record_merge.h"

#include <gtest/gtest.h>

#include <bit>
#include <iostream>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "cli/batch_run.h"
#include "model/computation.h"
#include "model/effects/effects.h"
#include "numerics/calculators.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

using batch::InputColumn;
using batch::OutputColumn;

const std::string& input(const RecordEntry& entry, InputColumn column) {
    return entry.inputs[static_cast<std::size_t>(column)];
}

const std::string& output(const RecordEntry& entry, OutputColumn column) {
    return entry.outputs[static_cast<std::size_t>(column)];
}

std::string timeAt(int second) {
    return "2026-12-08 10:00:" + std::string(second < 10 ? "0" : "") + std::to_string(second);
}

ComputeRequest quantity(DistributionKind distribution, QuantityKind kind, double value, int df1,
                        int df2, double noncentrality, double cumP, double confidence = 0.95) {
    return {distribution, kind, value, noncentrality, cumP, df1, df2, confidence};
}

EffectRequest effect(DistributionKind distribution, EffectQuantity kind, EffectMeasure measure) {
    EffectRequest request;
    request.distribution = distribution;
    request.quantity = kind;
    request.measure = measure;
    return request;
}

// Computes requests as the windows do and keeps them, as the record does.
class RecordFixture : public ::testing::Test {
  protected:
    void add(const ComputeRequest& request) {
        record.append(recordEntry(timeAt(static_cast<int>(record.size())), request,
                                  computeQuantity(calculators, request)));
    }
    void add(const EffectRequest& request) {
        record.append(recordEntry(timeAt(static_cast<int>(record.size())), request,
                                  computeEffect(calculators, request)));
    }

    // Every distribution quantity and every effect quantity of the batch, two of them failing.
    void addOneOfEveryKind() {
        using enum DistributionKind;
        add(quantity(F, QuantityKind::CumP, 3.0, 5, 10, 0.0, 0.0));
        add(quantity(F, QuantityKind::CumP, 3.0, 0, 10, 0.0, 0.0));  // Df1 out of range
        add(quantity(T, QuantityKind::Value, 0.0, 12, 0, 1.5, 0.975));
        add(quantity(ChiSquare, QuantityKind::Noncentrality, 20.0, 5, 0, 0.0, 0.05));
        add(quantity(F, QuantityKind::Interval, 10.0, 3, 10, 0.0, 0.0, 0.9));
        add(quantity(ChiSquare, QuantityKind::Interval, -1.0, 4, 0, 0.0, 0.0, 0.99));  // fails
        add(quantity(T, QuantityKind::CumP, 0.1 + 0.2, 7, 0, 1.0 / 3.0, 0.0));

        EffectRequest d = effect(T, EffectQuantity::Estimate, EffectMeasure::CohensD);
        d.value = 2.5;
        d.n1 = 11;
        d.n2 = 11;
        add(d);
        d.n1 = d.n2 = 0;
        d.n = 20;
        d.confidence = 0.9;
        add(d);
        EffectRequest power = effect(T, EffectQuantity::Power, EffectMeasure::CohensD);
        power.effect = -0.4;
        power.n1 = 30;
        power.n2 = 25;
        power.sides = 1;
        add(power);
        EffectRequest size = effect(T, EffectQuantity::SampleSize, EffectMeasure::CohensD);
        size.effect = 0.5;
        size.twoSample = false;
        size.alpha = 0.01;
        add(size);
        EffectRequest eta = effect(F, EffectQuantity::Estimate, EffectMeasure::PartialEtaSquared);
        eta.value = 4.2;
        eta.df1 = 3;
        eta.df2 = 40;
        add(eta);
        EffectRequest fPower = effect(F, EffectQuantity::Power, EffectMeasure::CohensFSquared);
        fPower.effect = 0.15;
        fPower.df1 = 4;
        fPower.df2 = 90;
        add(fPower);
        EffectRequest w = effect(ChiSquare, EffectQuantity::SampleSize, EffectMeasure::CohensW);
        w.effect = 0.3;
        w.df1 = 2;
        w.power = 0.9;
        add(w);
        EffectRequest rmsea = effect(ChiSquare, EffectQuantity::Estimate, EffectMeasure::Rmsea);
        rmsea.value = 60.0;
        rmsea.df1 = 40;
        rmsea.n = 200;
        add(rmsea);
    }

    std::string written() const {
        std::ostringstream text;
        record.write(text);
        return text.str();
    }

    RecordingReporter reporter;
    Calculators calculators{reporter};
    ComputationRecord record;
};

TEST_F(RecordFixture, AnEntryKeepsTheInputsItsQuantityReadsAndResultsWith17Digits) {
    add(quantity(DistributionKind::F, QuantityKind::CumP, 3.0, 5, 10, 0.0, 0.7));
    add(quantity(DistributionKind::F, QuantityKind::CumP, 3.0, 0, 10, 0.0, 0.7));
    add(quantity(DistributionKind::T, QuantityKind::Interval, 2.5, 12, 3, 0.0, 0.7, 0.9));
    const RecordEntry& ok = record.at(0);
    EXPECT_EQ(ok.time, timeAt(0));
    EXPECT_EQ(input(ok, InputColumn::Distribution), "f");
    EXPECT_EQ(input(ok, InputColumn::Quantity), "cdf");
    EXPECT_EQ(input(ok, InputColumn::Value), "3");
    EXPECT_EQ(input(ok, InputColumn::Df2), "10");
    EXPECT_EQ(input(ok, InputColumn::CumP), "") << "an input the quantity does not read";
    EXPECT_EQ(input(ok, InputColumn::Confidence), "");
    EXPECT_EQ(output(ok, OutputColumn::Result), "0.93444243790615589");
    EXPECT_EQ(output(ok, OutputColumn::Status), "ok");
    EXPECT_FALSE(ok.failed());

    const RecordEntry& failed = record.at(1);
    EXPECT_TRUE(failed.failed());
    EXPECT_EQ(output(failed, OutputColumn::Result), "-9999");
    EXPECT_EQ(output(failed, OutputColumn::Messages), "Df1 out of range.");

    const RecordEntry& interval = record.at(2);
    EXPECT_EQ(input(interval, InputColumn::Df2), "") << "t has no Df2";
    EXPECT_EQ(input(interval, InputColumn::Confidence), "0.9");
    EXPECT_EQ(output(interval, OutputColumn::Result), "");
    EXPECT_EQ(output(interval, OutputColumn::Lower).size(), 19u) << "0.xxxxxxxxxxxxxxxxx";
    EXPECT_LT(record.at(0).sequence, record.at(2).sequence);
}

// The export is a batch file: quorvel-cli --batch on it writes it again, digit for digit,
// failed rows and effect rows included.
TEST_F(RecordFixture, ExportIsABatchFileThatRecomputesToTheSameDigits) {
    addOneOfEveryKind();
    std::vector<std::size_t> all(record.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        all[i] = i;
    }
    std::ostringstream exported;
    record.exportBatch(exported, all);
    ASSERT_EQ(exported.str().substr(0, exported.str().find('\n')),
              "distribution,quantity,value,df1,df2,noncentrality,cump,p_lower,p_upper,confidence,"
              "n,n1,n2,alpha,power,sides,design,effect,rows,cols,alternative,result,lower,upper,"
              "status,messages,"
              "achieved_power");

    std::cerr << exported.str();
    std::istringstream in(exported.str());
    std::ostringstream recomputed, errors;
    EXPECT_EQ(cli::runBatch(in, recomputed, errors), cli::kBatchFailedRow);
    EXPECT_EQ(recomputed.str(), exported.str());
    EXPECT_EQ(errors.str(), "");

    // A selection, in the order given.
    std::ostringstream two;
    const std::size_t some[] = {4, 1};
    record.exportBatch(two, some);
    std::istringstream lines(two.str());
    std::vector<std::string> rows;
    for (std::string line; std::getline(lines, line);) {
        rows.push_back(line);
    }
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].substr(0, 11), "f,interval,");
    EXPECT_EQ(rows[2].substr(0, 6), "f,cdf,");
}

TEST_F(RecordFixture, TheFileReadsBackAsTheSameEntries) {
    addOneOfEveryKind();
    ComputationRecord again;
    const RecordReadReport report = again.read(written());
    EXPECT_TRUE(report.whole());
    ASSERT_EQ(again.size(), record.size());
    for (std::size_t i = 0; i < record.size(); ++i) {
        for (std::size_t column = 0; column < kRecordColumnCount; ++column) {
            EXPECT_EQ(recordCell(again.at(i), column), recordCell(record.at(i), column))
                << i << " " << recordColumnName(column);
        }
        EXPECT_EQ(again.at(i).isEffect(), record.at(i).isEffect());
        if (i > 0) {
            EXPECT_LT(again.at(i - 1).sequence, again.at(i).sequence);
        }
    }
    // Columns in another order read as well.
    const RecordReadReport reordered = again.read(
        "status,quantity,distribution,df1,value,time,df2,noncentrality,result\n"
        "ok,cdf,f,5,3,2026-12-08 10:00:00,10,0,0.93444243790615589\n");
    EXPECT_TRUE(reordered.whole());
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(input(again.at(0), InputColumn::Df2), "10");
}

// Every row the record writes reads back, whatever numbers and messages it holds: values a
// refused or failed computation may leave (infinities, NaN, the extremes of the double range,
// denormals, signed zero) and messages with the characters CSV must quote. A fixed seed keeps a
// failure repeatable.
TEST(RecordFile, EveryRowWrittenReadsBackWithHostileValues) {
    const double hostile[] = {std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::quiet_NaN(),
                              -std::numeric_limits<double>::quiet_NaN(),
                              1e308,
                              -std::numeric_limits<double>::max(),
                              std::numeric_limits<double>::denorm_min(),
                              -4.9406564584124654e-320,
                              std::numeric_limits<double>::min(),
                              -0.0,
                              0.1 + 0.2,
                              -9999.0};
    const std::string messages[] = {"a \"quoted\" word",
                                    "commas, and more, commas",
                                    "line\nbreak",
                                    "crlf\r\nline",
                                    "lone\rreturn",
                                    "  blanks around  ",
                                    "",
                                    "\"",
                                    ",",
                                    "\n",
                                    "x | y",
                                    "\xce\xbb \xe2\x89\xa4 1e-300"};
    const int degrees[] = {0, -1, 1, std::numeric_limits<int>::max(),
                           std::numeric_limits<int>::min()};
    const QuantityKind kinds[] = {QuantityKind::CumP,          QuantityKind::Value,
                                  QuantityKind::Noncentrality, QuantityKind::Interval,
                                  QuantityKind::Density,       QuantityKind::Upper};
    std::mt19937_64 random(20261208);
    const auto pick = [&random](const auto& list) { return list[random() % std::size(list)]; };
    // A double from 64 random bits: any sign, exponent and NaN payload.
    const auto anyDouble = [&random] { return std::bit_cast<double>(random()); };
    const auto someNumber = [&] { return random() % 3 == 0 ? anyDouble() : pick(hostile); };

    ComputationRecord record;
    constexpr int kRows = 600;
    for (int row = 0; row < kRows; ++row) {
        ComputeRequest request;
        request.distribution = static_cast<DistributionKind>(row % 3);
        request.quantity = kinds[(row / 3) % std::size(kinds)];
        request.value = someNumber();
        request.noncentrality = someNumber();
        request.cumP = someNumber();
        request.confidence = someNumber();
        request.df1 = pick(degrees);
        request.df2 = static_cast<int>(random());
        ComputeOutcome outcome;
        outcome.result = someNumber();
        outcome.lower = someNumber();
        outcome.upper = someNumber();
        outcome.failed = row % 2 == 1;
        for (int m = 0; m < row % 4; ++m) {
            outcome.messages.push_back(pick(messages) + pick(messages));
        }
        record.append(recordEntry(timeAt(row % 60), request, outcome));
    }
    std::ostringstream text;
    record.write(text);

    ComputationRecord again;
    const RecordReadReport report = again.read(text.str());
    EXPECT_TRUE(report.whole()) << report.rejected << " rows rejected; " << report.headerProblem;
    ASSERT_EQ(again.size(), record.size());
    for (std::size_t i = 0; i < record.size(); ++i) {
        for (std::size_t column = 0; column < kRecordColumnCount; ++column) {
            ASSERT_EQ(recordCell(again.at(i), column), recordCell(record.at(i), column))
                << "row " << i << ", column " << recordColumnName(column);
        }
        // The request read back writes the same inputs: nothing was changed on the way.
        EXPECT_EQ(batch::inputTexts(again.at(i).request), record.at(i).inputs) << "row " << i;
    }

    // The command line's batch still refuses what is not a finite number.
    std::string problem;
    const auto header = batch::BatchHeader::read(
        {"distribution", "quantity", "value", "df1", "df2", "noncentrality"}, problem);
    ASSERT_TRUE(header) << problem;
    std::string reason;
    EXPECT_FALSE(header->request({"f", "cdf", "inf", "1", "1", "0"}, reason));
    EXPECT_EQ(reason, "value: 'inf' is not a finite decimal number");
}

// Two programs share a record file: the merge keeps ours, adds what the other added and leaves
// out what it removed, counting equal rows (two equal computations in one second stay two), in
// time order; a damaged file's missing rows are not taken for removals.
TEST(RecordMerge, AddsTheOthersRowsDropsTheirRemovalsAndCountsEqualRows) {
    const auto entry = [](int second, double value) {
        const ComputeRequest request =
            quantity(DistributionKind::T, QuantityKind::CumP, value, 3, 0, 0.0, 0.0);
        ComputeOutcome outcome;
        outcome.result = value / 10.0;
        return recordEntry(timeAt(second), request, outcome);
    };
    const auto recordOf = [](std::initializer_list<RecordEntry> entries) {
        ComputationRecord record;
        for (const RecordEntry& e : entries) {
            record.append(e);
        }
        return record;
    };
    const auto values = [](const std::vector<RecordEntry>& entries) {
        std::vector<std::string> texts;
        for (const RecordEntry& e : entries) {
            texts.push_back(e.time.substr(17) + "/" + input(e, InputColumn::Value));
        }
        return texts;
    };
    // Base: 1 and 2. Ours added 4 (at second 30) and the same 5 as the other (second 40).
    // The other removed 1, added 3 (second 20) and 5.
    const ComputationRecord base = recordOf({entry(10, 1), entry(15, 2)});
    const ComputationRecord ours =
        recordOf({entry(10, 1), entry(15, 2), entry(30, 4), entry(40, 5)});
    const ComputationRecord disk = recordOf({entry(15, 2), entry(20, 3), entry(40, 5)});
    EXPECT_EQ(values(mergedEntries(ours, base, disk, true)),
              (std::vector<std::string>{"15/2", "20/3", "30/4", "40/5", "40/5"}));
    EXPECT_EQ(values(mergedEntries(ours, base, disk, false)),
              (std::vector<std::string>{"10/1", "15/2", "20/3", "30/4", "40/5", "40/5"}));
    // Nothing changed on disk: ours as it is.
    EXPECT_EQ(values(mergedEntries(ours, base, base, true)),
              values(mergedEntries(ours, ours, ours, true)));
    EXPECT_EQ(mergedEntries(ours, base, base, true).size(), 4u);
}

// Whatever happened to the file, the rows that are whole are read and the damage is counted.
TEST_F(RecordFixture, ADamagedFileGivesItsGoodRows) {
    for (int i = 0; i < 4; ++i) {
        add(quantity(DistributionKind::F, QuantityKind::CumP, 1.0 + i, 5, 10, 0.5, 0.0));
    }
    const std::string file = written();
    const std::size_t lastRow = file.rfind('\n', file.size() - 2) + 1;
    const std::size_t secondRow = file.find('\n', file.find('\n') + 1) + 1;

    const std::pair<std::string, std::size_t> damaged[] = {
        {file.substr(0, lastRow + 30), 3},                   // cut in the middle of a row
        {file.substr(0, file.size() - 1), 3},                // the last line end lost
        {file + "\x01\x02garbage,,,\n\"open quote, 12", 4},  // garbage appended
        {file + "f,cdf,1,2\n", 4},                           // a short row appended
        {file.substr(0, secondRow) + "2026-12-08 10:00:00,f,cdf,x" + file.substr(secondRow), 3},
        {std::string(file).replace(secondRow, 4, "20x6"), 3},  // a time that is no time
        {std::string(file).replace(file.find(",ok,"), 4, ",ko,"), 3},
        {std::string(file).replace(file.find("0.5,"), 4, "0.5x"), 3},  // an input
    };
    for (const auto& [text, kept] : damaged) {
        ComputationRecord again;
        const RecordReadReport report = again.read(text);
        EXPECT_FALSE(report.whole()) << text;
        EXPECT_EQ(report.kept, kept) << text;
        EXPECT_EQ(again.size(), kept) << text;
        EXPECT_GE(report.rejected, 1u) << text;
    }

    ComputationRecord again;
    const std::string notARecord[] = {"\x89PNG\r\n\x1a\n\x00\x00", "a,b,c\n1,2,3\n",
                                      "distribution,quantity,value\nf,cdf,3\n"};
    for (const std::string& text : notARecord) {
        const RecordReadReport report = again.read(text);
        EXPECT_FALSE(report.headerProblem.empty()) << text;
        EXPECT_EQ(again.size(), 0u);
    }
    for (const char* empty : {"", "\n", "  \r\n"}) {
        EXPECT_TRUE(again.read(empty).whole());
        EXPECT_EQ(again.size(), 0u);
    }
}

TEST_F(RecordFixture, TheOldestGoWhenTheRecordIsFull) {
    for (int i = 0; i < 5; ++i) {
        add(quantity(DistributionKind::T, QuantityKind::CumP, i, 3, 0, 0.0, 0.0));
    }
    ComputationRecord small(3);
    const RecordReadReport report = small.read(written());
    EXPECT_TRUE(report.whole()) << "rows beyond the capacity are no damage";
    EXPECT_EQ(report.dropped, 2u);
    ASSERT_EQ(small.size(), 3u);
    EXPECT_EQ(small.at(0).time, timeAt(2));
    EXPECT_EQ(small.append(record.at(0)), 1u);
    EXPECT_EQ(small.size(), 3u);
    EXPECT_EQ(small.at(0).time, timeAt(3));
    EXPECT_EQ(small.at(2).time, timeAt(0));
}

// One-sided intervals, Cramér's V's table and a note are written and read back, and the export
// recomputes them to the same digits.
TEST_F(RecordFixture, OneSidedEntriesWithTheirTableAndNoteReadBack) {
    ComputeRequest interval =
        quantity(DistributionKind::T, QuantityKind::Interval, 2.0, 10, 0, 0.0, 0.0, 0.95);
    interval.alternative = Alternative::Less;
    add(interval);
    EffectRequest v =
        effect(DistributionKind::ChiSquare, EffectQuantity::Estimate, EffectMeasure::CramersV);
    v.value = 20.0;
    v.n = 100;
    v.rows = 3;
    v.cols = 4;
    v.alternative = Alternative::Greater;
    add(v);
    EffectRequest empty =
        effect(DistributionKind::ChiSquare, EffectQuantity::Estimate, EffectMeasure::Rmsea);
    empty.value = 2.0;
    empty.df1 = 20;
    empty.n = 50;
    add(empty);
    EXPECT_EQ(input(record.at(0), InputColumn::Alternative), "less");
    EXPECT_EQ(output(record.at(1), OutputColumn::Upper), "inf");
    EXPECT_EQ(output(record.at(2), OutputColumn::Messages).rfind("Note: ", 0), 0u);

    std::ostringstream file;
    record.write(file);
    ComputationRecord again;
    EXPECT_TRUE(again.read(file.str()).whole());
    ASSERT_EQ(again.size(), 3u);
    const auto& back = std::get<EffectRequest>(again.at(1).request);
    EXPECT_EQ(std::tuple(back.measure, back.rows, back.cols, back.alternative),
              std::tuple(v.measure, v.rows, v.cols, v.alternative));
    EXPECT_EQ(std::get<ComputeRequest>(again.at(0).request).alternative, Alternative::Less);

    std::ostringstream exported;
    const std::size_t all[] = {0, 1, 2};
    record.exportBatch(exported, all);
    std::istringstream in(exported.str());
    std::ostringstream recomputed, errors;
    EXPECT_EQ(cli::runBatch(in, recomputed, errors), cli::kBatchOk);
    EXPECT_EQ(recomputed.str(), exported.str());
}

// A study design's entry keeps its own inputs in the columns after the outputs; the file
// and its export read back as the same request, question and result.
TEST_F(RecordFixture, DesignEntriesKeepTheirInputsAndReadBack) {
    EffectRequest rm =
        effect(DistributionKind::F, EffectQuantity::Power, EffectMeasure::CohensFSquared);
    rm.design = StudyDesign::RmInteraction;
    rm.question = PowerQuestion::Compromise;
    rm.effect = 0.04;
    rm.n = 45;
    rm.groups = 3;
    rm.measurements = 4;
    rm.correlation = 0.6;
    rm.epsilon = 0.75;
    rm.ratio = 2;
    add(rm);
    EffectRequest change =
        effect(DistributionKind::F, EffectQuantity::SampleSize, EffectMeasure::CohensFSquared);
    change.design = StudyDesign::R2Change;
    change.predictors = 4;
    change.tested = 2;
    change.r2 = 0.2;
    change.r2Reduced = 0.15;
    change.effect = 0.05 / 0.8;
    add(change);
    ComputationRecord again;
    EXPECT_TRUE(again.read(written()).whole()) << written();
    ASSERT_EQ(again.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        for (std::size_t column = 0; column < kRecordFileColumnCount; ++column) {
            EXPECT_EQ(recordCell(again.at(i), column), recordCell(record.at(i), column))
                << i << " " << recordColumnName(column);
        }
        const auto& read = std::get<EffectRequest>(again.at(i).request);
        EXPECT_EQ(designFormula(read),
                  designFormula(std::get<EffectRequest>(record.at(i).request)));
    }
    EXPECT_EQ(std::get<EffectRequest>(again.at(0).request).question, PowerQuestion::Compromise);
    EXPECT_EQ(recordCell(again.at(1), kRecordColumnCount +
                                          static_cast<std::size_t>(batch::DesignColumn::R2Reduced)),
              "0.15");
}

}  // namespace
}  // namespace quorvel
