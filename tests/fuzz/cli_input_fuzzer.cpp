// Fuzz target for the command line's reading: argument parsing and the batch CSV reader with
// its row interpretation. The computation of a row is replaced by a fixed answer, so that only
// the reading is exercised and every input runs in bounded time.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "cli/batch_run.h"
#include "cli/command_line.h"

namespace {
std::vector<std::string> splitArguments(const std::string& text) {
    std::vector<std::string> arguments;
    std::string current;
    for (char c : text) {
        if (c == '\0') {
            arguments.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    arguments.push_back(current);
    return arguments;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] % 2 == 0) {
        quorvel::cli::parseCommandLine(splitArguments(text));
        return 0;
    }
    std::istringstream input(text);
    std::ostringstream output, errors;
    const auto fixedAnswer = [](const quorvel::ComputeRequest& request,
                                std::vector<std::string>& messages) {
        const bool failed = request.df1 <= 0;
        if (failed) {
            messages.push_back("Df1 out of range.");
        }
        return quorvel::ComputeOutcome{request.value, -9999.0, request.cumP, failed, messages};
    };
    const auto fixedEffect = [](const quorvel::EffectRequest& request, std::vector<std::string>&) {
        return quorvel::EffectOutcome{request.value, -9999.0,   request.effect,
                                      request.power, request.n, false, {}};
    };
    const int status = quorvel::cli::runBatch(input, output, errors, fixedAnswer, fixedEffect);
    if (status < 0 || status > 2) {
        __builtin_trap();
    }
    return 0;
}
