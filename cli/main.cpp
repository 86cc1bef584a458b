// quorvel-cli: one computation of the noncentral F, t or chi-square distribution from the
// command line, through the same routines as the window.
#include <fstream>
#include <iostream>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "cli/batch_run.h"
#include "cli/command_line.h"
#include "cli/stream_reporter.h"
#include "model/computation.h"
#include "model/effects/effect_request.h"
#include "model/effects/effects.h"
#include "model/number_text.h"
#include "numerics/calculators.h"

namespace {
constexpr int kExitSuccess = 0;
constexpr int kExitCalculationError = 1;
constexpr int kExitUsageError = 2;

int runSingle(const quorvel::ComputeRequest& request) {
    quorvel::cli::StreamReporter reporter(std::cerr);
    quorvel::Calculators calculators(reporter);
    const quorvel::ComputeOutcome outcome = quorvel::computeQuantity(calculators, request);
    if (request.quantity == quorvel::QuantityKind::Interval) {
        std::cout << quorvel::formatNumber(outcome.lower) << ' '
                  << quorvel::formatNumber(outcome.upper) << '\n';
    } else {
        std::cout << quorvel::formatNumber(outcome.result) << '\n';
    }
    return outcome.failed ? kExitCalculationError : kExitSuccess;
}

int runEffect(const quorvel::EffectRequest& request) {
    quorvel::cli::StreamReporter reporter(std::cerr);
    quorvel::Calculators calculators(reporter);
    // A study design's test is said on standard error, so that standard output keeps one line
    // of numbers.
    if (const std::string formula = quorvel::designFormula(request); !formula.empty()) {
        std::cerr << "Design: " << formula << '\n';
    }
    const quorvel::EffectOutcome outcome = quorvel::computeEffect(calculators, request);
    std::cout << quorvel::effectOutputLine(request, outcome) << '\n';
    if (!outcome.note.empty()) {
        std::cerr << outcome.note << '\n';
    }
    return outcome.failed ? kExitCalculationError : kExitSuccess;
}

int runBatchFile(const std::string& path) {
    if (path == "-") {
        return quorvel::cli::runBatch(std::cin, std::cout, std::cerr);
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::cerr << "quorvel-cli: cannot open batch file '" << path << "'\n";
        return kExitUsageError;
    }
    return quorvel::cli::runBatch(file, std::cout, std::cerr);
}
}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const quorvel::cli::Command command = quorvel::cli::parseCommandLine(arguments);
    return std::visit(
        [](const auto& parsed) -> int {
            using Parsed = std::decay_t<decltype(parsed)>;
            if constexpr (std::is_same_v<Parsed, quorvel::cli::HelpRequest>) {
                std::cout << quorvel::cli::usageText();
                return kExitSuccess;
            } else if constexpr (std::is_same_v<Parsed, quorvel::cli::VersionRequest>) {
                std::cout << quorvel::cli::versionLine();
                return kExitSuccess;
            } else if constexpr (std::is_same_v<Parsed, quorvel::cli::UsageError>) {
                std::cerr << "quorvel-cli: " << parsed.message << '\n';
                return kExitUsageError;
            } else if constexpr (std::is_same_v<Parsed, quorvel::cli::BatchRequest>) {
                return runBatchFile(parsed.path);
            } else if constexpr (std::is_same_v<Parsed, quorvel::cli::EffectComputation>) {
                return runEffect(parsed.request);
            } else {
                return runSingle(parsed.request);
            }
        },
        command);
}
