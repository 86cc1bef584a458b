#pragma once

#include <string>
#include <vector>

#include "cli/command_line.h"
#include "model/effects/effect_request.h"

namespace quorvel::cli {

// The options of an effect-size, power or sample-size command (arguments[2] on), read into its
// request: each option must belong to the distribution and be taken by the quantity, and
// appear once.
Command parseEffectCommand(const EffectCommand& command, const std::vector<std::string>& arguments);

}  // namespace quorvel::cli
