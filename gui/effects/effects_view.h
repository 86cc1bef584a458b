#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "model/effects/effect_request.h"

namespace quorvel {

// The choices a group of the Effect Size and Power window may offer, each exchanged as the
// position of its chosen item: the measure (in the order the group's measures were given), the
// sides of a t test, the alternative of an interval (in the order of Alternative), and the
// question a power group answers (in the order its commands were given).
enum class EffectChoice { Measure, Sides, Alternative, Question };

namespace sides_position {
inline constexpr int TwoSided = 0;
inline constexpr int OneSided = 1;
}  // namespace sides_position

// What the effects controller asks of one group of the window: its input fields by the input
// they hold, its choices, its result fields by position and its status line. The window
// implements it on real widgets; tests implement it on plain data.
class EffectsView {
  public:
    virtual ~EffectsView() = default;

    // The field's text without the white space around it.
    virtual std::string text(EffectInput input) const = 0;
    virtual void setText(EffectInput input, std::string_view text) = 0;
    // Shows or hides an input with its caption; Sides stands for the sides choice.
    virtual void setInputShown(EffectInput input, bool shown) = 0;

    virtual int choice(EffectChoice choice) const = 0;
    virtual void setChoice(EffectChoice choice, int position) = 0;

    virtual void setResult(std::size_t index, std::string_view text) = 0;
    virtual void setResultCaption(std::size_t index, std::string_view caption) = 0;
    // Shows or hides a result with its caption.
    virtual void setResultShown(std::size_t index, bool shown) = 0;
    virtual void setStatus(std::string_view text) = 0;
    // The line under the status that names a study design's noncentrality formula: its room is
    // kept while a design other than Basic is chosen, so that nothing moves when it fills.
    virtual void setFormulaShown(bool shown) = 0;
    virtual void setFormula(std::string_view text) = 0;
};

}  // namespace quorvel
