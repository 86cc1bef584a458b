#include "model/effects/effect_request.h"

#include <cmath>
#include <optional>

#include "model/number_text.h"

namespace quorvel {

namespace {

using enum EffectInput;

const std::vector<EffectCommand> kEffectCommands{
    {DistributionKind::T,
     "d",
     EffectQuantity::Estimate,
     EffectMeasure::CohensD,
     {Value},
     {N, N1, N2, Confidence, Alternative}},
    {DistributionKind::T,
     "g",
     EffectQuantity::Estimate,
     EffectMeasure::HedgesG,
     {Value},
     {N, N1, N2, Confidence, Alternative}},
    {DistributionKind::T,
     "power",
     EffectQuantity::Power,
     EffectMeasure::CohensD,
     {Effect},
     {N, N1, N2, Alpha, Sides}},
    {DistributionKind::T,
     "sample-size",
     EffectQuantity::SampleSize,
     EffectMeasure::CohensD,
     {Effect, Power},
     {Alpha, Sides, Design}},
    {DistributionKind::F,
     "eta2",
     EffectQuantity::Estimate,
     EffectMeasure::PartialEtaSquared,
     {Value, Df1, Df2},
     {Confidence, EffectInput::Alternative}},
    {DistributionKind::F,
     "f2",
     EffectQuantity::Estimate,
     EffectMeasure::CohensFSquared,
     {Value, Df1, Df2},
     {Confidence, EffectInput::Alternative}},
    {DistributionKind::F,
     "omega2",
     EffectQuantity::Estimate,
     EffectMeasure::PartialOmegaSquared,
     {Value, Df1, Df2},
     {Confidence, EffectInput::Alternative}},
    {DistributionKind::F,
     "epsilon2",
     EffectQuantity::Estimate,
     EffectMeasure::PartialEpsilonSquared,
     {Value, Df1, Df2},
     {Confidence, EffectInput::Alternative}},
    {DistributionKind::F,
     "power",
     EffectQuantity::Power,
     EffectMeasure::CohensFSquared,
     {Effect, Df1, Df2},
     {Alpha}},
    {DistributionKind::F,
     "sample-size",
     EffectQuantity::SampleSize,
     EffectMeasure::CohensFSquared,
     {Effect, Df1, Power},
     {Alpha}},
    {DistributionKind::ChiSquare,
     "rmsea",
     EffectQuantity::Estimate,
     EffectMeasure::Rmsea,
     {Value, Df1, N},
     {Confidence, EffectInput::Alternative}},
    {DistributionKind::ChiSquare,
     "w",
     EffectQuantity::Estimate,
     EffectMeasure::CohensW,
     {Value, Df1, N},
     {Confidence, EffectInput::Alternative}},
    {DistributionKind::ChiSquare,
     "v",
     EffectQuantity::Estimate,
     EffectMeasure::CramersV,
     {Value, N, Rows, Cols},
     {Confidence, EffectInput::Alternative}},
    {DistributionKind::ChiSquare,
     "power",
     EffectQuantity::Power,
     EffectMeasure::CohensW,
     {Effect, Df1, N},
     {Alpha}},
    {DistributionKind::ChiSquare,
     "sample-size",
     EffectQuantity::SampleSize,
     EffectMeasure::CohensW,
     {Effect, Df1, Power},
     {Alpha}},
};

constexpr double kSmallestAlpha = 0.0001;
constexpr double kLargestAlpha = 0.5;
constexpr double kLargestPower = 0.9999;
// A level or power above 1 and up to 100 was written as a percentage.
constexpr double kLargestPercentage = 100.0;

bool isWholeNumberInput(EffectInput input) {
    return input == N || input == N1 || input == N2 || input == Df1 || input == Df2 ||
           input == Sides || input == Rows || input == Cols;
}

// The inputs given, each number read once; or what is wrong with the first bad one.
class Reader {
  public:
    Reader(const EffectTexts& texts, const EffectNamer& nameOf) : texts_(texts), nameOf_(nameOf) {}

    bool has(EffectInput input) const { return texts_.count(input) > 0; }

    // Reads every text but the design as a number; false after setting the problem.
    bool readNumbers() {
        for (const auto& [input, text] : texts_) {
            if (input == Design || input == EffectInput::Alternative) {
                continue;
            }
            const std::optional<double> value = parseNumber(text);
            if (!value) {
                problem = nameOf_(input) + ": '" + text + "' is not a finite decimal number";
                return false;
            }
            if (isWholeNumberInput(input) && std::trunc(*value) != *value) {
                problem = nameOf_(input) + ": '" + text + "' is not a whole number";
                return false;
            }
            numbers_[input] = *value;
        }
        return true;
    }

    double number(EffectInput input) const { return numbers_.at(input); }

