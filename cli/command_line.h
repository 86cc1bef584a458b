#pragma once

#include <string>
#include <variant>
#include <vector>

#include "numerics/computation.h"

namespace quorvel::cli {

struct HelpRequest {};

struct SingleComputation {
    ComputeRequest request;
};

struct BatchRequest {
    std::string path;  // "-" for standard input
};

// A command line that cannot be run: one line naming the problem.
struct UsageError {
    std::string message;
};

using Command = std::variant<HelpRequest, SingleComputation, BatchRequest, UsageError>;

// Reads `DISTRIBUTION QUANTITY [OPTIONS]`, `--batch FILE` or `--help` (arguments without the
// program name). Every option must belong to the distribution and be used by the quantity,
// appear once and hold a whole finite number; a Df must be a whole number.
Command parseCommandLine(const std::vector<std::string>& arguments);

// The text that --help prints.
std::string usageText();

}  // namespace quorvel::cli
