#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "model/effects/effects.h"

namespace quorvel {

// The inputs of the effect-size, power and sample-size quantities, however the command line
// (--n, --d, ...), a batch header (n, effect, ...) or the window's labels name them. The command
// line, the batch reader and the Effect Size and Power window build their requests here.
enum class EffectInput {
    Value,
    N,
    N1,
    N2,
    Df1,
    Df2,
    Confidence,
    Alpha,
    Power,
    Sides,
    Design,
    Effect,
    Rows,
    Cols,
    Alternative,
    // The inputs of the study designs and their questions.
    Groups,
    Cells,
    Covariates,
    Measurements,
    Correlation,
    Epsilon,
    Predictors,
    Tested,
    R2,
    R2Reduced,
    Margin,
    Rmsea0,
    Rmsea1,
    Ratio,
    EffectF,     // Cohen's f, read as f²
    EffectEta2,  // partial η², read as f² = η²/(1 − η²)
};

// One quantity of this kind for one distribution: its name, what it computes, the inputs it
// needs and those it may take, and (a power or sample size) the inputs of its family's study
// designs, which it may take too. A t design is given by n, or by n1 and n2 together.
struct EffectCommand {
    DistributionKind distribution;
    std::string_view name;
    EffectQuantity quantity;
    EffectMeasure measure;
    std::vector<EffectInput> required;
    std::vector<EffectInput> optional;
    PowerQuestion question = PowerQuestion::Power;
    std::vector<EffectInput> designOptional = {};
};

// The effect quantity of that name for the distribution ("d", "g", "eta2", "f2", "omega2",
// "epsilon2", "rmsea", "w", "v", "power", "sample-size", "sensitivity", "criterion",
// "compromise"), or nothing.
const EffectCommand* effectCommandNamed(DistributionKind distribution, std::string_view name);

// The command that computes the request (its quantity, and for an estimate its measure), or
// nothing for a request no command makes.
const EffectCommand* effectCommandFor(const EffectRequest& request);

// The name of an input in a batch header, and in messages.
std::string_view effectInputName(EffectInput input);

// Whether the command reads the input: one of its own, or of its family's designs.
bool takes(const EffectCommand& command, EffectInput input);
// Whether the input is one of the command's own, which its Basic design reads.
bool takesWithoutDesign(const EffectCommand& command, EffectInput input);

// The texts given for a command's inputs, by input.
using EffectTexts = std::map<EffectInput, std::string>;

// How the caller names an input in its messages: an option (--n) or a column (n).
using EffectNamer = std::function<std::string(EffectInput)>;

// The request the texts describe, or one line naming why it cannot be computed: a missing
// input, a number that is not finite, a sample size that is not whole or too small for its Df,
// a level written as a percentage, α outside [.0001, .5], a target power not above α or above
// .9999, a negative f² or w, sides other than 1 or 2, an unknown design, rows or cols below 2,
// an alternative other than two-sided, greater or less; and the rules of a study design's
// inputs (its sizes, correlation, ε, R², margin, RMSEA and ratio), named with the input.
std::variant<EffectRequest, std::string> effectRequestFrom(const EffectCommand& command,
                                                           const EffectTexts& texts,
                                                           const EffectNamer& nameOf);

// The numbers of a result as the command line prints them and the window shows them: ESTIMATE
// LOWER UPPER, POWER, or N POWER, each with 17 significant digits (N as a whole number).
std::vector<std::string> effectOutputNumbers(EffectQuantity quantity, const EffectOutcome& outcome);
// As above for the request's question: EFFECT (sensitivity), ALPHA (criterion), ALPHA POWER
// (compromise).
std::vector<std::string> effectOutputNumbers(const EffectRequest& request,
                                             const EffectOutcome& outcome);

// The texts of the inputs the command reads from the request, which effectRequestFrom reads
// back as the same request: numbers in their shortest exact form, sizes and Df whole, the t
// design as n or as n1 and n2, "two-sample" or "one-sample", and a one-sided alternative's name.
EffectTexts effectTextsOf(const EffectCommand& command, const EffectRequest& request);

// The printed result: the output numbers separated by blanks.
std::string effectOutputLine(EffectQuantity quantity, const EffectOutcome& outcome);
std::string effectOutputLine(const EffectRequest& request, const EffectOutcome& outcome);

}  // namespace quorvel
