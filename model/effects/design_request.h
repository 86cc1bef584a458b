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
// The effect a power request of the design varies, as the window names it: "d" (t, also an
// equivalence design's true d), "f²", "w", or "RMSEA1" (an RMSEA design's ε1).
std::string effectSymbol(DistributionKind distribution, StudyDesign design);
// What a sensitivity of the design searches: an equivalence design's "margin", the effect
// otherwise.
std::string searchedEffectSymbol(DistributionKind distribution, StudyDesign design);

// The names a distribution's design may take, for a message: "anova, factorial, ...".
std::string studyDesignNames(DistributionKind distribution);

// The inputs a power command of the distribution may take beyond its own: the design and
// every design's inputs.
std::vector<EffectInput> designInputs(DistributionKind distribution);

// The inputs a command needs under a design other than Basic. An F design's Effect stands for
// any of its effect inputs (f², f, partial η², R²).
std::vector<EffectInput> designRequiredInputs(const EffectCommand& command, StudyDesign design);

// The inputs a form of the command shows under the design, the one way of writing it that the
// Effect Size and Power window offers: the command's own for Basic; otherwise the design's
// required inputs, the regressions' effect as R² (with the reduced model's for R² change), ε
// of repeated measures, α where the command takes it, and N, N1 and N2 of an equivalence power
// (one sample or two groups, as the t family reads them).
std::vector<EffectInput> formInputs(const EffectCommand& command, StudyDesign design);

// The texts of the request in the inputs formInputs names for its command and design:
// effectTextsOf's, a regression's f² (given without R²) written as its R² = f²/(1 + f²), with
// a reduced model's R² of 0, which gives the same f².
EffectTexts formTextsOf(const EffectCommand& command, const EffectRequest& request);

// Whether the reader holds one of the design's effect inputs.
bool hasDesignEffect(const EffectReader& reader, StudyDesign design);

// Reads the design's inputs into the request (request.design set), checking each rule and that
// no input of another design was given; or the problem. For Basic, only that no design input
// was given.
std::optional<std::string> readStudyDesign(const EffectReader& reader, EffectRequest& request);

// Adds the texts of the request's design inputs (the design's name, sizes, effect as given).
void addDesignTexts(const EffectRequest& request, EffectTexts& texts);

}  // namespace quorvel
