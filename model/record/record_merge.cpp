#include "model/record/record_merge.h"

#include <algorithm>
#include <map>
#include <sstream>

namespace quorvel {

namespace {

using RowCounts = std::map<std::string, std::size_t, std::less<>>;

RowCounts countRows(const ComputationRecord& record) {
    RowCounts counts;
    for (std::size_t i = 0; i < record.size(); ++i) {
        ++counts[recordRowText(record.at(i))];
    }
    return counts;
}

// Takes one of `text` from the counts; false when none is left.
bool takeOne(RowCounts& counts, const std::string& text) {
    const auto found = counts.find(text);
    if (found == counts.end() || found->second == 0) {
        return false;
    }
    --found->second;
    return true;
}

}  // namespace

std::string recordRowText(const RecordEntry& entry) {
    std::vector<std::string> fields(kRecordFileColumnCount);
    for (std::size_t column = 0; column < kRecordFileColumnCount; ++column) {
        fields[column] = recordCell(entry, column);
    }
    std::ostringstream text;
    batch::writeCsvRecord(text, fields);
    return text.str();
}

std::vector<RecordEntry> mergedEntries(const ComputationRecord& ours, const ComputationRecord& base,
                                       const ComputationRecord& onDisk, bool applyRemovals) {
    // What the others added: on disk beyond what base had. What they removed: in base beyond
    // what is on disk.
    RowCounts added = countRows(onDisk);
    RowCounts removed = countRows(base);
    for (auto& [text, count] : added) {
        const auto inBase = removed.find(text);
        if (inBase != removed.end()) {
            const std::size_t common = std::min(count, inBase->second);
            count -= common;
            inBase->second -= common;
        }
    }
    std::vector<RecordEntry> merged;
    for (std::size_t i = 0; i < ours.size(); ++i) {
        if (!(applyRemovals && takeOne(removed, recordRowText(ours.at(i))))) {
            merged.push_back(ours.at(i));
        }
    }
    for (std::size_t i = 0; i < onDisk.size(); ++i) {
        if (takeOne(added, recordRowText(onDisk.at(i)))) {
            merged.push_back(onDisk.at(i));
        }
    }
    std::stable_sort(merged.begin(), merged.end(),
                     [](const RecordEntry& a, const RecordEntry& b) { return a.time < b.time; });
    return merged;
}

}  // namespace quorvel
