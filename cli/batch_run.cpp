#include "cli/batch_run.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/csv.h"
#include "numerics/calculators.h"
#include "numerics/computation.h"
#include "numerics/effects/effect_request.h"
#include "numerics/foundations/recording_reporter.h"
#include "numerics/number_text.h"
#include "numerics/request_model.h"

namespace quorvel::cli {

namespace {

constexpr std::string_view kMessageSeparator = " | ";

enum class ColumnKind { Distribution, Quantity, Number };

// A number column serves the distribution quantities, the effect quantities or both.
struct Column {
    ColumnKind kind;
    std::optional<RequestInput> input = std::nullopt;
    std::optional<EffectInput> effectInput = std::nullopt;
};

struct ColumnName {
    std::string_view name;
    Column column;
};

const ColumnName kColumnNames[] = {
    {"distribution", {ColumnKind::Distribution}},
    {"quantity", {ColumnKind::Quantity}},
    {"value", {ColumnKind::Number, RequestInput::Value, EffectInput::Value}},
    {"df1", {ColumnKind::Number, RequestInput::Df1, EffectInput::Df1}},
    {"df", {ColumnKind::Number, RequestInput::Df1, EffectInput::Df1}},
    {"df2", {ColumnKind::Number, RequestInput::Df2, EffectInput::Df2}},
    {"noncentrality", {ColumnKind::Number, RequestInput::Noncentrality}},
    {"cump", {ColumnKind::Number, RequestInput::CumP}},
    {"confidence", {ColumnKind::Number, RequestInput::Confidence, EffectInput::Confidence}},
    {"n", {ColumnKind::Number, std::nullopt, EffectInput::N}},
    {"n1", {ColumnKind::Number, std::nullopt, EffectInput::N1}},
    {"n2", {ColumnKind::Number, std::nullopt, EffectInput::N2}},
    {"alpha", {ColumnKind::Number, std::nullopt, EffectInput::Alpha}},
    {"power", {ColumnKind::Number, std::nullopt, EffectInput::Power}},
    {"sides", {ColumnKind::Number, std::nullopt, EffectInput::Sides}},
    {"design", {ColumnKind::Number, std::nullopt, EffectInput::Design}},
    {"effect", {ColumnKind::Number, std::nullopt, EffectInput::Effect}},
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
    std::optional<std::size_t> distribution;
    std::optional<std::size_t> quantity;
    std::map<RequestInput, std::size_t> inputs;
    std::map<EffectInput, std::size_t> effectInputs;

    std::optional<std::size_t> position(RequestInput input) const {
        const auto found = inputs.find(input);
        return found == inputs.end() ? std::nullopt : std::optional(found->second);
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
        bool repeated = false;
        switch (match->column.kind) {
            case ColumnKind::Distribution:
                repeated = layout.distribution.has_value();
                layout.distribution = i;
                break;
            case ColumnKind::Quantity:
                repeated = layout.quantity.has_value();
                layout.quantity = i;
                break;
            case ColumnKind::Number:
                if (match->column.input) {
                    repeated = !layout.inputs.emplace(*match->column.input, i).second;
                }
                break;
        }
        if (match->column.effectInput) {
            repeated =
                !layout.effectInputs.emplace(*match->column.effectInput, i).second || repeated;
        }
        if (repeated) {
            problem = "column '" + name + "' appears more than once";
            return std::nullopt;
        }
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
    std::string achievedPower;
};

RowResult invalid(std::string reason) {
    return {"", "", "", "invalid", std::move(reason), ""};
}

// A row's request: a distribution quantity or an effect quantity.
using RowRequest = std::variant<ComputeRequest, EffectRequest>;

// An effect quantity's row: the texts of the columns its command takes, by input.
std::variant<EffectRequest, std::string> readEffectRow(const std::vector<std::string>& fields,
                                                       const HeaderLayout& layout,
                                                       const EffectCommand& command) {
    EffectTexts texts;
    for (const auto& [input, position] : layout.effectInputs) {
        const std::string_view text = trimmed(fields[position]);
        if (takes(command, input) && !text.empty()) {
            texts[input] = std::string(text);
        }
    }
    const EffectNamer columnName = [](EffectInput input) {
        return std::string(effectInputName(input));
    };
    return effectRequestFrom(command, texts, columnName);
}

// Reads a row into a request, or gives the reason it cannot be computed.
std::optional<RowRequest> readRow(const std::vector<std::string>& fields,
                                  const HeaderLayout& layout, std::string& reason) {
    const std::string distributionText = lowered(fields[*layout.distribution]);
    const std::optional<DistributionKind> distribution = distributionNamed(distributionText);
    if (!distribution) {
        reason = "unknown distribution '" + distributionText + "' (use f, t or chisq)";
        return std::nullopt;
    }
    const std::string quantityText = lowered(fields[*layout.quantity]);
    const std::optional<QuantityKind> quantity = quantityNamed(quantityText);
    if (!quantity) {
        const EffectCommand* command = effectCommandNamed(*distribution, quantityText);
        if (command == nullptr) {
            reason = "unknown quantity '" + quantityText +
                     "' (use cdf, pdf, value, noncentrality, interval, an effect size, power or "
                     "sample-size)";
            return std::nullopt;
        }
        auto effect = readEffectRow(fields, layout, *command);
        if (const std::string* problem = std::get_if<std::string>(&effect)) {
            reason = distributionText + " " + quantityText + ": " + *problem;
            return std::nullopt;
        }
        return std::get<EffectRequest>(effect);
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
           << ',' << row.status << ',' << csvField(row.messages) << ','
           << csvField(row.achievedPower) << '\n';
}

void writeEffectOutcome(EffectQuantity quantity, const EffectOutcome& outcome, RowResult& row) {
    switch (quantity) {
        case EffectQuantity::Estimate:
            row.result = formatNumber(outcome.estimate);
            row.lower = formatNumber(outcome.lower);
            row.upper = formatNumber(outcome.upper);
            break;
        case EffectQuantity::Power:
            row.result = formatNumber(outcome.power);
            break;
        case EffectQuantity::SampleSize:
            row.result = std::to_string(outcome.n);
            row.achievedPower = formatNumber(outcome.power);
            break;
    }
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
    output << "result,lower,upper,status,messages,achieved_power\n";

    int status = kBatchOk;
    CsvRecord record;
    while (reader.next(record)) {
        if (isBlankLine(record)) {
            continue;
        }
        RowResult row;
        std::string reason;
        std::optional<RowRequest> request;
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
            bool failed = false;
            if (const auto* quantity = std::get_if<ComputeRequest>(&*request)) {
                const ComputeOutcome outcome = compute(*quantity, messages);
                failed = outcome.failed;
                if (quantity->quantity == QuantityKind::Interval) {
                    row.lower = formatNumber(outcome.lower);
                    row.upper = formatNumber(outcome.upper);
                } else {
                    row.result = formatNumber(outcome.result);
                }
            } else {
                const auto& effect = std::get<EffectRequest>(*request);
                const EffectOutcome outcome = computeEffectRow(effect, messages);
                failed = outcome.failed;
                writeEffectOutcome(effect.quantity, outcome, row);
            }
            if (!failed) {
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
