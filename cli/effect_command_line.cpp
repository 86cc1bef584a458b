#include "cli/effect_command_line.h"

#include <array>
#include <string_view>

namespace quorvel::cli {

namespace {

using enum EffectInput;

// An option of the effect quantities: the input it gives and the distributions it belongs to.
struct EffectOption {
    std::string_view name;
    EffectInput input;
    OptionScope scope;
};

constexpr std::array<EffectOption, 34> kEffectOptions{{
    {"--value", Value, {true, true, true}},
    {"--n", N, {true, true, true}},
    {"--n1", N1, {false, true, false}},
    {"--n2", N2, {false, true, false}},
    {"--df1", Df1, {true, false, false}},
    {"--df2", Df2, {true, false, false}},
    {"--df", Df1, {false, false, true}},
    {"--confidence", Confidence, {true, true, true}},
    {"--alpha", Alpha, {true, true, true}},
    {"--power", Power, {true, true, true}},
    {"--sides", Sides, {false, true, false}},
    {"--design", Design, {true, true, true}},
    {"--d", Effect, {false, true, false}},
    {"--f2", Effect, {true, false, false}},
    {"--w", Effect, {false, false, true}},
    {"--rows", Rows, {false, false, true}},
    {"--cols", Cols, {false, false, true}},
    {"--alternative", Alternative, {true, true, true}},
    {"--f", EffectF, {true, false, false}},
    {"--eta2", EffectEta2, {true, false, false}},
    {"--groups", Groups, {true, true, false}},
    {"--cells", Cells, {true, false, false}},
    {"--covariates", Covariates, {true, false, false}},
    {"--measurements", Measurements, {true, false, false}},
    {"--correlation", Correlation, {true, false, false}},
    {"--epsilon", Epsilon, {true, false, false}},
    {"--predictors", Predictors, {true, false, false}},
    {"--tested", Tested, {true, false, false}},
    {"--r2", R2, {true, false, false}},
    {"--r2-reduced", R2Reduced, {true, false, false}},
    {"--margin", Margin, {false, true, false}},
    {"--rmsea0", Rmsea0, {false, false, true}},
    {"--rmsea1", Rmsea1, {false, false, true}},
    {"--ratio", Ratio, {true, true, true}},
}};

const EffectOption* optionNamed(std::string_view name, DistributionKind distribution) {
    for (const EffectOption& option : kEffectOptions) {
        if (option.name == name && option.scope.contains(distribution)) {
            return &option;
        }
    }
    return nullptr;
}

}  // namespace

Command parseEffectCommand(const EffectCommand& command,
                           const std::vector<std::string>& arguments) {
    const std::string combination = arguments[0] + " " + arguments[1];
    EffectTexts texts;
    for (std::size_t i = 2; i < arguments.size(); ++i) {
        std::string_view argument = arguments[i];
        std::string text;
        bool hasInlineValue = false;
        if (const std::size_t equals = argument.find('='); equals != std::string_view::npos) {
            text = std::string(argument.substr(equals + 1));
            argument = argument.substr(0, equals);
            hasInlineValue = true;
        }
        const std::string name(argument);
        const EffectOption* option = optionNamed(argument, command.distribution);
        if (option == nullptr || !takes(command, option->input)) {
            return usageError("option " + name + " is not used by '" + combination + "'");
        }
        if (texts.count(option->input) > 0) {
            return usageError("option " + name + " is given more than once");
        }
        if (!hasInlineValue) {
            if (i + 1 >= arguments.size()) {
                return usageError("option " + name + " needs a value");
            }
            text = arguments[++i];
        }
        texts[option->input] = text;
    }
    const EffectNamer optionName = [&command](EffectInput input) {
        for (const EffectOption& option : kEffectOptions) {
            if (option.input == input && option.scope.contains(command.distribution)) {
                return std::string(option.name);
            }
        }
        return std::string(effectInputName(input));
    };
    auto built = effectRequestFrom(command, texts, optionName);
    if (const std::string* problem = std::get_if<std::string>(&built)) {
        return usageError("'" + combination + "': " + *problem);
    }
    return EffectComputation{std::get<EffectRequest>(built)};
}

}  // namespace quorvel::cli
