#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "model/computation.h"

namespace quorvel {

// The inputs of a computation, whatever the window's fields, the command line's options or a
// CSV header call them. Df1 is the single Df of t and chi-square; Noncentrality is λ or δ.
// PLower and PUpper are a probability of the lower or upper tail, given instead of CumP.
enum class RequestInput { Value, Df1, Df2, Noncentrality, CumP, Confidence, PLower, PUpper };

// What a combination reads: the required inputs in the routine's argument order, and whether
// it takes a confidence level (the intervals).
struct InputNeeds {
    std::vector<RequestInput> required;
    bool takesConfidence = false;
};

// The one table of which inputs each (distribution, quantity) needs: the window, the command
// line and the batch reader all read it.
InputNeeds inputsFor(DistributionKind distribution, QuantityKind quantity);

bool isDegreesOfFreedom(RequestInput input);

// Whether the input gives the probability a value or a noncentrality solves for: CumP, or a
// probability of one tail (PLower, PUpper) solved in that tail. A combination that requires
// CumP takes exactly one of them.
bool isProbabilityTarget(RequestInput input);

// Stores a number in the request; a Df is truncated toward zero and saturated to the int range;
// PLower and PUpper set the request's tail target.
void assignInput(ComputeRequest& request, RequestInput input, double number);

// The value an empty input starts with, in the order in which the window fills its empty
// fields.
struct InputDefault {
    RequestInput input;
    double value;
};
inline constexpr std::array<InputDefault, 5> kInputDefaults{{
    {RequestInput::CumP, 0.95},
    {RequestInput::Value, 1.0},
    {RequestInput::Noncentrality, 0.0},
    {RequestInput::Df1, 1.0},
    {RequestInput::Df2, 1.0},
}};
// The level of an interval for which the command line and a batch row name none.
inline constexpr double kDefaultConfidence = 0.95;

// "f", "t", "chisq" (also "x2", and in any case) and "cdf", "value", "noncentrality",
// "interval", "pdf": the names on the command line and in batch files.
std::optional<DistributionKind> distributionNamed(std::string_view name);
std::optional<QuantityKind> quantityNamed(std::string_view name);
// "cdf", "value", "noncentrality" or "interval": the name quantityNamed reads.
const char* quantityName(QuantityKind quantity);

}  // namespace quorvel
