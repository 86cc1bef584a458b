#include "cli/command_line.h"

#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <string_view>

#include "cli/number_text.h"

namespace quorvel::cli {

namespace {

constexpr double kDefaultConfidence = 0.95;

enum class Option { Value, Df1, Df2, Df, Lambda, Delta, CumP, Confidence };

struct OptionName {
    Option option;
    std::string_view name;
};

constexpr std::array<OptionName, 8> kOptionNames{{
    {Option::Value, "--value"},
    {Option::Df1, "--df1"},
    {Option::Df2, "--df2"},
    {Option::Df, "--df"},
    {Option::Lambda, "--lambda"},
    {Option::Delta, "--delta"},
    {Option::CumP, "--cump"},
    {Option::Confidence, "--confidence"},
}};

std::string_view nameOf(Option option) {
    for (const OptionName& entry : kOptionNames) {
        if (entry.option == option) {
            return entry.name;
        }
    }
    return {};
}

std::optional<Option> optionNamed(std::string_view name) {
    for (const OptionName& entry : kOptionNames) {
        if (entry.name == name) {
            return entry.option;
        }
    }
    return std::nullopt;
}

std::optional<DistributionKind> distributionNamed(std::string_view name) {
    if (name == "f")
        return DistributionKind::F;
    if (name == "t")
        return DistributionKind::T;
    if (name == "chisq")
        return DistributionKind::ChiSquare;
    return std::nullopt;
}

std::optional<QuantityKind> quantityNamed(std::string_view name) {
    if (name == "cdf")
        return QuantityKind::CumP;
    if (name == "value")
        return QuantityKind::Value;
    if (name == "noncentrality")
        return QuantityKind::Noncentrality;
    if (name == "interval")
        return QuantityKind::Interval;
    return std::nullopt;
}

// The options of a distribution: its degrees of freedom and its noncentrality.
struct Family {
    std::vector<Option> degreesOfFreedom;
    Option noncentrality;
};

Family familyOf(DistributionKind distribution) {
    switch (distribution) {
        case DistributionKind::F:
            return {{Option::Df1, Option::Df2}, Option::Lambda};
        case DistributionKind::T:
            return {{Option::Df}, Option::Delta};
        case DistributionKind::ChiSquare:
            break;
    }
    return {{Option::Df}, Option::Lambda};
}

// Required options of a combination, then the optional ones.
struct OptionSet {
    std::vector<Option> required;
    std::vector<Option> optional;
};

OptionSet optionsOf(DistributionKind distribution, QuantityKind quantity) {
    const Family family = familyOf(distribution);
    OptionSet set;
    auto add = [&set](Option option) { set.required.push_back(option); };
    switch (quantity) {
        case QuantityKind::CumP:
            add(Option::Value);
            break;
        case QuantityKind::Value:
            add(Option::CumP);
            break;
        case QuantityKind::Noncentrality:
        case QuantityKind::Interval:
            add(Option::Value);
            break;
    }
    for (Option df : family.degreesOfFreedom) {
        add(df);
    }
    switch (quantity) {
        case QuantityKind::CumP:
        case QuantityKind::Value:
            add(family.noncentrality);
            break;
        case QuantityKind::Noncentrality:
            add(Option::CumP);
            break;
        case QuantityKind::Interval:
            set.optional.push_back(Option::Confidence);
            break;
    }
    return set;
}

bool contains(const std::vector<Option>& options, Option option) {
    for (Option candidate : options) {
        if (candidate == option) {
            return true;
        }
    }
    return false;
}

bool belongsToDistribution(DistributionKind distribution, Option option) {
    const Family family = familyOf(distribution);
    return option == Option::Value || option == Option::CumP || option == Option::Confidence ||
           option == family.noncentrality || contains(family.degreesOfFreedom, option);
}

bool isDegreesOfFreedom(Option option) {
    return option == Option::Df || option == Option::Df1 || option == Option::Df2;
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
    if (!isAvailable(*distribution, *quantity)) {
        return usage("'" + combination + "' is not available in this version yet");
    }
    const OptionSet allowed = optionsOf(*distribution, *quantity);

    std::map<Option, double> given;
    for (std::size_t i = 2; i < arguments.size(); ++i) {
        std::string_view argument = arguments[i];
        std::string_view text;
        bool hasInlineValue = false;
        if (const std::size_t equals = argument.find('='); equals != std::string_view::npos) {
            text = argument.substr(equals + 1);
            argument = argument.substr(0, equals);
            hasInlineValue = true;
        }
        const std::optional<Option> option = optionNamed(argument);
        if (!option) {
            return usage("unknown option '" + std::string(argument) + "'");
        }
        const std::string name(argument);
        if (!belongsToDistribution(*distribution, *option)) {
            return usage("option " + name + " does not belong to distribution '" + arguments[0] +
                         "'");
        }
        if (!contains(allowed.required, *option) && !contains(allowed.optional, *option)) {
            return usage("option " + name + " is not used by '" + combination + "'");
        }
        if (given.count(*option) != 0) {
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
        if (isDegreesOfFreedom(*option) && std::trunc(*number) != *number) {
            return usage("option " + name + ": '" + std::string(text) +
                         "' is not a whole number of degrees of freedom");
        }
        given[*option] = *number;
    }
    for (Option option : allowed.required) {
        if (given.count(option) == 0) {
            return usage("'" + combination + "' needs option " + std::string(nameOf(option)));
        }
    }

    ComputeRequest request;
    request.distribution = *distribution;
    request.quantity = *quantity;
    request.confidence = kDefaultConfidence;
    for (const auto& [option, number] : given) {
        switch (option) {
            case Option::Value:
                request.value = number;
                break;
            case Option::Df1:
            case Option::Df:
                request.df1 = truncateDegreesOfFreedom(number);
                break;
            case Option::Df2:
                request.df2 = truncateDegreesOfFreedom(number);
                break;
            case Option::Lambda:
            case Option::Delta:
                request.noncentrality = number;
                break;
            case Option::CumP:
                request.cumP = number;
                break;
            case Option::Confidence:
                request.confidence = number;
                break;
        }
    }
    return SingleComputation{request};
}

std::string usageText() {
    return R"(Usage: quorvel-cli DISTRIBUTION QUANTITY [OPTIONS]
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

Output: the result on one line (17 significant digits); an interval prints LOWER UPPER.
A failed calculation prints -9999 and its messages on standard error.
Exit status: 0 success, 1 a calculation error was reported, 2 a usage error.
)";
}

}  // namespace quorvel::cli
