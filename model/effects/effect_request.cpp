#include "model/effects/effect_request.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "model/effects/design_request.h"
#include "model/number_text.h"

namespace quorvel {

namespace {

using enum EffectInput;

// The table of commands, today's forms first; every power and sample-size command also takes
// the inputs of its family's designs.
std::vector<EffectCommand> withDesignInputs(std::vector<EffectCommand> commands) {
    for (EffectCommand& command : commands) {
        if (command.quantity == EffectQuantity::Estimate) {
            continue;
        }
        // A sensitivity searches the effect: it takes none, but for the true d of an
        // equivalence design, whose margin it searches.
        const bool effectSearched = command.question == PowerQuestion::Sensitivity;
        for (EffectInput input : designInputs(command.distribution)) {
            const bool isEffect =
                (input == Effect && command.distribution != DistributionKind::T) ||
                input == EffectF || input == EffectEta2 || input == R2 || input == R2Reduced ||
                input == Rmsea1;
            if (!takes(command, input) && !(effectSearched && isEffect)) {
                command.designOptional.push_back(input);
            }
        }
    }
    return commands;
}

const std::vector<EffectCommand> kEffectCommands = withDesignInputs({
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
    {DistributionKind::T,
     "sensitivity",
     EffectQuantity::Power,
     EffectMeasure::CohensD,
     {Power},
     {N, N1, N2, Alpha, Sides},
     PowerQuestion::Sensitivity},
    {DistributionKind::T,
     "criterion",
     EffectQuantity::Power,
     EffectMeasure::CohensD,
     {Effect, Power},
     {N, N1, N2, Sides},
     PowerQuestion::Criterion},
    {DistributionKind::T,
     "compromise",
     EffectQuantity::Power,
     EffectMeasure::CohensD,
     {Effect, Ratio},
     {N, N1, N2, Sides},
     PowerQuestion::Compromise},
    {DistributionKind::F,
     "sensitivity",
     EffectQuantity::Power,
     EffectMeasure::CohensFSquared,
     {Df1, Df2, Power},
     {Alpha},
     PowerQuestion::Sensitivity},
    {DistributionKind::F,
     "criterion",
     EffectQuantity::Power,
     EffectMeasure::CohensFSquared,
     {Effect, Df1, Df2, Power},
     {},
     PowerQuestion::Criterion},
    {DistributionKind::F,
     "compromise",
     EffectQuantity::Power,
     EffectMeasure::CohensFSquared,
     {Effect, Df1, Df2, Ratio},
     {},
     PowerQuestion::Compromise},
    {DistributionKind::ChiSquare,
     "sensitivity",
     EffectQuantity::Power,
     EffectMeasure::CohensW,
     {Df1, N, Power},
     {Alpha, EffectInput::Alternative},
     PowerQuestion::Sensitivity},
    {DistributionKind::ChiSquare,
     "criterion",
     EffectQuantity::Power,
     EffectMeasure::CohensW,
     {Effect, Df1, N, Power},
     {},
     PowerQuestion::Criterion},
    {DistributionKind::ChiSquare,
     "compromise",
     EffectQuantity::Power,
     EffectMeasure::CohensW,
     {Effect, Df1, N, Ratio},
     {},
     PowerQuestion::Compromise},
});

constexpr double kSmallestAlpha = 0.0001;
constexpr double kLargestAlpha = 0.5;
constexpr double kLargestPower = 0.9999;
// A level or power above 1 and up to 100 was written as a percentage.
constexpr double kLargestPercentage = 100.0;

// The t design: n alone, or n1 and n2 together; its sizes must leave at least one Df.
std::optional<std::string> readTDesign(const EffectReader& reader, EffectRequest& request) {
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

bool isWholeNumberInput(EffectInput input) {
    return input == N || input == N1 || input == N2 || input == Df1 || input == Df2 ||
           input == Sides || input == Rows || input == Cols || input == Groups || input == Cells ||
           input == Covariates || input == Measurements || input == Predictors || input == Tested;
}

// The design other than Basic that the texts name, or nothing.
std::optional<StudyDesign> namedDesign(const EffectCommand& command, const EffectTexts& texts) {
    const auto design = texts.find(Design);
    if (design == texts.end()) {
        return std::nullopt;
    }
    const std::optional<StudyDesign> named = studyDesignNamed(command.distribution, design->second);
    return named == StudyDesign::Basic ? std::nullopt : named;
}

// A t power request naming its samples must give their sizes: n for one sample or pairs, n1
// and n2 for two samples.
std::optional<std::string> checkNamedSamples(const EffectReader& reader,
                                             const EffectRequest& request) {
    if (!reader.has(Design) || request.design != StudyDesign::Basic) {
        return std::nullopt;
    }
    if (request.twoSample != (request.n1 > 0)) {
        return reader.name(Design) + " '" + reader.text(Design) + "' needs " +
               (request.twoSample ? reader.name(N1) + " and " + reader.name(N2) : reader.name(N));
    }
    return std::nullopt;
}

}  // namespace

bool EffectReader::readNumbers() {
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
            (request.quantity != EffectQuantity::Estimate || command.measure == request.measure) &&
            command.question == request.question) {
            return &command;
        }
    }
    return nullptr;
}

