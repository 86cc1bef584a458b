#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "numerics/computation.h"

namespace quorvel::cli {

// The inputs of a computation, whatever they are called on the command line or in a CSV
// header. Df1 is the single Df of t and chi-square; Noncentrality is λ or δ.
enum class Input { Value, Df1, Df2, Noncentrality, CumP, Confidence };

// What a combination reads: the required inputs in the routine's argument order, and whether
// it takes a confidence level (intervals; 0.95 when not given).
struct InputNeeds {
    std::vector<Input> required;
    bool takesConfidence = false;
};

InputNeeds inputsFor(DistributionKind distribution, QuantityKind quantity);

bool isDegreesOfFreedom(Input input);

// Stores a parsed number in the request; a Df is truncated and saturated to the int range.
void assignInput(ComputeRequest& request, Input input, double number);

// "f", "t", "chisq" and "cdf", "value", "noncentrality", "interval".
std::optional<DistributionKind> distributionNamed(std::string_view name);
std::optional<QuantityKind> quantityNamed(std::string_view name);

constexpr double kDefaultConfidence = 0.95;

}  // namespace quorvel::cli
