#include "cli/batch_run.h"

#include <algorithm>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "model/batch/batch_format.h"
#include "model/batch/csv.h"
#include "model/computation.h"
#include "model/effects/effect_request.h"
#include "numerics/calculators.h"
#include "numerics/foundations/failure/recording_reporter.h"

namespace quorvel::cli {

using batch::BatchHeader;
using batch::columnName;
using batch::CsvReader;
using batch::CsvRecord;
using batch::invalidOutputs;
using batch::kOutputColumnCount;
using batch::OutputColumn;
using batch::OutputTexts;
using batch::outputTexts;
using batch::writeCsvRecord;

namespace {

bool isBlankLine(const CsvRecord& record) {
    if (!record.problem.empty() || record.fields.size() != 1) {
        return false;
    }
    const std::string& field = record.fields[0];
    return field.find_first_not_of(" \t") == std::string::npos;
}

// The row as read, without the output columns of an earlier run, then its outputs.
void writeRow(std::ostream& output, const BatchHeader& header,
              const std::vector<std::string>& fields, const OutputTexts& outputs) {
    std::vector<std::string> written;
    written.reserve(header.size() + outputs.size());
    for (std::size_t i = 0; i < header.size(); ++i) {
        if (!header.isOutput(i)) {
            written.push_back(i < fields.size() ? fields[i] : std::string());
        }
    }
    written.insert(written.end(), outputs.begin(), outputs.end());
    writeCsvRecord(output, written);
}

}  // namespace

int runBatch(std::istream& input, std::ostream& output, std::ostream& errors) {
    RecordingReporter reporter;
    Calculators calculators(reporter);
    const RowComputation compute = [&](const ComputeRequest& request,
                                       std::vector<std::string>& messages) {
        reporter.messages.clear();
        const ComputeOutcome outcome = computeQuantity(calculators, request);
        messages = std::move(reporter.messages);
        return outcome;
    };
    const EffectRowComputation computeEffectRow = [&](const EffectRequest& request,
                                                      std::vector<std::string>& messages) {
        reporter.messages.clear();
        const EffectOutcome outcome = computeEffect(calculators, request);
        messages = std::move(reporter.messages);
        return outcome;
    };
    return runBatch(input, output, errors, compute, computeEffectRow);
}

int runBatch(std::istream& input, std::ostream& output, std::ostream& errors,
             const RowComputation& compute, const EffectRowComputation& computeEffectRow) {
    CsvReader reader(input);
    CsvRecord headerRecord;
    if (!reader.next(headerRecord)) {
        errors << "quorvel-cli: the batch input is empty; it needs a header row\n";
        return kBatchInvalid;
    }
    std::string problem = headerRecord.problem;
    std::optional<BatchHeader> header;
    if (problem.empty()) {
        header = BatchHeader::read(headerRecord.fields, problem);
    }
    if (!header) {
        errors << "quorvel-cli: unusable header: " << problem << '\n';
        return kBatchInvalid;
    }
    std::vector<std::string> names;
    for (std::size_t i = 0; i < header->size(); ++i) {
        if (!header->isOutput(i)) {
            names.push_back(headerRecord.fields[i]);
        }
    }
    for (std::size_t i = 0; i < kOutputColumnCount; ++i) {
        names.emplace_back(columnName(static_cast<OutputColumn>(i)));
    }
    writeCsvRecord(output, names);

    int status = kBatchOk;
    CsvRecord record;
    while (reader.next(record)) {
        if (isBlankLine(record)) {
            continue;
        }
        std::string reason;
        std::optional<batch::BatchRequest> request;
        if (!record.problem.empty()) {
            reason = record.problem;
        } else if (record.fields.size() != header->size()) {
            reason = "the row has " + std::to_string(record.fields.size()) +
                     " fields, the header " + std::to_string(header->size());
        } else {
            request = header->request(record.fields, reason);
        }
        OutputTexts outputs;
        if (!request) {
            outputs = invalidOutputs(reason);
            status = kBatchInvalid;
        } else {
            std::vector<std::string> messages;
            bool failed = false;
            if (const auto* quantity = std::get_if<ComputeRequest>(&*request)) {
                ComputeOutcome outcome = compute(*quantity, messages);
                outcome.messages = messages;
                failed = outcome.failed;
                outputs = outputTexts(*quantity, outcome);
            } else {
                const auto& effect = std::get<EffectRequest>(*request);
                EffectOutcome outcome = computeEffectRow(effect, messages);
                outcome.messages = messages;
                failed = outcome.failed;
                outputs = outputTexts(effect, outcome);
            }
            if (failed) {
                status = std::max(status, static_cast<int>(kBatchFailedRow));
            }
        }
        writeRow(output, *header, record.fields, outputs);
    }
    return status;
}

}  // namespace quorvel::cli
