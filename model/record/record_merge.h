#pragma once

#include <string>
#include <vector>

#include "model/record/computation_record.h"

namespace quorvel {

// The text that tells one row of the record file from another: the row as the file writes it
// (time, inputs, outputs).
std::string recordRowText(const RecordEntry& entry);

// The record after a three-way merge, for two running programs that share one record file.
// `base` is the file as this program last read or wrote it, `onDisk` the file as it is now and
// `ours` this program's record. The result is ours, less the rows another program removed since
// (in base, gone from disk; only when `applyRemovals`, which a damaged file must not be trusted
// for), plus the rows another program added (on disk, not in base), in time order. Rows are
// counted by their text, so two equal computations within one second stay two.
std::vector<RecordEntry> mergedEntries(const ComputationRecord& ours, const ComputationRecord& base,
                                       const ComputationRecord& onDisk, bool applyRemovals);

}  // namespace quorvel
