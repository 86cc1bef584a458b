#pragma once

#include <string>
#include <variant>
#include <vector>

#include "model/computation.h"
#include "model/effects/effects.h"

namespace quorvel::cli {

struct HelpRequest {};

struct VersionRequest {};

struct SingleComputation {
    ComputeRequest request;
};

// An effect size with its interval, a power or a sample size.
struct EffectComputation {
    EffectRequest request;
};

struct BatchRequest {
    std::string path;  // "-" for standard input
};

// A command line that cannot be run: one line naming the problem.
struct UsageError {
    std::string message;
};

// The usage error with the pointer to --help that every such line ends with.
UsageError usageError(std::string message);

// The distributions an option belongs to.
struct OptionScope {
    bool f;
    bool t;
    bool chiSquare;

    constexpr bool contains(DistributionKind distribution) const {
        switch (distribution) {
            case DistributionKind::F:
                return f;
            case DistributionKind::T:
                return t;
            case DistributionKind::ChiSquare:
                break;
        }
        return chiSquare;
    }
};

using Command = std::variant<HelpRequest, VersionRequest, SingleComputation, EffectComputation,
                             BatchRequest, UsageError>;

// Reads `DISTRIBUTION QUANTITY [OPTIONS]`, `--batch FILE`, `--help` or `--version` (arguments
// without the program name; --help, then --version, wins wherever it stands). The distribution's
// name is read without regard to case (x2 is chisq). Every option must belong to the distribution
// and be used by the quantity, appear once and hold a finite number; a Df or a sample size must be
// a whole number. The noncentrality of cdf, pdf and value is 0 when not given; a level or power
// written as a percentage is refused with a hint.
Command parseCommandLine(const std::vector<std::string>& arguments);

// The text that --help prints.
std::string usageText();

// The line that --version prints: "quorvel" and the release.
std::string versionLine();

}  // namespace quorvel::cli
