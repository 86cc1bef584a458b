#include "cli/batch_run.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/csv.h"
#include "cli/number_text.h"
#include "numerics/calculators.h"
#include "numerics/computation.h"
#include "numerics/foundations/recording_reporter.h"
#include "numerics/request_model.h"

namespace quorvel::cli {

namespace {

constexpr std::string_view kMessageSeparator = " | ";

enum class ColumnKind { Distribution, Quantity, Number };

struct Column {
    ColumnKind kind;
    RequestInput input = RequestInput::Value;
};

struct ColumnName {
    std::string_view name;
    Column column;
};

constexpr ColumnName kColumnNames[] = {
    {"distribution", {ColumnKind::Distribution}},
    {"quantity", {ColumnKind::Quantity}},
    {"value", {ColumnKind::Number, RequestInput::Value}},
    {"df1", {ColumnKind::Number, RequestInput::Df1}},
    {"df", {ColumnKind::Number, RequestInput::Df1}},
    {"df2", {ColumnKind::Number, RequestInput::Df2}},
    {"noncentrality", {ColumnKind::Number, RequestInput::Noncentrality}},
    {"cump", {ColumnKind::Number, RequestInput::CumP}},
    {"confidence", {ColumnKind::Number, RequestInput::Confidence}},
};

std::string_view inputName(RequestInput input) {
    switch (input) {
        case RequestInput::Value:
            return "value";
        case RequestInput::Df1:
            return "df1";
        case RequestInput::Df2:
            return "df2";
        case RequestInput::Noncentrality:
            return "noncentrality";
        case RequestInput::CumP:
            return "cump";
        case RequestInput::Confidence:
            return "confidence";
    }
    return {};
}

std::string_view trimmed(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string lowered(std::string_view text) {
    std::string result(trimmed(text));
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

// Where each kind of column stands in the header.
struct HeaderLayout {
    std::vector<Column> columns;
    std::optional<std::size_t> distribution;
    std::optional<std::size_t> quantity;
    std::optional<std::size_t> inputs[6];

    std::optional<std::size_t>& position(RequestInput input) {
        return inputs[static_cast<std::size_t>(input)];
    }
};

// The header's columns, or a reason why it cannot be used.
std::optional<HeaderLayout> readHeader(const CsvRecord& record, std::string& problem) {
    if (!record.problem.empty()) {
        problem = record.problem;
        return std::nullopt;
    }
    HeaderLayout layout;
    for (std::size_t i = 0; i < record.fields.size(); ++i) {
        const std::string name = lowered(record.fields[i]);
        const ColumnName* match = nullptr;
        for (const ColumnName& candidate : kColumnNames) {
            if (candidate.name == name) {
                match = &candidate;
            }
        }
        if (match == nullptr) {
            problem = "unknown column '" + std::string(trimmed(record.fields[i])) + "'";
            return std::nullopt;
        }
        std::optional<std::size_t>* slot = nullptr;
        switch (match->column.kind) {
            case ColumnKind::Distribution:
                slot = &layout.distribution;
                break;
            case ColumnKind::Quantity:
                slot = &layout.quantity;
                break;
            case ColumnKind::Number:
                slot = &layout.position(match->column.input);
                break;
        }
        if (slot->has_value()) {
            problem = "column '" + name + "' appears more than once";
            return std::nullopt;
        }
        *slot = i;
        layout.columns.push_back(match->column);
    }
    if (!layout.distribution || !layout.quantity) {
        problem = "the columns 'distribution' and 'quantity' are required";
        return std::nullopt;
    }
    return layout;
}

struct RowResult {
    std::string result;
    std::string lower;
    std::string upper;
    std::string status;
    std::string messages;
};

RowResult invalid(std::string reason) {
    return {"", "", "", "invalid", std::move(reason)};
}

// Reads a row into a request, or gives the reason it cannot be computed.
std::optional<ComputeRequest> readRow(const std::vector<std::string>& fields, HeaderLayout& layout,
                                      std::string& reason) {
    const std::string distributionText = lowered(fields[*layout.distribution]);
    const std::optional<DistributionKind> distribution = distributionNamed(distributionText);
    if (!distribution) {
        reason = "unknown distribution '" + distributionText + "' (use f, t or chisq)";
        return std::nullopt;
    }
    const std::string quantityText = lowered(fields[*layout.quantity]);
    const std::optional<QuantityKind> quantity = quantityNamed(quantityText);
    if (!quantity) {
        reason =
            "unknown quantity '" + quantityText + "' (use cdf, value, noncentrality or interval)";
        return std::nullopt;
    }
    ComputeRequest request;
    request.distribution = *distribution;
    request.quantity = *quantity;
    request.confidence = kDefaultConfidence;
    const InputNeeds needs = inputsFor(*distribution, *quantity);
    std::vector<RequestInput> wanted = needs.required;
    if (needs.takesConfidence) {
        wanted.push_back(RequestInput::Confidence);
    }
    const std::string combination = distributionText + " " + quantityText;
    for (RequestInput input : wanted) {
        const bool required = input != RequestInput::Confidence;
        const std::optional<std::size_t> position = layout.position(input);
        const std::string_view text = position ? trimmed(fields[*position]) : std::string_view{};
        if (text.empty()) {
            if (!required) {
                continue;
            }
            reason = std::string(inputName(input)) + " is needed for " + combination;
            return std::nullopt;
        }
        const std::optional<double> number = parseNumber(text);
        if (!number) {
            reason = std::string(inputName(input)) + ": '" + std::string(text) +
                     "' is not a finite decimal number";
            return std::nullopt;
        }
        if (isDegreesOfFreedom(input) && std::trunc(*number) != *number) {
            reason = std::string(inputName(input)) + ": '" + std::string(text) +
                     "' is not a whole number of degrees of freedom";
            return std::nullopt;
        }
        assignInput(request, input, *number);
    }
    return request;
}

std::string joined(const std::vector<std::string>& messages) {
    std::string text;
    for (const std::string& message : messages) {
        if (!text.empty()) {
            text += kMessageSeparator;
        }
        text += message;
    }
    return text;
}

void writeRow(std::ostream& output, const std::vector<std::string>& fields, std::size_t columns,
              const RowResult& row) {
    for (std::size_t i = 0; i < columns; ++i) {
        output << (i < fields.size() ? csvField(fields[i]) : std::string()) << ',';
    }
    output << csvField(row.result) << ',' << csvField(row.lower) << ',' << csvField(row.upper)
           << ',' << row.status << ',' << csvField(row.messages) << '\n';
}

bool isBlankLine(const CsvRecord& record) {
    return record.problem.empty() && record.fields.size() == 1 && trimmed(record.fields[0]).empty();
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
    return runBatch(input, output, errors, compute);
}

int runBatch(std::istream& input, std::ostream& output, std::ostream& errors,
             const RowComputation& compute) {
    CsvReader reader(input);
    CsvRecord header;
    if (!reader.next(header)) {
        errors << "quorvel-cli: the batch input is empty; it needs a header row\n";
        return kBatchInvalid;
    }
    std::string problem;
    std::optional<HeaderLayout> layout = readHeader(header, problem);
    if (!layout) {
        errors << "quorvel-cli: unusable header: " << problem << '\n';
        return kBatchInvalid;
    }
    const std::size_t columns = header.fields.size();
    for (const std::string& name : header.fields) {
        output << csvField(name) << ',';
    }
    output << "result,lower,upper,status,messages\n";

    int status = kBatchOk;
    CsvRecord record;
    while (reader.next(record)) {
        if (isBlankLine(record)) {
            continue;
        }
        RowResult row;
        std::string reason;
        std::optional<ComputeRequest> request;
        if (!record.problem.empty()) {
            reason = record.problem;
        } else if (record.fields.size() != columns) {
            reason = "the row has " + std::to_string(record.fields.size()) +
                     " fields, the header " + std::to_string(columns);
        } else {
            request = readRow(record.fields, *layout, reason);
        }
        if (!request) {
            row = invalid(reason);
            status = kBatchInvalid;
        } else {
            std::vector<std::string> messages;
            const ComputeOutcome outcome = compute(*request, messages);
            if (request->quantity == QuantityKind::Interval) {
                row.lower = formatNumber(outcome.lower);
                row.upper = formatNumber(outcome.upper);
            } else {
                row.result = formatNumber(outcome.result);
            }
            if (!outcome.failed) {
                row.status = "ok";
            } else {
                row.status = "failed";
                row.messages = joined(messages);
                status = std::max(status, static_cast<int>(kBatchFailedRow));
            }
        }
        writeRow(output, record.fields, columns, row);
    }
    return status;
}

}  // namespace quorvel::cli
