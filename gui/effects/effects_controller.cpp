#include "gui/effects/effects_controller.h"
#include "numerics/foundations/confidence_range.h"

#include <algorithm>
#include <variant>

#include "gui/widgets/num_edit_logic.h"
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
    measureChoice_ = true;
}

void EffectsController::addInput(EffectInput input, std::string_view caption) {
    inputs_.push_back({input, nameFromCaption(caption)});
}

void EffectsController::addSidesChoice() { sidesChoice_ = true; }

void EffectsController::addAlternativeChoice() { alternativeChoice_ = true; }

void EffectsController::measureChanged() {
    for (const Input& shown : inputs_) {
        view_.setInputShown(shown.input, isRead(shown.input));
    }
    clearResults();
}

void EffectsController::addResults(std::size_t count) { resultCount_ = count; }

bool EffectsController::hasInput(EffectInput input) const {
    return std::any_of(inputs_.begin(), inputs_.end(),
                       [input](const Input& shown) { return shown.input == input; });
}

void EffectsController::setTwoGroups(bool twoGroups) {
    twoGroups_ = twoGroups;
    for (EffectInput input : {EffectInput::N, EffectInput::N1, EffectInput::N2}) {
        if (hasInput(input)) {
            view_.setInputShown(input, isRead(input));
        }
    }
    if (quantity_ == EffectQuantity::SampleSize && resultCount_ > 0) {
        view_.setResultCaption(0, twoGroups ? "N per group:" : "N:");
    }
    clearResults();
}

const EffectCommand& EffectsController::command() const {
    const std::size_t chosen =
        measureChoice_ ? static_cast<std::size_t>(view_.choice(EffectChoice::Measure)) : 0;
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
    const bool sizeOfOtherDesign =
        distribution_ == DistributionKind::T &&
        ((input == EffectInput::N && twoGroups_) ||
         ((input == EffectInput::N1 || input == EffectInput::N2) && !twoGroups_));
    return !sizeOfOtherDesign && takes(command(), input);
}

EffectTexts EffectsController::texts() const {
    EffectTexts texts;
    const bool tDesign = distribution_ == DistributionKind::T;
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
    if (sidesChoice_) {
        texts.emplace(EffectInput::Sides,
                      view_.choice(EffectChoice::Sides) == sides_position::TwoSided ? "2" : "1");
    }
    if (tDesign && quantity_ == EffectQuantity::SampleSize) {
        texts.emplace(EffectInput::Design, twoGroups_ ? "two-sample" : "one-sample");
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
        const std::vector<std::string> numbers = effectOutputNumbers(request.quantity, outcome);
        for (std::size_t index = 0; index < resultCount_; ++index) {
            view_.setResult(index, numbers.at(index));
        }
        view_.setStatus(outcome.note.empty() ? "Finished" : "Finished. " + outcome.note);
    }
    listeners_.effectComputed(request, outcome);
}

void EffectsController::showFailure(const std::vector<std::string>& messages) {
    for (std::size_t index = 0; index < resultCount_; ++index) {
        view_.setResult(index, kFailedText);
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
    if (measureChoice_) {
        const auto found = std::find(commands_.begin(), commands_.end(), restored->name);
        if (found != commands_.end()) {
            view_.setChoice(EffectChoice::Measure, static_cast<int>(found - commands_.begin()));
        }
    }
    if (sidesChoice_) {
        view_.setChoice(EffectChoice::Sides, request.sides == 2 ? sides_position::TwoSided
                                                                : sides_position::OneSided);
    }
    if (alternativeChoice_) {
        view_.setChoice(EffectChoice::Alternative, static_cast<int>(request.alternative));
    }
    const EffectTexts texts = effectTextsOf(*restored, request);
    for (const Input& shown : inputs_) {
        if (const auto text = texts.find(shown.input); text != texts.end()) {
            view_.setText(shown.input, text->second);
        }
    }
    measureChanged();
}

void EffectsController::clearResults() {
    for (std::size_t index = 0; index < resultCount_; ++index) {
        view_.setResult(index, "");
    }
    view_.setStatus("");
}

}  // namespace quorvel
