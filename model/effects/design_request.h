#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/effects/effect_reader.h"

namespace quorvel {

// The design a `design` text names for the distribution (t: one-sample, paired and two-sample
// are Basic; equivalence; F: anova, factorial, ancova, rm-within, rm-between, rm-interaction,
// regression, r2-change; chi-square: rmsea), or nothing.
std::optional<StudyDesign> studyDesignNamed(DistributionKind distribution, std::string_view name);
std::string_view studyDesignName(StudyDesign design);
// The names a distribution's design may take, for a message: "anova, factorial, ...".
std::string studyDesignNames(DistributionKind distribution);

// The inputs a power command of the distribution may take beyond its own: the design and
// every design's inputs.
std::vector<EffectInput> designInputs(DistributionKind distribution);

// The inputs a command needs under a design other than Basic. An F design's Effect stands for
// any of its effect inputs (f², f, partial η², R²).
std::vector<EffectInput> designRequiredInputs(const EffectCommand& command, StudyDesign design);

// Whether the reader holds one of the design's effect inputs.
bool hasDesignEffect(const EffectReader& reader, StudyDesign design);

// Reads the design's inputs into the request (request.design set), checking each rule and that
// no input of another design was given; or the problem. For Basic, only that no design input
// was given.
std::optional<std::string> readStudyDesign(const EffectReader& reader, EffectRequest& request);

// Adds the texts of the request's design inputs (the design's name, sizes, effect as given).
void addDesignTexts(const EffectRequest& request, EffectTexts& texts);

}  // namespace quorvel