    std::string name(EffectInput input) const { return nameOf_(input); }

    std::string problem;

  private:
    const EffectTexts& texts_;
    const EffectNamer& nameOf_;
    std::map<EffectInput, double> numbers_;
};

// The t design: n alone, or n1 and n2 together; its sizes must leave at least one Df.
std::optional<std::string> readTDesign(const Reader& reader, EffectRequest& request) {
    const bool one = reader.has(N);
    const bool two = reader.has(N1) || reader.has(N2);
    if (one && two) {
        return "give " + reader.name(N) + ", or " + reader.name(N1) + " and " + reader.name(N2) +
               ", not both";
    }
    if (!one && !(reader.has(N1) && reader.has(N2))) {
        return "needs " + reader.name(N) + ", or " + reader.name(N1) + " and " + reader.name(N2);
    }
    if (one) {
        request.n = truncateDegreesOfFreedom(reader.number(N));
        if (request.n <= 1) {
            return reader.name(N) + " must be at least 2";
        }
        return std::nullopt;
    }
    request.n1 = truncateDegreesOfFreedom(reader.number(N1));
    request.n2 = truncateDegreesOfFreedom(reader.number(N2));
    if (request.n1 < 1 || request.n2 < 1 || request.n1 + request.n2 <= 2) {
        return reader.name(N1) + " and " + reader.name(N2) +
               " must be at least 1 each and together more than 2";
    }
    return std::nullopt;
}

}  // namespace

const EffectCommand* effectCommandNamed(DistributionKind distribution, std::string_view name) {
    for (const EffectCommand& command : kEffectCommands) {
        if (command.distribution == distribution && command.name == name) {
            return &command;
        }
    }
    return nullptr;
}

const EffectCommand* effectCommandFor(const EffectRequest& request) {
    for (const EffectCommand& command : kEffectCommands) {
        if (command.distribution == request.distribution && command.quantity == request.quantity &&
            (request.quantity != EffectQuantity::Estimate || command.measure == request.measure)) {
            return &command;
        }
    }
    return nullptr;
}

EffectTexts effectTextsOf(const EffectCommand& command, const EffectRequest& request) {
    const bool tDesign = command.distribution == DistributionKind::T &&
                         command.quantity != EffectQuantity::SampleSize;
    EffectTexts texts;
    for (const auto* list : {&command.required, &command.optional}) {
        for (EffectInput input : *list) {
            switch (input) {
                case Value:
                    texts[input] = formatShortest(request.value);
                    break;
                case N:
                    if (!tDesign || request.n1 <= 0) {
                        texts[input] = std::to_string(request.n);
                    }
                    break;
                case N1:
                case N2:
                    if (tDesign && request.n1 > 0) {
                        texts[input] = std::to_string(input == N1 ? request.n1 : request.n2);
                    }
                    break;
                case Df1:
                    texts[input] = std::to_string(request.df1);
                    break;
                case Df2:
                    texts[input] = std::to_string(request.df2);
                    break;
                case Confidence:
                    texts[input] = formatShortest(request.confidence);
                    break;
                case Alpha:
                    texts[input] = formatShortest(request.alpha);
                    break;
                case Power:
                    texts[input] = formatShortest(request.power);
                    break;
                case Sides:
                    texts[input] = std::to_string(request.sides);
                    break;
                case Design:
                    texts[input] = request.twoSample ? "two-sample" : "one-sample";
                    break;
                case Effect:
                    texts[input] = formatShortest(request.effect);
                    break;
                case Rows:
                    texts[input] = std::to_string(request.rows);
                    break;
                case Cols:
                    texts[input] = std::to_string(request.cols);
                    break;
                case EffectInput::Alternative:
                    // Two-sided, the default, is left unsaid, as the rows of earlier files are.
                    if (request.alternative != quorvel::Alternative::TwoSided) {
                        texts[input] = alternativeName(request.alternative);
                    }
                    break;
            }
        }
    }
    return texts;
}

std::string_view effectInputName(EffectInput input) {
    switch (input) {
        case Value:
            return "value";
        case N:
            return "n";
        case N1:
            return "n1";
        case N2:
            return "n2";
        case Df1:
            return "df1";
        case Df2:
            return "df2";
        case Confidence:
            return "confidence";
        case Alpha:
            return "alpha";
        case Power:
            return "power";
        case Sides:
            return "sides";
        case Design:
            return "design";
        case Effect:
            return "effect";
        case Rows:
            return "rows";
        case Cols:
            return "cols";
        case EffectInput::Alternative:
            break;
    }
    return "alternative";
}

std::vector<std::string> effectOutputNumbers(EffectQuantity quantity,
                                             const EffectOutcome& outcome) {
    switch (quantity) {
        case EffectQuantity::Estimate:
            return {formatNumber(outcome.estimate), formatNumber(outcome.lower),
                    formatNumber(outcome.upper)};
        case EffectQuantity::Power:
            return {formatNumber(outcome.power)};
        case EffectQuantity::SampleSize:
            break;
    }
    return {std::to_string(outcome.n), formatNumber(outcome.power)};
}

std::string effectOutputLine(EffectQuantity quantity, const EffectOutcome& outcome) {
    std::string line;
    for (const std::string& number : effectOutputNumbers(quantity, outcome)) {
        line += line.empty() ? number : ' ' + number;
    }
    return line;
}

bool takes(const EffectCommand& command, EffectInput input) {
    for (const auto* list : {&command.required, &command.optional}) {
        for (EffectInput taken : *list) {
            if (taken == input) {
                return true;
            }
        }
    }
    return false;
}

std::variant<EffectRequest, std::string> effectRequestFrom(const EffectCommand& command,
                                                           const EffectTexts& texts,
                                                           const EffectNamer& nameOf) {
    Reader reader(texts, nameOf);
    for (EffectInput input : command.required) {
        if (!reader.has(input)) {
            return "needs " + reader.name(input);
        }
    }
    EffectRequest request;
    request.distribution = command.distribution;
    request.quantity = command.quantity;
    request.measure = command.measure;
    // Every number first, so that a bad one is named before any rule about its value.
    if (!reader.readNumbers()) {
        return reader.problem;
    }
    auto numberOf = [&reader](EffectInput input) { return reader.number(input); };

    if (reader.has(Value)) {
        request.value = numberOf(Value);
    }
    if (reader.has(Df1)) {
        request.df1 = truncateDegreesOfFreedom(numberOf(Df1));
    }
    if (reader.has(Df2)) {
        request.df2 = truncateDegreesOfFreedom(numberOf(Df2));
    }
    if (reader.has(Effect)) {
        request.effect = numberOf(Effect);
        if (command.distribution != DistributionKind::T && request.effect < 0.0) {
            return reader.name(Effect) + " must not be negative";
        }
    }
    if (reader.has(Confidence)) {
        request.confidence = numberOf(Confidence);
        if (request.confidence > 1.0 && request.confidence <= kLargestPercentage) {
            return percentageHint(reader.name(Confidence), request.confidence);
        }
    }
    if (reader.has(Alpha)) {
        request.alpha = numberOf(Alpha);
        if (!(request.alpha >= kSmallestAlpha && request.alpha <= kLargestAlpha)) {
            return reader.name(Alpha) + " must lie from 0.0001 to 0.5";
        }
    }
    if (reader.has(Power)) {
        request.power = numberOf(Power);
        if (request.power > 1.0 && request.power <= kLargestPercentage) {
            return percentageHint(reader.name(Power), request.power);
        }
        if (!(request.power > request.alpha && request.power <= kLargestPower)) {
            return reader.name(Power) + " must lie above alpha and at most 0.9999";
        }
    }
    if (reader.has(Sides)) {
        const double sides = numberOf(Sides);
        if (sides != 1.0 && sides != 2.0) {
            return reader.name(Sides) + " must be 1 or 2";
        }
        request.sides = static_cast<int>(sides);
    }
    if (reader.has(Design)) {
        const std::string& design = texts.at(Design);
        if (design != "two-sample" && design != "one-sample") {
            return reader.name(Design) + ": '" + design + "' is not two-sample or one-sample";
        }
        request.twoSample = design == "two-sample";
    }
    for (EffectInput size : {Rows, Cols}) {
        if (reader.has(size)) {
            const int number = truncateDegreesOfFreedom(numberOf(size));
            if (number < 2) {
                return reader.name(size) + " must be at least 2";
            }
            (size == Rows ? request.rows : request.cols) = number;
        }
    }
    if (reader.has(EffectInput::Alternative)) {
        const std::string& name = texts.at(EffectInput::Alternative);
        const std::optional<quorvel::Alternative> alternative = alternativeNamed(name);
        if (!alternative) {
            return reader.name(EffectInput::Alternative) + ": '" + name +
                   "' is not two-sided, greater or less";
        }
        request.alternative = *alternative;
    }
    const bool tDesign = command.distribution == DistributionKind::T &&
                         command.quantity != EffectQuantity::SampleSize;
    if (tDesign) {
        if (const std::optional<std::string> problem = readTDesign(reader, request)) {
            return *problem;
        }
    } else if (reader.has(N)) {
        request.n = truncateDegreesOfFreedom(numberOf(N));
        if (request.n <= 1) {
            return reader.name(N) + " must be at least 2";
        }
    }
    return request;
}

}  // namespace quorvel
