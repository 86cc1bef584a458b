#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "model/batch/batch_format.h"
#include "model/computation.h"
#include "model/effects/effects.h"

namespace quorvel {

// One computation as the record of computations keeps it: when it ended, what was asked, and
// what came out, as the texts of the batch format's columns (inputs in their shortest exact
// form, results with 17 significant digits, the messages shown joined by " | ").
struct RecordEntry {
    std::string time;  // local time, "2026-12-08 10:46:25"
    batch::BatchRequest request;
    batch::InputTexts inputs;
    batch::OutputTexts outputs;
    // A study design's own inputs, the columns the file keeps after the outputs.
    batch::DesignTexts designInputs;
    // Counts up with every entry the record takes: newer entries have larger numbers.
    std::uint64_t sequence = 0;

    bool failed() const;
    bool isEffect() const { return std::holds_alternative<EffectRequest>(request); }
};

RecordEntry recordEntry(std::string time, const ComputeRequest& request,
                        const ComputeOutcome& outcome);
RecordEntry recordEntry(std::string time, const EffectRequest& request,
                        const EffectOutcome& outcome);

// The local time now as the record writes it: "YYYY-MM-DD HH:MM:SS".
std::string localTimeNow();

// The record's columns: "time", then the batch format's input columns, then its output columns.
inline constexpr std::size_t kRecordColumnCount =
    1 + batch::kInputColumnCount + batch::kOutputColumnCount;
inline constexpr std::size_t kTimeColumn = 0;
inline constexpr std::size_t kFirstInputColumn = 1;
inline constexpr std::size_t kFirstOutputColumn = kFirstInputColumn + batch::kInputColumnCount;
// The record file's columns: the record's, then the study designs' input columns.
inline constexpr std::size_t kRecordFileColumnCount =
    kRecordColumnCount + batch::kDesignColumnCount;
// Every column of the file, the designs' beyond kRecordColumnCount.
std::string_view recordColumnName(std::size_t column);
const std::string& recordCell(const RecordEntry& entry, std::size_t column);
// Whether a column holds numbers (and sorts as numbers).
bool isNumberColumn(std::size_t column);

// What reading a record file found.
struct RecordReadReport {
    std::size_t kept = 0;      // rows now in the record
    std::size_t rejected = 0;  // rows, or pieces of text, that could not be read
    std::size_t dropped = 0;   // readable rows beyond the capacity (the oldest)
    // Why the header could not be used; empty when it could.
    std::string headerProblem;

    // The whole file was read: a fresh file, or one this program wrote and nothing damaged.
    bool whole() const { return rejected == 0 && headerProblem.empty(); }
};

// The record of computations, free of any window system: the newest `capacity` entries, oldest
// first. It is written and read as a CSV file (time, then the batch columns); its export is a
// batch file that `quorvel-cli --batch` recomputes to the same digits.
class ComputationRecord {
  public:
    static constexpr std::size_t kDefaultCapacity = 10000;

    explicit ComputationRecord(std::size_t capacity = kDefaultCapacity);

    std::size_t size() const { return entries_.size(); }
    std::size_t capacity() const { return capacity_; }
    bool empty() const { return entries_.empty(); }
    // Oldest first.
    const RecordEntry& at(std::size_t index) const { return entries_.at(index); }

    // Appends an entry (numbering it); when the record is full the oldest goes first. Returns
    // how many went.
    std::size_t append(RecordEntry entry);
    void removeOldest();
    void clear();

    // The record file: a header row ("time" and the batch columns), then one row per entry,
    // oldest first.
    void write(std::ostream& output) const;
    // Replaces the entries with the readable rows of a record file. A row is read when it has
    // every field of the header, a time, a request the batch reads and outputs that could be the
    // batch's; the text after the last line end (a row cut short) is not read. Rows beyond the
    // capacity drop the oldest. Blank lines are skipped; an empty file is an empty record.
    RecordReadReport read(std::string_view file);

    // A batch file of the entries at these positions (oldest first positions, in the order
    // given): the input columns, then the output columns as the batch writes them.
    void exportBatch(std::ostream& output, std::span<const std::size_t> positions) const;

  private:
    std::deque<RecordEntry> entries_;
    std::size_t capacity_;
    std::uint64_t nextSequence_ = 1;
};

}  // namespace quorvel