EffectTexts effectTextsOf(const EffectCommand& command, const EffectRequest& request) {
    const bool tDesign = command.distribution == DistributionKind::T &&
                         command.quantity != EffectQuantity::SampleSize;
    EffectTexts texts;
    for (const auto* list : {&command.required, &command.optional, &command.designOptional}) {
        for (EffectInput input : *list) {
            switch (input) {
                case Value:
                    texts[input] = formatShortest(request.value);
                    break;
                case N:
                    // Today's F forms have no N; a design's sample size has none yet.
                    if (request.design == StudyDesign::Basic
                            ? command.distribution == DistributionKind::F
                            : request.n <= 0) {
                        break;
                    }
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
                    if (request.design == StudyDesign::Basic) {
                        texts[input] = std::to_string(request.df1);
                    }
                    break;
                case Df2:
                    if (request.design == StudyDesign::Basic) {
                        texts[input] = std::to_string(request.df2);
                    }
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
                    if (request.design != StudyDesign::Equivalence) {
                        texts[input] = std::to_string(request.sides);
                    }
                    break;
                case Design:
                    // Today's t sample size names its samples; a design names itself below.
                    if (request.design == StudyDesign::Basic &&
                        command.quantity == EffectQuantity::SampleSize &&
                        command.distribution == DistributionKind::T) {
                        texts[input] = request.twoSample ? "two-sample" : "one-sample";
                    }
                    break;
                case Effect:
                    // A sensitivity's effect is its answer, except an equivalence design's d.
                    if (command.question != PowerQuestion::Sensitivity ||
                        request.design == StudyDesign::Equivalence) {
                        texts[input] = formatShortest(request.effect);
                    }
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
                case Ratio:
                    texts[input] = formatShortest(request.ratio);
                    break;
                default:
                    // The design's own inputs.
                    break;
            }
        }
    }
    addDesignTexts(request, texts);
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
            return "alternative";
        case Groups:
            return "groups";
        case Cells:
            return "cells";
        case Covariates:
            return "covariates";
        case Measurements:
            return "measurements";
        case Correlation:
            return "correlation";
        case Epsilon:
            return "epsilon";
        case Predictors:
            return "predictors";
        case Tested:
            return "tested";
        case R2:
            return "r2";
        case R2Reduced:
            return "r2_reduced";
        case Margin:
            return "margin";
        case Rmsea0:
            return "rmsea0";
        case Rmsea1:
            return "rmsea1";
        case Ratio:
            return "ratio";
        case EffectF:
            return "f";
        case EffectEta2:
            break;
    }
    return "eta2";
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

std::vector<std::string> effectOutputNumbers(const EffectRequest& request,
                                             const EffectOutcome& outcome) {
    if (request.quantity != EffectQuantity::Power) {
        return effectOutputNumbers(request.quantity, outcome);
    }
    switch (request.question) {
        case PowerQuestion::Sensitivity:
            return {formatNumber(outcome.effect)};
        case PowerQuestion::Criterion:
            return {formatNumber(outcome.alpha)};
        case PowerQuestion::Compromise:
            return {formatNumber(outcome.alpha), formatNumber(outcome.power)};
        case PowerQuestion::Power:
            break;
    }
    return effectOutputNumbers(request.quantity, outcome);
}

namespace {
std::string joined(const std::vector<std::string>& numbers) {
    std::string line;
    for (const std::string& number : numbers) {
        line += line.empty() ? number : ' ' + number;
    }
    return line;
}
}  // namespace

std::string effectOutputLine(EffectQuantity quantity, const EffectOutcome& outcome) {
    return joined(effectOutputNumbers(quantity, outcome));
}

std::string effectOutputLine(const EffectRequest& request, const EffectOutcome& outcome) {
    return joined(effectOutputNumbers(request, outcome));
}

bool takesWithoutDesign(const EffectCommand& command, EffectInput input) {
    return std::find(command.required.begin(), command.required.end(), input) !=
               command.required.end() ||
           std::find(command.optional.begin(), command.optional.end(), input) !=
               command.optional.end();
}

bool takes(const EffectCommand& command, EffectInput input) {
    return takesWithoutDesign(command, input) ||
           std::find(command.designOptional.begin(), command.designOptional.end(), input) !=
               command.designOptional.end();
}

std::variant<EffectRequest, std::string> effectRequestFrom(const EffectCommand& command,
                                                           const EffectTexts& texts,
                                                           const EffectNamer& nameOf) {
    EffectReader reader(texts, nameOf);
    const std::optional<StudyDesign> design = namedDesign(command, texts);
    const std::vector<EffectInput> required =
        design ? designRequiredInputs(command, *design) : command.required;
    for (EffectInput input : required) {
        const bool given =
            design && input == Effect ? hasDesignEffect(reader, *design) : reader.has(input);
        if (!given) {
            return "needs " + reader.name(input);
        }
    }
    EffectRequest request;
    request.distribution = command.distribution;
    request.quantity = command.quantity;
    request.measure = command.measure;
    request.question = command.question;
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
        const std::optional<StudyDesign> named = studyDesignNamed(command.distribution, design);
        if (!named) {
            return reader.name(Design) + ": '" + design + "' is not " +
                   studyDesignNames(command.distribution);
        }
        request.design = *named;
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
        if (const std::optional<std::string> problem = checkNamedSamples(reader, request)) {
            return *problem;
        }
    } else if (reader.has(N)) {
        request.n = truncateDegreesOfFreedom(numberOf(N));
        if (request.n <= 1) {
            return reader.name(N) + " must be at least 2";
        }
    }
    if (const std::optional<std::string> problem = readStudyDesign(reader, request)) {
        return *problem;
    }
    return request;
}

}  // namespace quorvel
