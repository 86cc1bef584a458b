#include "model/batch/batch_format.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "model/batch/csv.h"
#include "model/number_text.h"

namespace quorvel::batch {

namespace {

enum class ColumnKind { Distribution, Quantity, Number, Output };

// A header name: what its column holds. A number column serves the distribution quantities,
// the effect quantities or both.
struct ColumnName {
    std::string_view name;
    ColumnKind kind;
    std::optional<RequestInput> input = std::nullopt;
    std::optional<EffectInput> effectInput = std::nullopt;
    std::optional<OutputColumn> output = std::nullopt;
};

// Every name a header may use; the input columns first, in the order of InputColumn, then the
// alias "df", then the output columns in the order of OutputColumn.
constexpr ColumnName kColumnNames[] = {
    {"distribution", ColumnKind::Distribution},
    {"quantity", ColumnKind::Quantity},
    {"value", ColumnKind::Number, RequestInput::Value, EffectInput::Value},
    {"df1", ColumnKind::Number, RequestInput::Df1, EffectInput::Df1},
    {"df2", ColumnKind::Number, RequestInput::Df2, EffectInput::Df2},
    {"noncentrality", ColumnKind::Number, RequestInput::Noncentrality},
    {"cump", ColumnKind::Number, RequestInput::CumP},
    {"p_lower", ColumnKind::Number, RequestInput::PLower},
    {"p_upper", ColumnKind::Number, RequestInput::PUpper},
    {"confidence", ColumnKind::Number, RequestInput::Confidence, EffectInput::Confidence},
    {"n", ColumnKind::Number, std::nullopt, EffectInput::N},
    {"n1", ColumnKind::Number, std::nullopt, EffectInput::N1},
    {"n2", ColumnKind::Number, std::nullopt, EffectInput::N2},
    {"alpha", ColumnKind::Number, std::nullopt, EffectInput::Alpha},
    {"power", ColumnKind::Number, std::nullopt, EffectInput::Power},
    {"sides", ColumnKind::Number, std::nullopt, EffectInput::Sides},
    {"design", ColumnKind::Number, std::nullopt, EffectInput::Design},
    {"effect", ColumnKind::Number, std::nullopt, EffectInput::Effect},
    {"rows", ColumnKind::Number, std::nullopt, EffectInput::Rows},
    {"cols", ColumnKind::Number, std::nullopt, EffectInput::Cols},
    {"alternative", ColumnKind::Number, std::nullopt, EffectInput::Alternative},
    {"df", ColumnKind::Number, RequestInput::Df1, EffectInput::Df1},
    {"result", ColumnKind::Output, std::nullopt, std::nullopt, OutputColumn::Result},
    {"lower", ColumnKind::Output, std::nullopt, std::nullopt, OutputColumn::Lower},
    {"upper", ColumnKind::Output, std::nullopt, std::nullopt, OutputColumn::Upper},
    {"status", ColumnKind::Output, std::nullopt, std::nullopt, OutputColumn::Status},
    {"messages", ColumnKind::Output, std::nullopt, std::nullopt, OutputColumn::Messages},
    {"achieved_power", ColumnKind::Output, std::nullopt, std::nullopt, OutputColumn::AchievedPower},
    {"groups", ColumnKind::Number, std::nullopt, EffectInput::Groups},
    {"cells", ColumnKind::Number, std::nullopt, EffectInput::Cells},
    {"covariates", ColumnKind::Number, std::nullopt, EffectInput::Covariates},
    {"measurements", ColumnKind::Number, std::nullopt, EffectInput::Measurements},
    {"correlation", ColumnKind::Number, std::nullopt, EffectInput::Correlation},
    {"epsilon", ColumnKind::Number, std::nullopt, EffectInput::Epsilon},
    {"predictors", ColumnKind::Number, std::nullopt, EffectInput::Predictors},
    {"tested", ColumnKind::Number, std::nullopt, EffectInput::Tested},
    {"r2", ColumnKind::Number, std::nullopt, EffectInput::R2},
    {"r2_reduced", ColumnKind::Number, std::nullopt, EffectInput::R2Reduced},
    {"margin", ColumnKind::Number, std::nullopt, EffectInput::Margin},
    {"rmsea0", ColumnKind::Number, std::nullopt, EffectInput::Rmsea0},
    {"rmsea1", ColumnKind::Number, std::nullopt, EffectInput::Rmsea1},
    {"ratio", ColumnKind::Number, std::nullopt, EffectInput::Ratio},
};
constexpr std::size_t kFirstOutputName = kInputColumnCount + 1;
constexpr std::size_t kFirstDesignName = kFirstOutputName + kOutputColumnCount;
static_assert(kColumnNames[kInputColumnCount - 1].name == "alternative" &&
              kColumnNames[kFirstOutputName].name == "result" &&
              kColumnNames[kFirstDesignName].name == "groups" &&
              std::size(kColumnNames) == kFirstDesignName + kDesignColumnCount);

std::string_view inputName(RequestInput input) {
    for (const ColumnName& column : kColumnNames) {
        if (column.input == input) {
            return column.name;
        }
    }
    return {};
}

InputColumn columnOf(RequestInput input) {
    for (std::size_t i = 0; i < kInputColumnCount; ++i) {
        if (kColumnNames[i].input == input) {
            return static_cast<InputColumn>(i);
        }
    }
    return InputColumn::Confidence;
}

std::optional<InputColumn> columnOf(EffectInput input) {
    for (std::size_t i = 0; i < kInputColumnCount; ++i) {
        if (kColumnNames[i].effectInput == input) {
            return static_cast<InputColumn>(i);
        }
    }
    return std::nullopt;
}

std::optional<DesignColumn> designColumnOf(EffectInput input) {
    for (std::size_t i = 0; i < kDesignColumnCount; ++i) {
        if (kColumnNames[kFirstDesignName + i].effectInput == input) {
            return static_cast<DesignColumn>(i);
        }
    }
    return std::nullopt;
}

std::string lowered(std::string_view text) {
    std::string result(trimBlanks(text));
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

std::string& text(OutputTexts& texts, OutputColumn column) {
    return texts[static_cast<std::size_t>(column)];
}

std::string& text(InputTexts& texts, InputColumn column) {
    return texts[static_cast<std::size_t>(column)];
}

void setStatus(OutputTexts& texts, bool failed, const std::vector<std::string>& messages,
               const std::string& note = {}) {
    text(texts, OutputColumn::Status) = failed ? kStatusFailed : kStatusOk;
    text(texts, OutputColumn::Messages) = failed ? joinedMessages(messages) : note;
}

InputTexts quantityTexts(const ComputeRequest& request) {
    InputTexts texts;
    text(texts, InputColumn::Distribution) = distributionName(request.distribution);
    text(texts, InputColumn::Quantity) = quantityName(request.quantity);
    const InputNeeds needs = inputsFor(request.distribution, request.quantity);
    std::vector<RequestInput> read = needs.required;
    if (needs.takesConfidence) {
        read.push_back(RequestInput::Confidence);
    }
    for (RequestInput input : read) {
        if (input == RequestInput::CumP && request.tailTarget) {
            const RequestInput tail = request.tailTarget->tail == Tail::Lower
                                          ? RequestInput::PLower
                                          : RequestInput::PUpper;
            text(texts, columnOf(tail)) = formatShortest(request.tailTarget->probability);
            continue;
        }
        std::string& field = text(texts, columnOf(input));
        switch (input) {
            case RequestInput::Value:
                field = formatShortest(request.value);
                break;
            case RequestInput::Df1:
                field = std::to_string(request.df1);
                break;
            case RequestInput::Df2:
                field = std::to_string(request.df2);
                break;
            case RequestInput::Noncentrality:
                field = formatShortest(request.noncentrality);
                break;
            case RequestInput::CumP:
                field = formatShortest(request.cumP);
                break;
            case RequestInput::Confidence:
                field = formatShortest(request.confidence);
                break;
            case RequestInput::PLower:
            case RequestInput::PUpper:
                break;
        }
    }
    // Two-sided, the default, is left unsaid, as the rows of earlier files are.
    if (needs.takesConfidence && request.alternative != Alternative::TwoSided) {
        text(texts, InputColumn::Alternative) = alternativeName(request.alternative);
    }
    return texts;
}

InputTexts effectTexts(const EffectRequest& request) {
    InputTexts texts;
    const EffectCommand* command = effectCommandFor(request);
    if (command == nullptr) {
        return texts;
    }
    text(texts, InputColumn::Distribution) = distributionName(request.distribution);
    text(texts, InputColumn::Quantity) = command->name;
    for (auto& [input, inputText] : effectTextsOf(*command, request)) {
        if (const std::optional<InputColumn> column = columnOf(input)) {
            text(texts, *column) = std::move(inputText);
        }
    }
    return texts;
}

// The trimmed text of an input's column in a row; empty where the header has no such column.
std::string_view filledText(const std::vector<std::string>& fields,
                            const std::map<RequestInput, std::size_t>& inputs, RequestInput input) {
    const auto position = inputs.find(input);
    return position != inputs.end() ? trimBlanks(fields[position->second]) : std::string_view{};
}

// A distribution quantity's row: its inputs read as the single command reads them, and the
// alternative of an interval (two-sided where empty).
std::optional<ComputeRequest> readQuantityRow(const std::vector<std::string>& fields,
                                              const std::map<RequestInput, std::size_t>& inputs,
                                              std::optional<std::size_t> alternativeAt,
                                              DistributionKind distribution, QuantityKind quantity,
                                              const std::string& combination, NumberReading reading,
                                              std::string& reason) {
    ComputeRequest request;
    request.distribution = distribution;
    request.quantity = quantity;
    request.confidence = kDefaultConfidence;
    const InputNeeds needs = inputsFor(distribution, quantity);
    std::vector<RequestInput> wanted = needs.required;
    if (needs.takesConfidence) {
        wanted.push_back(RequestInput::Confidence);
    }
    for (RequestInput wantedInput : wanted) {
        const bool required = wantedInput != RequestInput::Confidence;
        RequestInput input = wantedInput;
        std::string_view text = filledText(fields, inputs, input);
        if (wantedInput == RequestInput::CumP) {
            // The cumulative probability or one tail's probability, exactly one of them.
            int filled = text.empty() ? 0 : 1;
            for (RequestInput tail : {RequestInput::PLower, RequestInput::PUpper}) {
                if (const std::string_view tailText = filledText(fields, inputs, tail);
                    !tailText.empty()) {
                    input = tail;
                    text = tailText;
                    ++filled;
                }
            }
            if (filled > 1) {
                reason = "give only one of cump, p_lower and p_upper for " + combination;
                return std::nullopt;
            }
        }
        if (text.empty()) {
            if (!required) {
                continue;
            }
            reason = std::string(inputName(input)) + " is needed for " + combination;
            return std::nullopt;
        }
        // A file the program wrote is read back as written (infinities and NaN included); what a
        // user gives is read by the one input rule.
        std::string problem;
        const std::optional<double> number =
            reading == NumberReading::AsWritten
                ? readWrittenInputNumber(text, isDegreesOfFreedom(input), problem)
                : readInputNumber(text, isDegreesOfFreedom(input), problem);
        if (!number) {
            reason = std::string(inputName(input)) + ": " + problem;
            return std::nullopt;
        }
        assignInput(request, input, *number);
    }
    if (needs.takesConfidence && alternativeAt) {
        const std::string_view name = trimBlanks(fields[*alternativeAt]);
        if (!name.empty()) {
            const std::optional<Alternative> alternative = alternativeNamed(name);
            if (!alternative) {
                reason =
                    "alternative: '" + std::string(name) + "' is not two-sided, greater or less";
                return std::nullopt;
            }
            request.alternative = *alternative;
        }
    }
    return request;
}

}  // namespace

std::string_view columnName(InputColumn column) {
    return kColumnNames[static_cast<std::size_t>(column)].name;
}

std::string_view columnName(OutputColumn column) {
    return kColumnNames[kFirstOutputName + static_cast<std::size_t>(column)].name;
}

std::string joinedMessages(const std::vector<std::string>& messages) {
    std::string joined;
    for (const std::string& message : messages) {
        if (!joined.empty()) {
            joined += kMessageSeparator;
        }
        joined += message;
    }
    return joined;
}

InputTexts inputTexts(const BatchRequest& request) {
    if (const auto* quantity = std::get_if<ComputeRequest>(&request)) {
        return quantityTexts(*quantity);
    }
    return effectTexts(std::get<EffectRequest>(request));
}

DesignTexts designTexts(const BatchRequest& request) {
    DesignTexts texts;
    const auto* effect = std::get_if<EffectRequest>(&request);
    const EffectCommand* command = effect != nullptr ? effectCommandFor(*effect) : nullptr;
    if (command == nullptr) {
        return texts;
    }
    for (auto& [input, inputText] : effectTextsOf(*command, *effect)) {
        if (const std::optional<DesignColumn> column = designColumnOf(input)) {
            texts[static_cast<std::size_t>(*column)] = std::move(inputText);
        }
    }
    return texts;
}

std::string_view columnName(DesignColumn column) {
    return kColumnNames[kFirstDesignName + static_cast<std::size_t>(column)].name;
}

OutputTexts outputTexts(const ComputeRequest& request, const ComputeOutcome& outcome) {
    OutputTexts texts;
    if (request.quantity == QuantityKind::Interval) {
        text(texts, OutputColumn::Lower) = formatNumber(outcome.lower);
        text(texts, OutputColumn::Upper) = formatNumber(outcome.upper);
    } else {
        text(texts, OutputColumn::Result) = formatNumber(outcome.result);
    }
    setStatus(texts, outcome.failed, outcome.messages);
    return texts;
}

OutputTexts outputTexts(const EffectRequest& request, const EffectOutcome& outcome) {
    OutputTexts texts;
    switch (request.quantity) {
        case EffectQuantity::Estimate:
            text(texts, OutputColumn::Result) = formatNumber(outcome.estimate);
            text(texts, OutputColumn::Lower) = formatNumber(outcome.lower);
            text(texts, OutputColumn::Upper) = formatNumber(outcome.upper);
            break;
        case EffectQuantity::Power:
            text(texts, OutputColumn::Result) = formatNumber(outcome.power);
            if (request.question != PowerQuestion::Power) {
                // Sensitivity's effect, criterion's α; compromise's α and its power.
                const std::vector<std::string> numbers = effectOutputNumbers(request, outcome);
                text(texts, OutputColumn::Result) = numbers.front();
                if (numbers.size() > 1) {
                    text(texts, OutputColumn::AchievedPower) = numbers.back();
                }
            }
            break;
        case EffectQuantity::SampleSize:
            text(texts, OutputColumn::Result) = std::to_string(outcome.n);
            text(texts, OutputColumn::AchievedPower) = formatNumber(outcome.power);
            break;
    }
    setStatus(texts, outcome.failed, outcome.messages, outcome.note);
    return texts;
}

OutputTexts invalidOutputs(std::string reason) {
    OutputTexts texts;
    text(texts, OutputColumn::Status) = kStatusInvalid;
    text(texts, OutputColumn::Messages) = std::move(reason);
    return texts;
}

std::optional<BatchHeader> BatchHeader::read(const std::vector<std::string>& names,
                                             std::string& problem,
                                             std::span<const std::string_view> extraColumns) {
    BatchHeader header;
    header.size_ = names.size();
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string name = lowered(names[i]);
        const ColumnName* match = nullptr;
        for (const ColumnName& candidate : kColumnNames) {
            if (candidate.name == name) {
                match = &candidate;
            }
        }
        bool repeated = false;
        if (match == nullptr) {
            if (std::find(extraColumns.begin(), extraColumns.end(), name) == extraColumns.end()) {
                problem = "unknown column '" + std::string(trimBlanks(names[i])) + "'";
                return std::nullopt;
            }
            repeated = !header.extras_.emplace(name, i).second;
        } else {
            switch (match->kind) {
                case ColumnKind::Distribution:
                    repeated = header.distribution_.has_value();
                    header.distribution_ = i;
                    break;
                case ColumnKind::Quantity:
                    repeated = header.quantity_.has_value();
                    header.quantity_ = i;
                    break;
                case ColumnKind::Number:
                    if (match->input) {
                        repeated = !header.inputs_.emplace(*match->input, i).second;
                    }
                    if (match->effectInput) {
                        repeated = !header.effectInputs_.emplace(*match->effectInput, i).second ||
                                   repeated;
                    }
                    break;
                case ColumnKind::Output: {
                    auto& position = header.outputs_[static_cast<std::size_t>(*match->output)];
                    repeated = position.has_value();
                    position = i;
                    break;
                }
            }
        }
        if (repeated) {
            problem = "column '" + name + "' appears more than once";
            return std::nullopt;
        }
    }
    if (!header.distribution_ || !header.quantity_) {
        problem = "the columns 'distribution' and 'quantity' are required";
        return std::nullopt;
    }
    return header;
}

bool BatchHeader::isOutput(std::size_t position) const {
    return std::find(outputs_.begin(), outputs_.end(), position) != outputs_.end();
}

std::optional<std::size_t> BatchHeader::position(OutputColumn column) const {
    return outputs_[static_cast<std::size_t>(column)];
}

std::optional<std::size_t> BatchHeader::position(std::string_view extraColumn) const {
    const auto found = extras_.find(extraColumn);
    return found == extras_.end() ? std::nullopt : std::optional(found->second);
}

std::optional<BatchRequest> BatchHeader::request(const std::vector<std::string>& fields,
                                                 std::string& reason, NumberReading reading) const {
    const std::string distributionText = lowered(fields[*distribution_]);
    const std::optional<DistributionKind> distribution = distributionNamed(distributionText);
    if (!distribution) {
        reason = "unknown distribution '" + distributionText + "' (use f, t or chisq)";
        return std::nullopt;
    }
    const std::string quantityText = lowered(fields[*quantity_]);
    const std::string combination = distributionText + " " + quantityText;
    if (const std::optional<QuantityKind> quantity = quantityNamed(quantityText)) {
        const auto alternative = effectInputs_.find(EffectInput::Alternative);
        return readQuantityRow(fields, inputs_,
                               alternative == effectInputs_.end()
                                   ? std::nullopt
                                   : std::optional<std::size_t>(alternative->second),
                               *distribution, *quantity, combination, reading, reason);
    }
    const EffectCommand* command = effectCommandNamed(*distribution, quantityText);
    if (command == nullptr) {
        reason = "unknown quantity '" + quantityText +
                 "' (use cdf, pdf, value, noncentrality, interval, an effect size, power or "
                 "sample-size)";
        return std::nullopt;
    }
    EffectTexts texts;
    for (const auto& [input, position] : effectInputs_) {
        const std::string_view text = trimBlanks(fields[position]);
        if (takes(*command, input) && !text.empty()) {
            texts[input] = std::string(text);
        }
    }
    const EffectNamer columnName = [](EffectInput input) {
        return std::string(effectInputName(input));
    };
    auto effect = effectRequestFrom(*command, texts, columnName);
    if (const std::string* problem = std::get_if<std::string>(&effect)) {
        reason = combination + ": " + *problem;
        return std::nullopt;
    }
    return std::get<EffectRequest>(effect);
}

void writeCsvRecord(std::ostream& output, std::span<const std::string> fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            output << ',';
        }
        output << csvField(fields[i]);
    }
    output << '\n';
}

}  // namespace quorvel::batch
