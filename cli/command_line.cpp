#include "cli/command_line.h"

#include <array>
#include <cmath>
#include <optional>
#include <set>
#include <string_view>

#include "cli/number_text.h"
#include "numerics/request_model.h"

namespace quorvel::cli {

namespace {

// A command-line option: the input it gives and the distributions it belongs to.
struct OptionSpec {
    std::string_view name;
    RequestInput input;
    bool forF;
    bool forT;
    bool forChiSquare;
};

constexpr std::array<OptionSpec, 8> kOptions{{
    {"--value", RequestInput::Value, true, true, true},
    {"--df1", RequestInput::Df1, true, false, false},
    {"--df2", RequestInput::Df2, true, false, false},
    {"--df", RequestInput::Df1, false, true, true},
    {"--lambda", RequestInput::Noncentrality, true, false, true},
    {"--delta", RequestInput::Noncentrality, false, true, false},
    {"--cump", RequestInput::CumP, true, true, true},
    {"--confidence", RequestInput::Confidence, true, true, true},
}};

const OptionSpec* optionNamed(std::string_view name) {
    for (const OptionSpec& option : kOptions) {
        if (option.name == name) {
            return &option;
        }
    }
    return nullptr;
}

bool belongsTo(const OptionSpec& option, DistributionKind distribution) {
    switch (distribution) {
        case DistributionKind::F:
            return option.forF;
        case DistributionKind::T:
            return option.forT;
        case DistributionKind::ChiSquare:
            return option.forChiSquare;
    }
    return false;
}

// The option that gives an input for a distribution, for the message about a missing one.
std::string_view optionFor(RequestInput input, DistributionKind distribution) {
    for (const OptionSpec& option : kOptions) {
        if (option.input == input && belongsTo(option, distribution)) {
            return option.name;
        }
    }
    return {};
}

bool isUsed(RequestInput input, const InputNeeds& needs) {
    if (input == RequestInput::Confidence) {
        return needs.takesConfidence;
    }
    for (RequestInput required : needs.required) {
        if (required == input) {
            return true;
        }
    }
    return false;
}

UsageError usage(std::string message) {
    return UsageError{std::move(message) + " (see quorvel-cli --help)"};
}

}  // namespace

Command parseCommandLine(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            return HelpRequest{};
        }
    }
    if (!arguments.empty() && arguments[0] == "--batch") {
        if (arguments.size() != 2) {
            return usage("--batch takes exactly one file name (or - for standard input)");
        }
        return BatchRequest{arguments[1]};
    }
    if (arguments.size() < 2) {
        return usage(
            "expected a distribution (f, t, chisq) and a quantity "
            "(cdf, value, noncentrality, interval)");
    }
    const std::optional<DistributionKind> distribution = distributionNamed(arguments[0]);
    if (!distribution) {
        return usage("unknown distribution '" + arguments[0] + "': use f, t or chisq");
    }
    const std::optional<QuantityKind> quantity = quantityNamed(arguments[1]);
    if (!quantity) {
        return usage("unknown quantity '" + arguments[1] +
                     "': use cdf, value, noncentrality or interval");
    }
    const std::string combination = arguments[0] + " " + arguments[1];
    const InputNeeds needs = inputsFor(*distribution, *quantity);

    ComputeRequest request;
    request.distribution = *distribution;
    request.quantity = *quantity;
    request.confidence = kDefaultConfidence;
    std::set<RequestInput> given;
    for (std::size_t i = 2; i < arguments.size(); ++i) {
        std::string_view argument = arguments[i];
        std::string_view text;
        bool hasInlineValue = false;
        if (const std::size_t equals = argument.find('='); equals != std::string_view::npos) {
            text = argument.substr(equals + 1);
            argument = argument.substr(0, equals);
            hasInlineValue = true;
        }
        const OptionSpec* option = optionNamed(argument);
        if (option == nullptr) {
            return usage("unknown option '" + std::string(argument) + "'");
        }
        const std::string name(argument);
        if (!belongsTo(*option, *distribution)) {
            return usage("option " + name + " does not belong to distribution '" + arguments[0] +
                         "'");
        }
        if (!isUsed(option->input, needs)) {
            return usage("option " + name + " is not used by '" + combination + "'");
        }
        if (!given.insert(option->input).second) {
            return usage("option " + name + " is given more than once");
        }
        if (!hasInlineValue) {
            if (i + 1 >= arguments.size()) {
                return usage("option " + name + " needs a number");
            }
            text = arguments[++i];
        }
        const std::optional<double> number = parseNumber(text);
        if (!number) {
            return usage("option " + name + ": '" + std::string(text) +
                         "' is not a finite decimal number");
        }
        if (isDegreesOfFreedom(option->input) && std::trunc(*number) != *number) {
            return usage("option " + name + ": '" + std::string(text) +
                         "' is not a whole number of degrees of freedom");
        }
        assignInput(request, option->input, *number);
    }
    for (RequestInput input : needs.required) {
        if (given.count(input) == 0) {
            return usage("'" + combination + "' needs option " +
                         std::string(optionFor(input, *distribution)));
        }
    }
    return SingleComputation{request};
}

std::string usageText() {
    return R"(Usage: quorvel-cli DISTRIBUTION QUANTITY [OPTIONS]
       quorvel-cli --batch FILE
       quorvel-cli --help

Computes one quantity of the noncentral F, t or chi-square distribution.

  DISTRIBUTION  f | t | chisq
  QUANTITY      cdf            cumulative probability of --value
                value          the value whose cumulative probability is --cump
                noncentrality  the noncentrality that gives --value the probability --cump
                interval       confidence limits for the noncentrality from --value

Options (each once; a number may also be written --option=X):
  --value X         the F, t or chi-square value
  --df1 N, --df2 N  degrees of freedom of F; --df N for t and chi-square
  --lambda X        noncentrality of F and chi-square; --delta X for t
  --cump P          cumulative probability
  --confidence C    confidence level of an interval (default 0.95)

Batch: --batch FILE (or - for standard input) reads CSV whose header names any of
  distribution,quantity,value,df1,df2,noncentrality,cump,confidence (df for df1),
  and writes each row followed by result,lower,upper,status,messages. status is ok,
  failed (a calculation error: its messages) or invalid (the row could not be read).
  Exit status: 0 all ok, 1 a row failed, 2 a row invalid or the header unusable.

Output: the result on one line (17 significant digits); an interval prints LOWER UPPER.
A failed calculation prints -9999 and its messages on standard error.
Exit status: 0 success, 1 a calculation error was reported, 2 a usage error.
)";
}

}  // namespace quorvel::cli
