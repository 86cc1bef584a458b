#include "model/record/computation_record.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <ctime>
#include <sstream>
#include <vector>

#include "model/batch/csv.h"

namespace quorvel {

namespace {

using batch::OutputColumn;

constexpr std::string_view kTimeName = "time";
constexpr std::string_view kTimePattern = "0000-00-00 00:00:00";

std::string& output(RecordEntry& entry, OutputColumn column) {
    return entry.outputs[static_cast<std::size_t>(column)];
}

// "YYYY-MM-DD HH:MM:SS", digits where the pattern has them.
bool isTime(std::string_view text) {
    if (text.size() != kTimePattern.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if ((kTimePattern[i] == '0') != digit || (!digit && text[i] != kTimePattern[i])) {
            return false;
        }
    }
    return true;
}

// A number as formatNumber writes it, including "inf" and "nan" for what a failure may leave.
bool isNumberText(std::string_view text) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size();
}

// The entry a record file's row describes, or nothing.
std::optional<RecordEntry> readEntry(const batch::BatchHeader& header,
                                     const std::vector<std::string>& fields) {
    const std::optional<std::size_t> timeAt = header.position(kTimeName);
    if (fields.size() != header.size() || !timeAt || !isTime(fields[*timeAt])) {
        return std::nullopt;
    }
    std::string reason;
    std::optional<batch::BatchRequest> request =
        header.request(fields, reason, batch::NumberReading::AsWritten);
    if (!request) {
        return std::nullopt;
    }
    RecordEntry entry;
    entry.time = fields[*timeAt];
    entry.request = std::move(*request);
    entry.inputs = batch::inputTexts(entry.request);
    entry.designInputs = batch::designTexts(entry.request);
    for (std::size_t i = 0; i < batch::kOutputColumnCount; ++i) {
        const auto column = static_cast<OutputColumn>(i);
        if (const std::optional<std::size_t> at = header.position(column)) {
            entry.outputs[i] = fields[*at];
        }
        const std::string& text = entry.outputs[i];
        const bool numeric = column != OutputColumn::Status && column != OutputColumn::Messages;
        if (numeric && !text.empty() && !isNumberText(text)) {
            return std::nullopt;
        }
    }
    const std::string& status = output(entry, OutputColumn::Status);
    if (status != batch::kStatusOk && status != batch::kStatusFailed) {
        return std::nullopt;
    }
    return entry;
}

}  // namespace

bool RecordEntry::failed() const {
    return outputs[static_cast<std::size_t>(OutputColumn::Status)] == batch::kStatusFailed;
}

namespace {
template <class Request, class Outcome>
RecordEntry entryOf(std::string time, const Request& request, const Outcome& outcome) {
    RecordEntry entry;
    entry.time = std::move(time);
    entry.request = request;
    entry.inputs = batch::inputTexts(entry.request);
    entry.designInputs = batch::designTexts(entry.request);
    entry.outputs = batch::outputTexts(request, outcome);
    return entry;
}
}  // namespace

RecordEntry recordEntry(std::string time, const ComputeRequest& request,
                        const ComputeOutcome& outcome) {
    return entryOf(std::move(time), request, outcome);
}

RecordEntry recordEntry(std::string time, const EffectRequest& request,
                        const EffectOutcome& outcome) {
    return entryOf(std::move(time), request, outcome);
}

std::string localTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::array<char, 32> buffer{};
    const std::size_t length =
        std::strftime(buffer.data(), buffer.size(), "%Y-%m-%d %H:%M:%S", &local);
    return std::string(buffer.data(), length);
}

std::string_view recordColumnName(std::size_t column) {
    if (column == kTimeColumn) {
        return kTimeName;
    }
    if (column < kFirstOutputColumn) {
        return batch::columnName(static_cast<batch::InputColumn>(column - kFirstInputColumn));
    }
    if (column >= kRecordColumnCount) {
        return batch::columnName(static_cast<batch::DesignColumn>(column - kRecordColumnCount));
    }
    return batch::columnName(static_cast<OutputColumn>(column - kFirstOutputColumn));
}

const std::string& recordCell(const RecordEntry& entry, std::size_t column) {
    if (column == kTimeColumn) {
        return entry.time;
    }
    if (column < kFirstOutputColumn) {
        return entry.inputs[column - kFirstInputColumn];
    }
    if (column >= kRecordColumnCount) {
        return entry.designInputs[column - kRecordColumnCount];
    }
    return entry.outputs[column - kFirstOutputColumn];
}

