#include "gui/effects/effects_controller.h"
#include "numerics/foundations/confidence_range.h"

#include <algorithm>
#include <variant>

#include "gui/widgets/num_edit_logic.h"
#include "model/effects/design_request.h"
#include "model/effects/effects.h"
#include "numerics/calculators.h"

namespace quorvel {

namespace {

// The caption without its mnemonic and colon: the name the rules give in their messages.
std::string nameFromCaption(std::string_view caption) {
    std::string name(caption);
    std::erase_if(name, [](char c) { return c == '&' || c == ':'; });
    return name;
}

}  // namespace

EffectsController::EffectsController(DistributionKind distribution, std::string_view command,
                                     Calculators& calculators, ComputationListeners& listeners,
                                     EffectsView& view)
    : distribution_(distribution),
      commands_{command},
      quantity_(effectCommandNamed(distribution, command)->quantity),
      calculators_(calculators),
      listeners_(listeners),
      view_(view) {}

void EffectsController::addMeasureChoice(const std::vector<std::string_view>& commands) {
    commands_ = commands;
    commandChoice_ = EffectChoice::Measure;
}

void EffectsController::addQuestionChoice(const std::vector<std::string_view>& commands) {
    commands_ = commands;
    commandChoice_ = EffectChoice::Question;
}

void EffectsController::addInput(EffectInput input, std::string_view caption) {
    inputs_.push_back({input, nameFromCaption(caption)});
}

void EffectsController::addSidesChoice() { sidesChoice_ = true; }

void EffectsController::addAlternativeChoice() { alternativeChoice_ = true; }

void EffectsController::commandChanged() {
    for (const Input& shown : inputs_) {
        view_.setInputShown(shown.input, isRead(shown.input));
    }
    if (sidesChoice_) {
        view_.setInputShown(EffectInput::Sides, isRead(EffectInput::Sides));
    }
    const std::vector<std::string> captions = resultCaptions();
    shownResults_ = captions.empty() ? resultCount_ : std::min(captions.size(), resultCount_);
    for (std::size_t index = 0; index < resultCount_ && !captions.empty(); ++index) {
        view_.setResultShown(index, index < shownResults_);
        if (index < shownResults_) {
            view_.setResultCaption(index, captions[index]);
        }
    }
    clearResults();
}

void EffectsController::addResults(std::size_t count) {
    resultCount_ = count;
    shownResults_ = count;
}

bool EffectsController::hasInput(EffectInput input) const {
    return std::any_of(inputs_.begin(), inputs_.end(),
                       [input](const Input& shown) { return shown.input == input; });
}

void EffectsController::setDesign(const FormDesign& design) {
    design_ = design;
    view_.setFormulaShown(quantity_ != EffectQuantity::Estimate &&
                          design.design != StudyDesign::Basic);
    commandChanged();
}

const EffectCommand& EffectsController::command() const {
    const std::size_t chosen =
        commandChoice_ ? static_cast<std::size_t>(view_.choice(*commandChoice_)) : 0;
    return *effectCommandNamed(distribution_, commands_.at(chosen));
}

std::string EffectsController::nameOf(EffectInput input) const {
    for (const Input& shown : inputs_) {
        if (shown.input == input) {
            return shown.name;
        }
    }
    return std::string(effectInputName(input));
}

bool EffectsController::isRead(EffectInput input) const {
    const bool twoGroups = design_.twoGroups;
    const bool sizeOfOtherSamples =
        distribution_ == DistributionKind::T &&
        ((input == EffectInput::N && twoGroups) ||
         ((input == EffectInput::N1 || input == EffectInput::N2) && !twoGroups));
    if (sizeOfOtherSamples) {
        return false;
    }
    if (quantity_ == EffectQuantity::Estimate) {
        return takes(command(), input);
    }
    const std::vector<EffectInput> shown = formInputs(command(), design_.design);
    return std::find(shown.begin(), shown.end(), input) != shown.end();
}

std::vector<std::string> EffectsController::resultCaptions() const {
    const bool equalGroups = distribution_ == DistributionKind::T && design_.twoGroups;
    switch (quantity_) {
        case EffectQuantity::Estimate:
            return {};
        case EffectQuantity::SampleSize:
            return {equalGroups ? "N per group:" : "N:", "Power reached:"};
        case EffectQuantity::Power:
            break;
    }
    switch (command().question) {
        case PowerQuestion::Sensitivity:
            return {"Smallest " + searchedEffectSymbol(distribution_, design_.design) + ":"};
        case PowerQuestion::Criterion:
            return {"Alpha:"};
        case PowerQuestion::Compromise:
            return {"Alpha:", "Power:"};
        case PowerQuestion::Power:
            break;
    }
    return {"Power:"};
}

EffectTexts EffectsController::texts() const {
    EffectTexts texts;
    for (const Input& shown : inputs_) {
        if (isRead(shown.input)) {
            texts[shown.input] = view_.text(shown.input);
        }
    }
    if (alternativeChoice_) {
        texts.emplace(EffectInput::Alternative,
                      alternativeName(static_cast<Alternative>(
                          std::max(view_.choice(EffectChoice::Alternative), 0))));
    }
    if (sidesChoice_ && isRead(EffectInput::Sides)) {
        texts.emplace(EffectInput::Sides,
                      view_.choice(EffectChoice::Sides) == sides_position::TwoSided ? "2" : "1");
    }
    if (quantity_ == EffectQuantity::Estimate) {
        return texts;
    }
    const bool tSampleSize =
        distribution_ == DistributionKind::T && quantity_ == EffectQuantity::SampleSize;
    if (design_.design != StudyDesign::Basic) {
        texts.emplace(EffectInput::Design, studyDesignName(design_.design));
        // An equivalence sample size is one of two equal groups, or of one sample.
        if (tSampleSize) {
            texts.emplace(EffectInput::Groups, design_.twoGroups ? "2" : "1");
        }
    } else if (tSampleSize) {
        texts.emplace(EffectInput::Design, design_.twoGroups ? "two-sample" : "one-sample");
    }
    return texts;
}

void EffectsController::compute() {
    std::variant<EffectRequest, std::string> built =
        effectRequestFrom(command(), texts(), [this](EffectInput input) { return nameOf(input); });
    if (const auto* request = std::get_if<EffectRequest>(&built);
        request != nullptr && request->quantity == EffectQuantity::Estimate &&
        !isAcceptedConfidence(request->confidence)) {
        built = nameOf(EffectInput::Confidence) + " must lie from 0.80 to 0.9999";
    } else if (request != nullptr && request->quantity == EffectQuantity::Estimate &&
               request->alternative != Alternative::TwoSided &&
               !(request->confidence >= kSmallestOneSidedConfidence)) {
        built = nameOf(EffectInput::Confidence) + " must lie from 0.90 to 0.9999 one-sided";
    }
    if (const auto* problem = std::get_if<std::string>(&built)) {
        calculators_.reporter().show(*problem);
        showFailure({*problem});
        return;
    }
    const EffectRequest& request = std::get<EffectRequest>(built);
    const EffectOutcome outcome = computeEffect(calculators_, request);
    if (outcome.failed) {
        showFailure(outcome.messages);
    } else {
        const std::vector<std::string> numbers = effectOutputNumbers(request, outcome);
        for (std::size_t index = 0; index < resultCount_; ++index) {
            view_.setResult(index, index < numbers.size() ? numbers[index] : "");
        }
        view_.setStatus(outcome.note.empty() ? "Finished" : "Finished. " + outcome.note);
    }
    if (const std::string formula = designFormula(request); !formula.empty()) {
        view_.setFormula("Design: " + formula);
    }
    listeners_.effectComputed(request, outcome);
}

void EffectsController::showFailure(const std::vector<std::string>& messages) {
    for (std::size_t index = 0; index < resultCount_; ++index) {
        view_.setResult(index, index < shownResults_ ? kFailedText : "");
    }
    std::string text = "Failed:";
    for (const std::string& message : messages) {
        text += ' ' + message;
    }
    view_.setStatus(text);
}

void EffectsController::restore(const EffectRequest& request) {
    const EffectCommand* restored = effectCommandFor(request);
    if (restored == nullptr) {
        return;
    }
    if (commandChoice_) {
        const auto found = std::find(commands_.begin(), commands_.end(), restored->name);
        if (found != commands_.end()) {
            view_.setChoice(*commandChoice_, static_cast<int>(found - commands_.begin()));
        }
    }
    if (sidesChoice_) {
        view_.setChoice(EffectChoice::Sides, request.sides == 2 ? sides_position::TwoSided
                                                                : sides_position::OneSided);
    }
    if (alternativeChoice_) {
        view_.setChoice(EffectChoice::Alternative, static_cast<int>(request.alternative));
    }
    const EffectTexts texts = formTextsOf(*restored, request);
    for (const Input& shown : inputs_) {
        if (const auto text = texts.find(shown.input); text != texts.end()) {
            view_.setText(shown.input, text->second);
        }
    }
    commandChanged();
}

void EffectsController::clearResults() {
    for (std::size_t index = 0; index < resultCount_; ++index) {
        view_.setResult(index, "");
    }
    view_.setStatus("");
    view_.setFormula("");
}

}  // namespace quorvel
