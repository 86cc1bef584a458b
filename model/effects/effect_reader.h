#pragma once

#include <map>
#include <string>

#include "model/effects/effect_request.h"

namespace quorvel {

// The inputs given to effectRequestFrom, each number read once; or what is wrong with the
// first bad one.
class EffectReader {
  public:
    EffectReader(const EffectTexts& texts, const EffectNamer& nameOf)
        : texts_(texts), nameOf_(nameOf) {}

    bool has(EffectInput input) const { return texts_.count(input) > 0; }

    // Reads every text but the design and the alternative as a number; false after setting the
    // problem.
    bool readNumbers();

    double number(EffectInput input) const { return numbers_.at(input); }
    const std::string& text(EffectInput input) const { return texts_.at(input); }
    const EffectTexts& texts() const { return texts_; }

    std::string name(EffectInput input) const { return nameOf_(input); }

    std::string problem;

  private:
    const EffectTexts& texts_;
    const EffectNamer& nameOf_;
    std::map<EffectInput, double> numbers_;
};

}  // namespace quorvel
