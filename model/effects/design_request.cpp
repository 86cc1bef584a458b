#include "model/effects/design_request.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "model/effects/design_test.h"
#include "model/number_text.h"

namespace quorvel {

namespace {

using enum EffectInput;

// A design: its family, name, the sizes it needs and those it may take.
struct DesignRow {
    StudyDesign design;
    DistributionKind distribution;
    std::string_view name;
    std::vector<EffectInput> sizes;
    std::vector<EffectInput> optional;
};

// A function's static, built on first use: the command table of another file reads it while
// that file's statics are built.
const std::vector<DesignRow>& designs() {
    static const std::vector<DesignRow> kDesigns{
        {StudyDesign::Equivalence, DistributionKind::T, "equivalence", {Margin}, {Groups}},
        {StudyDesign::Anova, DistributionKind::F, "anova", {Groups}, {}},
        {StudyDesign::Factorial, DistributionKind::F, "factorial", {Cells, Df1}, {}},
        {StudyDesign::Ancova, DistributionKind::F, "ancova", {Groups, Covariates}, {}},
        {StudyDesign::RmWithin,
         DistributionKind::F,
         "rm-within",
         {Groups, Measurements, Correlation},
         {Epsilon}},
        {StudyDesign::RmBetween,
         DistributionKind::F,
         "rm-between",
         {Groups, Measurements, Correlation},
         {}},
        {StudyDesign::RmInteraction,
         DistributionKind::F,
         "rm-interaction",
         {Groups, Measurements, Correlation},
         {Epsilon}},
        {StudyDesign::Regression, DistributionKind::F, "regression", {Predictors}, {R2}},
        {StudyDesign::R2Change,
         DistributionKind::F,
         "r2-change",
         {Predictors, Tested},
         {R2, R2Reduced}},
        {StudyDesign::Rmsea, DistributionKind::ChiSquare, "rmsea", {Df1, Rmsea0}, {}},
    };
    return kDesigns;
}

// The t designs of today's forms, Basic with their number of samples.
constexpr std::array<std::string_view, 3> kBasicTDesigns{"one-sample", "paired", "two-sample"};

const DesignRow* rowOf(StudyDesign design) {
    for (const DesignRow& row : designs()) {
        if (row.design == design) {
            return &row;
        }
    }
    return nullptr;
}

// The effect inputs of a design: f², f or partial η² for F (and R² for the regressions), ε1
// for RMSEA, d otherwise.
std::vector<EffectInput> effectInputsOf(StudyDesign design) {
    if (design == StudyDesign::Rmsea) {
        return {Rmsea1};
    }
    if (isFDesign(design)) {
        return {Effect, EffectF, EffectEta2};
    }
    return {Effect};
}

bool contains(const std::vector<EffectInput>& inputs, EffectInput input) {
    return std::find(inputs.begin(), inputs.end(), input) != inputs.end();
}

// The inputs no Basic request reads: given without a design, they are refused.
constexpr std::array kDesignOnlyInputs{Groups,  Cells,      Covariates, Measurements, Correlation,
                                       Epsilon, Predictors, Tested,     R2,           R2Reduced,
                                       Margin,  Rmsea0,     Rmsea1,     EffectF,      EffectEta2};

std::optional<std::string> atLeast(const EffectReader& reader, EffectInput input, double least,
                                   const std::string& rule) {
    if (reader.has(input) && !(reader.number(input) >= least)) {
        return reader.name(input) + " must be " + rule;
    }
    return std::nullopt;
}

// The design's sizes, each with its rule.
std::optional<std::string> readSizes(const EffectReader& reader, EffectRequest& request) {
    const bool anyGroups = request.design == StudyDesign::RmWithin;
    if (reader.has(Groups)) {
        request.groups = truncateDegreesOfFreedom(reader.number(Groups));
        if (request.design == StudyDesign::Equivalence) {
            if (request.groups != 1 && request.groups != 2) {
                return reader.name(Groups) + " must be 1 or 2";
            }
        } else if (auto problem = atLeast(reader, Groups, anyGroups ? 1.0 : 2.0,
                                          anyGroups ? "at least 1" : "at least 2")) {
            return problem;
        }
    }
    if (auto problem = atLeast(reader, Cells, 2.0, "at least 2")) {
        return problem;
    }
    if (reader.has(Cells)) {
        request.cells = truncateDegreesOfFreedom(reader.number(Cells));
        if (!(request.df1 >= 1 && request.df1 < request.cells)) {
            return reader.name(Df1) + " must lie from 1 to " + reader.name(Cells) + " - 1";
        }
    }
    if (auto problem = atLeast(reader, Covariates, 0.0, "at least 0")) {
        return problem;
    }
    if (reader.has(Covariates)) {
        request.covariates = truncateDegreesOfFreedom(reader.number(Covariates));
    }
    if (auto problem = atLeast(reader, Measurements, 2.0, "at least 2")) {
        return problem;
    }
    if (reader.has(Measurements)) {
        request.measurements = truncateDegreesOfFreedom(reader.number(Measurements));
    }
    if (auto problem = atLeast(reader, Predictors, 1.0, "at least 1")) {
        return problem;
    }
    if (reader.has(Predictors)) {
        request.predictors = truncateDegreesOfFreedom(reader.number(Predictors));
    }
    if (reader.has(Tested)) {
        request.tested = truncateDegreesOfFreedom(reader.number(Tested));
        if (!(request.tested >= 1 && request.tested <= request.predictors)) {
            return reader.name(Tested) + " must lie from 1 to " + reader.name(Predictors);
        }
    }
    return std::nullopt;
}

// The correlation and ε of repeated measures: −1 < ρ < 1 (between subjects also
// 1 + (M − 1)ρ > 0, the variance of a subject's mean), 1/(M − 1) <= ε <= 1 (Greenhouse and
// Geisser 1959, Psychometrika 24).
std::optional<std::string> readRepeatedMeasures(const EffectReader& reader,
                                                EffectRequest& request) {
    if (reader.has(Correlation)) {
        request.correlation = reader.number(Correlation);
        const double m = request.measurements;
        if (!(std::fabs(request.correlation) < 1.0) ||
            (request.design == StudyDesign::RmBetween &&
             !(1.0 + (m - 1.0) * request.correlation > 0.0))) {
            return reader.name(Correlation) +
                   " must lie above -1 (above -1/(M - 1) between subjects) and below 1";
        }
    }
    if (reader.has(Epsilon)) {
        request.epsilon = reader.number(Epsilon);
        const double lowest = 1.0 / (request.measurements - 1.0);
        if (!(request.epsilon >= lowest && request.epsilon <= 1.0)) {
            return reader.name(Epsilon) + " must lie from 1/(M - 1) to 1";
        }
    }
    return std::nullopt;
}

// The effect in the design's measure: f² from f², f, partial η² or R² (one of them), ε1 for
// RMSEA, d for equivalence.
std::optional<std::string> readEffect(const EffectReader& reader, EffectRequest& request) {
    std::vector<EffectInput> given;
    for (EffectInput input : {Effect, EffectF, EffectEta2, R2, Rmsea1}) {
        if (reader.has(input)) {
            given.push_back(input);
        }
    }
    if (given.size() > 1) {
        return "give one of " + reader.name(given[0]) + " and " + reader.name(given[1]);
    }
    if (given.empty()) {
        return std::nullopt;
    }
    const EffectInput input = given.front();
    const double value = reader.number(input);
    switch (input) {
        case EffectF:
            if (!(value >= 0.0)) {
                return reader.name(input) + " must not be negative";
            }
            request.effect = value * value;
            break;
        case EffectEta2:
            if (!(value >= 0.0 && value < 1.0)) {
                return reader.name(input) + " must lie from 0 to below 1";
            }
            request.effect = value / (1.0 - value);
            break;
        case R2: {
            const double reduced = reader.has(R2Reduced) ? reader.number(R2Reduced) : 0.0;
            if (!(value >= 0.0 && value < 1.0)) {
                return reader.name(input) + " must lie from 0 to below 1";
            }
            if (!(reduced >= 0.0 && reduced <= value)) {
                return reader.name(R2Reduced) + " must lie from 0 to " + reader.name(R2);
            }
            request.r2 = value;
            request.r2Reduced = reduced;
            request.effect = (value - reduced) / (1.0 - value);
            break;
        }
        case Rmsea1:
            if (!(value >= 0.0)) {
                return reader.name(input) + " must not be negative";
            }
            request.effect = value;
            break;
        default:
            request.effect = value;
            break;
    }
    return std::nullopt;
}

std::optional<std::string> readOthers(const EffectReader& reader, EffectRequest& request) {
    if (reader.has(Margin)) {
        request.margin = reader.number(Margin);
        if (!(request.margin > 0.0)) {
            return reader.name(Margin) + " must be positive";
        }
    }
    if (reader.has(Rmsea0)) {
        request.rmsea0 = reader.number(Rmsea0);
        if (!(request.rmsea0 >= 0.0)) {
            return reader.name(Rmsea0) + " must not be negative";
        }
    }
    if (reader.has(Ratio)) {
        request.ratio = reader.number(Ratio);
        if (!(request.ratio > 0.0)) {
            return reader.name(Ratio) + " must be positive";
        }
    }
    return std::nullopt;
}

// A given N must leave the design's F test an error Df.
std::optional<std::string> checkErrorDf(const EffectReader& reader, const EffectRequest& request) {
    if (isFDesign(request.design) && reader.has(N) &&
        !(fDesignTestAt(request, request.n, 0.0).nu2 > 0.0)) {
        return reader.name(N) + " leaves the design no error Df (Df2 <= 0)";
    }
    return std::nullopt;
}

}  // namespace

std::optional<StudyDesign> studyDesignNamed(DistributionKind distribution, std::string_view name) {
    if (distribution == DistributionKind::T &&
        std::find(kBasicTDesigns.begin(), kBasicTDesigns.end(), name) != kBasicTDesigns.end()) {
        return StudyDesign::Basic;
    }
    for (const DesignRow& row : designs()) {
        if (row.distribution == distribution && row.name == name) {
            return row.design;
        }
    }
    return std::nullopt;
}

std::string_view studyDesignName(StudyDesign design) {
    const DesignRow* row = rowOf(design);
    return row != nullptr ? row->name : std::string_view{};
}

std::string effectSymbol(DistributionKind distribution, StudyDesign design) {
    if (design == StudyDesign::Rmsea) {
        return "RMSEA1";
    }
    switch (distribution) {
        case DistributionKind::T:
            return "d";
        case DistributionKind::F:
            return "f²";
        case DistributionKind::ChiSquare:
            break;
    }
    return "w";
}

std::string searchedEffectSymbol(DistributionKind distribution, StudyDesign design) {
    return design == StudyDesign::Equivalence ? "margin" : effectSymbol(distribution, design);
}

std::string studyDesignNames(DistributionKind distribution) {
    std::string names;
    if (distribution == DistributionKind::T) {
        for (std::string_view name : kBasicTDesigns) {
            names += std::string(name) + ", ";
        }
    }
    for (const DesignRow& row : designs()) {
        if (row.distribution == distribution) {
            names += std::string(row.name) + ", ";
        }
    }
    return names.substr(0, names.size() - 2);
}

std::vector<EffectInput> designInputs(DistributionKind distribution) {
    std::vector<EffectInput> inputs{Design};
    for (const DesignRow& row : designs()) {
        if (row.distribution != distribution) {
            continue;
        }
        for (const auto* list : {&row.sizes, &row.optional}) {
            for (EffectInput input : *list) {
                if (!contains(inputs, input)) {
                    inputs.push_back(input);
                }
            }
        }
        for (EffectInput input : effectInputsOf(row.design)) {
            if (!contains(inputs, input)) {
                inputs.push_back(input);
            }
        }
    }
    if (distribution == DistributionKind::F) {
        inputs.push_back(N);
    }
    return inputs;
}

std::vector<EffectInput> designRequiredInputs(const EffectCommand& command, StudyDesign design) {
    const DesignRow& row = *rowOf(design);
    const bool sensitivity = command.question == PowerQuestion::Sensitivity;
    const bool marginSearched = sensitivity && design == StudyDesign::Equivalence;
    std::vector<EffectInput> required = marginSearched ? std::vector<EffectInput>{} : row.sizes;
    const EffectInput effect = design == StudyDesign::Rmsea ? Rmsea1 : Effect;
    const bool sampleSize = command.quantity == EffectQuantity::SampleSize;
    if (!sensitivity || marginSearched) {
        required.push_back(effect);
    }
    // An equivalence design's sizes are n, or n1 and n2, read with the t family's rule.
    if (!sampleSize && design != StudyDesign::Equivalence) {
        required.push_back(N);
    }
    if (sampleSize || command.question == PowerQuestion::Sensitivity ||
        command.question == PowerQuestion::Criterion) {
        required.push_back(Power);
    }
    if (command.question == PowerQuestion::Compromise) {
        required.push_back(Ratio);
    }
    return required;
}

std::vector<EffectInput> formInputs(const EffectCommand& command, StudyDesign design) {
    if (design == StudyDesign::Basic) {
        std::vector<EffectInput> inputs = command.required;
        inputs.insert(inputs.end(), command.optional.begin(), command.optional.end());
        return inputs;
    }
    const bool regression = design == StudyDesign::Regression || design == StudyDesign::R2Change;
    std::vector<EffectInput> inputs;
    for (EffectInput input : designRequiredInputs(command, design)) {
        if (input == Effect && regression) {
            inputs.push_back(R2);
            if (design == StudyDesign::R2Change) {
                inputs.push_back(R2Reduced);
            }
        } else {
            inputs.push_back(input);
        }
    }
    if (contains(rowOf(design)->optional, Epsilon)) {
        inputs.push_back(Epsilon);
    }
    if (takesWithoutDesign(command, Alpha)) {
        inputs.push_back(Alpha);
    }
    if (design == StudyDesign::Equivalence && command.quantity == EffectQuantity::Power) {
        inputs.insert(inputs.end(), {N, N1, N2});
    }
    return inputs;
}

EffectTexts formTextsOf(const EffectCommand& command, const EffectRequest& request) {
    EffectTexts texts = effectTextsOf(command, request);
    const bool regression = request.design == StudyDesign::Regression ||
                            request.design == StudyDesign::R2Change;
    if (const auto effect = texts.find(Effect); regression && effect != texts.end()) {
        texts[R2] = formatShortest(request.effect / (1.0 + request.effect));
        if (request.design == StudyDesign::R2Change) {
            texts[R2Reduced] = formatShortest(0.0);
        }
        texts.erase(effect);
    }
    return texts;
}

bool hasDesignEffect(const EffectReader& reader, StudyDesign design) {
    std::vector<EffectInput> forms = effectInputsOf(design);
    if (design == StudyDesign::Regression || design == StudyDesign::R2Change) {
        forms.push_back(R2);
    }
    return std::any_of(forms.begin(), forms.end(),
                       [&reader](EffectInput input) { return reader.has(input); });
}

std::optional<std::string> readStudyDesign(const EffectReader& reader, EffectRequest& request) {
    const DesignRow* row = rowOf(request.design);
    // A t sensitivity searches d, or an equivalence design's margin.
    if (request.question == PowerQuestion::Sensitivity &&
        request.distribution == DistributionKind::T) {
        const EffectInput searched = request.design == StudyDesign::Equivalence ? Margin : Effect;
        if (reader.has(searched)) {
            return reader.name(searched) + " is what this sensitivity searches: leave it out";
        }
    }
    for (EffectInput input : kDesignOnlyInputs) {
        if (!reader.has(input)) {
            continue;
        }
        const bool belongs =
            row != nullptr && (contains(row->sizes, input) || contains(row->optional, input) ||
                               contains(effectInputsOf(request.design), input));
        if (!belongs) {
            return reader.name(input) + " is not an input of the design" +
                   (row != nullptr ? " '" + std::string(row->name) + "'"
                                   : std::string(" (give ") + reader.name(Design) + ")");
        }
    }
    // Only an RMSEA sensitivity has a direction: less searches the not-close fit below ε0.
    const bool directed =
        request.design == StudyDesign::Rmsea && request.question == PowerQuestion::Sensitivity;
    if (request.quantity != EffectQuantity::Estimate && reader.has(EffectInput::Alternative) &&
        !(directed && request.alternative != Alternative::TwoSided)) {
        return reader.name(EffectInput::Alternative) +
               " is taken only by an rmsea sensitivity: greater (close fit) or less (not-close "
               "fit)";
    }
    if (row == nullptr) {
        return std::nullopt;
    }
    if (request.design != StudyDesign::Factorial && request.design != StudyDesign::Rmsea &&
        reader.has(Df1)) {
        return reader.name(Df1) + " is not an input of the design '" + std::string(row->name) + "'";
    }
    // Both of an equivalence design's tests are one-sided, each at α.
    for (EffectInput other : {Df2, Sides}) {
        if (reader.has(other)) {
            return reader.name(other) + " is not an input of the design '" +
                   std::string(row->name) + "'";
        }
    }
    if (request.design == StudyDesign::Rmsea && request.df1 < 1) {
        return reader.name(Df1) + " must be at least 1";
    }
    for (auto* read : {readSizes, readRepeatedMeasures, readEffect, readOthers}) {
        if (std::optional<std::string> problem = read(reader, request)) {
            return problem;
        }
    }
    return checkErrorDf(reader, request);
}

void addDesignTexts(const EffectRequest& request, EffectTexts& texts) {
    const DesignRow* row = rowOf(request.design);
    if (row == nullptr) {
        return;
    }
    texts[Design] = std::string(row->name);
    auto whole = [&texts](EffectInput input, int value) { texts[input] = std::to_string(value); };
    auto number = [&texts](EffectInput input, double value) {
        texts[input] = formatShortest(value);
    };
    for (const auto* list : {&row->sizes, &row->optional}) {
        for (EffectInput input : *list) {
            switch (input) {
                case Groups:
                    if (request.groups > 0) {
                        whole(input, request.groups);
                    }
                    break;
                case Cells:
                    whole(input, request.cells);
                    break;
                case Covariates:
                    whole(input, request.covariates);
                    break;
                case Measurements:
                    whole(input, request.measurements);
                    break;
                case Predictors:
                    whole(input, request.predictors);
                    break;
                case Tested:
                    whole(input, request.tested);
                    break;
                case Df1:
                    whole(input, request.df1);
                    break;
                case Correlation:
                    number(input, request.correlation);
                    break;
                case Epsilon:
                    number(input, request.epsilon);
                    break;
                case Margin:
                    // An equivalence sensitivity's margin is its answer.
                    if (request.question != PowerQuestion::Sensitivity) {
                        number(input, request.margin);
                    }
                    break;
                case Rmsea0:
                    number(input, request.rmsea0);
                    break;
                case R2:
                    if (request.r2 >= 0.0) {
                        number(input, request.r2);
                    }
                    break;
                case R2Reduced:
                    if (request.r2 >= 0.0 && request.design == StudyDesign::R2Change) {
                        number(input, request.r2Reduced);
                    }
                    break;
                default:
                    break;
            }
        }
    }
    // The effect as an F design's f², unless its R² was given; ε1 for RMSEA.
    const bool hasEffect = texts.count(Effect) > 0;
    if (hasEffect && request.design == StudyDesign::Rmsea) {
        texts[Rmsea1] = texts[Effect];
    }
    if (hasEffect && (request.design == StudyDesign::Rmsea || request.r2 >= 0.0)) {
        texts.erase(Effect);
    }
}

}  // namespace quorvel