bool isNumberColumn(std::size_t column) {
    using batch::InputColumn;
    if (column == kTimeColumn) {
        return false;
    }
    if (column < kFirstOutputColumn) {
        const auto input = static_cast<InputColumn>(column - kFirstInputColumn);
        return input != InputColumn::Distribution && input != InputColumn::Quantity &&
               input != InputColumn::Design && input != InputColumn::Alternative;
    }
    const auto output = static_cast<OutputColumn>(column - kFirstOutputColumn);
    return output != OutputColumn::Status && output != OutputColumn::Messages;
}

namespace {
// The columns a file of these entries needs: the designs' only where an entry has one of them,
// so that a record without designs keeps the layout of earlier files.
template <class Iterator>
std::size_t columnsToWrite(Iterator begin, Iterator end) {
    const bool anyDesign = std::any_of(begin, end, [](const RecordEntry& entry) {
        return std::any_of(entry.designInputs.begin(), entry.designInputs.end(),
                           [](const std::string& text) { return !text.empty(); });
    });
    return anyDesign ? kRecordFileColumnCount : kRecordColumnCount;
}
}  // namespace

ComputationRecord::ComputationRecord(std::size_t capacity) : capacity_(capacity) {}

std::size_t ComputationRecord::append(RecordEntry entry) {
    std::size_t removed = 0;
    while (!entries_.empty() && entries_.size() >= capacity_) {
        removeOldest();
        ++removed;
    }
    entry.sequence = nextSequence_++;
    entries_.push_back(std::move(entry));
    return removed;
}

void ComputationRecord::removeOldest() {
    if (!entries_.empty()) {
        entries_.pop_front();
    }
}

void ComputationRecord::clear() {
    entries_.clear();
}

void ComputationRecord::write(std::ostream& output) const {
    const std::size_t columns = columnsToWrite(entries_.begin(), entries_.end());
    std::vector<std::string> fields(columns);
    for (std::size_t column = 0; column < columns; ++column) {
        fields[column] = recordColumnName(column);
    }
    batch::writeCsvRecord(output, fields);
    for (const RecordEntry& entry : entries_) {
        for (std::size_t column = 0; column < columns; ++column) {
            fields[column] = recordCell(entry, column);
        }
        batch::writeCsvRecord(output, fields);
    }
}

RecordReadReport ComputationRecord::read(std::string_view file) {
    RecordReadReport report;
    entries_.clear();
    if (file.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        return report;
    }
    // A row cut short has no line end: only what ends with one is read.
    const std::size_t end = file.rfind('\n') + 1;  // 0 when there is none
    if (end < file.size() && file.substr(end).find_first_not_of(" \t\r") != std::string::npos) {
        ++report.rejected;
    }
    std::istringstream stream{std::string(file.substr(0, end))};
    batch::CsvReader reader(stream);
    batch::CsvRecord record;
    std::optional<batch::BatchHeader> header;
    if (reader.next(record)) {
        const std::string_view extras[] = {kTimeName};
        std::string problem = record.problem;
        if (problem.empty()) {
            header = batch::BatchHeader::read(record.fields, problem, extras);
        }
        if (header && (!header->position(kTimeName) || !header->position(OutputColumn::Status))) {
            header.reset();
            problem = "the columns 'time' and 'status' are required";
        }
        report.headerProblem = header ? std::string() : (problem.empty() ? "no header" : problem);
    } else {
        report.headerProblem = "no header";
    }
    std::deque<RecordEntry> read;
    while (reader.next(record)) {
        const bool blank = record.problem.empty() && record.fields.size() == 1 &&
                           record.fields[0].find_first_not_of(" \t\r") == std::string::npos;
        if (blank) {
            continue;
        }
        std::optional<RecordEntry> entry;
        if (header && record.problem.empty()) {
            entry = readEntry(*header, record.fields);
        }
        if (!entry) {
            ++report.rejected;
            continue;
        }
        read.push_back(std::move(*entry));
        if (read.size() > capacity_) {
            read.pop_front();
            ++report.dropped;
        }
    }
    for (RecordEntry& entry : read) {
        entry.sequence = nextSequence_++;
    }
    entries_ = std::move(read);
    report.kept = entries_.size();
    return report;
}

void ComputationRecord::exportBatch(std::ostream& output,
                                    std::span<const std::size_t> positions) const {
    std::vector<RecordEntry> exported;
    for (std::size_t position : positions) {
        exported.push_back(entries_.at(position));
    }
    const std::size_t columns = columnsToWrite(exported.begin(), exported.end());
    std::vector<std::string> fields(columns - 1);
    for (std::size_t column = 1; column < columns; ++column) {
        fields[column - 1] = recordColumnName(column);
    }
    batch::writeCsvRecord(output, fields);
    for (const RecordEntry& entry : exported) {
        for (std::size_t column = 1; column < columns; ++column) {
            fields[column - 1] = recordCell(entry, column);
        }
        batch::writeCsvRecord(output, fields);
    }
}

}  // namespace quorvel
