#include "cli/command_line.h"

#include <array>
#include <optional>
#include <set>
#include <string_view>

#include "cli/effect_command_line.h"
#include "model/number_text.h"
#include "model/request_model.h"

namespace quorvel::cli {

namespace {

// A command-line option: the input it gives and the distributions it belongs to.
struct OptionSpec {
    std::string_view name;
    RequestInput input;
    OptionScope scope;
};

constexpr std::array<OptionSpec, 10> kOptions{{
    {"--value", RequestInput::Value, {true, true, true}},
    {"--df1", RequestInput::Df1, {true, false, false}},
    {"--df2", RequestInput::Df2, {true, false, false}},
    {"--df", RequestInput::Df1, {false, true, true}},
    {"--lambda", RequestInput::Noncentrality, {true, false, true}},
    {"--delta", RequestInput::Noncentrality, {false, true, false}},
    {"--cump", RequestInput::CumP, {true, true, true}},
    {"--p-lower", RequestInput::PLower, {true, true, true}},
    {"--p-upper", RequestInput::PUpper, {true, true, true}},
    {"--confidence", RequestInput::Confidence, {true, true, true}},
}};

const OptionSpec* optionNamed(std::string_view name) {
    for (const OptionSpec& option : kOptions) {
        if (option.name == name) {
            return &option;
        }
    }
    return nullptr;
}

// The option that gives an input for a distribution, for the message about a missing one.
std::string_view optionFor(RequestInput input, DistributionKind distribution) {
    for (const OptionSpec& option : kOptions) {
        if (option.input == input && option.scope.contains(distribution)) {
            return option.name;
        }
    }
    return {};
}

bool isUsed(RequestInput input, const InputNeeds& needs) {
    if (input == RequestInput::Confidence) {
        return needs.takesConfidence;
    }
    // A tail probability stands in for the cumulative probability.
    const RequestInput asked = isProbabilityTarget(input) ? RequestInput::CumP : input;
    for (RequestInput required : needs.required) {
        if (required == asked) {
            return true;
        }
    }
    return false;
}

// A level above 1 and up to 100 was written as a percentage.
constexpr double kLargestPercentage = 100.0;

// The sides of an interval: a name, not a number.
constexpr std::string_view kAlternativeOption = "--alternative";

// The effect sizes a distribution offers, for the message about an unknown quantity.
std::string effectQuantityNames(DistributionKind distribution) {
    switch (distribution) {
        case DistributionKind::F:
            return "eta2, f2, omega2, epsilon2";
        case DistributionKind::T:
            return "d, g";
        case DistributionKind::ChiSquare:
            break;
    }
    return "rmsea, w, v";
}

}  // namespace

UsageError usageError(std::string message) {
    return UsageError{std::move(message) + " (see quorvel-cli --help)"};
}

Command parseCommandLine(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            return HelpRequest{};
        }
    }
    for (const std::string& argument : arguments) {
        if (argument == "--version") {
            return VersionRequest{};
        }
    }
    if (!arguments.empty() && arguments[0] == "--batch") {
        if (arguments.size() != 2) {
            return usageError("--batch takes exactly one file name (or - for standard input)");
        }
        return BatchRequest{arguments[1]};
    }
    if (arguments.size() < 2) {
        return usageError(
            "expected a distribution (f, t, chisq) and a quantity "
            "(cdf, upper, pdf, value, noncentrality, interval)");
    }
    const std::optional<DistributionKind> distribution = distributionNamed(arguments[0]);
    if (!distribution) {
        return usageError("unknown distribution '" + arguments[0] + "': use f, t or chisq (or x2)");
    }
    const std::optional<QuantityKind> quantity = quantityNamed(arguments[1]);
    if (!quantity) {
        if (const EffectCommand* effect = effectCommandNamed(*distribution, arguments[1])) {
            return parseEffectCommand(*effect, arguments);
        }
        return usageError("unknown quantity '" + arguments[1] + "' for '" + arguments[0] +
                          "': use cdf, upper, pdf, value, noncentrality, interval, " +
                          effectQuantityNames(*distribution) +
                          ", power, sample-size, sensitivity, criterion or compromise");
    }
    const std::string combination = arguments[0] + " " + arguments[1];
    const InputNeeds needs = inputsFor(*distribution, *quantity);

    ComputeRequest request;
    request.distribution = *distribution;
    request.quantity = *quantity;
    request.confidence = kDefaultConfidence;
    std::set<RequestInput> given;
    bool alternativeGiven = false;
    bool probabilityGiven = false;
    for (std::size_t i = 2; i < arguments.size(); ++i) {
        std::string_view argument = arguments[i];
        std::string_view text;
        bool hasInlineValue = false;
        if (const std::size_t equals = argument.find('='); equals != std::string_view::npos) {
            text = argument.substr(equals + 1);
            argument = argument.substr(0, equals);
            hasInlineValue = true;
        }
        if (argument == kAlternativeOption) {
            const std::string name(argument);
            if (!needs.takesConfidence) {
                return usageError("option " + name + " is not used by '" + combination + "'");
            }
            if (alternativeGiven) {
                return usageError("option " + name + " is given more than once");
            }
            if (!hasInlineValue) {
                if (i + 1 >= arguments.size()) {
                    return usageError("option " + name + " needs a value");
                }
                text = arguments[++i];
            }
            const std::optional<Alternative> alternative = alternativeNamed(text);
            if (!alternative) {
                return usageError("option " + name + ": '" + std::string(text) +
                                  "' is not two-sided, greater or less");
            }
            request.alternative = *alternative;
            alternativeGiven = true;
            continue;
        }
        const OptionSpec* option = optionNamed(argument);
        if (option == nullptr) {
            return usageError("unknown option '" + std::string(argument) + "'");
        }
        const std::string name(argument);
        if (!option->scope.contains(*distribution)) {
            return usageError("option " + name + " does not belong to distribution '" +
                              arguments[0] + "'");
        }
        if (!isUsed(option->input, needs)) {
            return usageError("option " + name + " is not used by '" + combination + "'");
        }
        if (!given.insert(option->input).second) {
            return usageError("option " + name + " is given more than once");
        }
        if (isProbabilityTarget(option->input) && probabilityGiven) {
            return usageError("options --cump, --p-lower and --p-upper exclude one another");
        }
        probabilityGiven = probabilityGiven || isProbabilityTarget(option->input);
        if (!hasInlineValue) {
            if (i + 1 >= arguments.size()) {
                return usageError("option " + name + " needs a number");
            }
            text = arguments[++i];
        }
        std::string problem;
        const std::optional<double> number =
            readInputNumber(text, isDegreesOfFreedom(option->input), problem);
        if (!number) {
            return usageError("option " + name + ": " + problem);
        }
        if (option->input == RequestInput::Confidence && *number > 1.0 &&
            *number <= kLargestPercentage) {
            return usageError("option " + percentageHint(name, *number));
        }
        assignInput(request, option->input, *number);
    }
    for (RequestInput input : needs.required) {
        // The central distribution is meant when cdf, upper, pdf or value names no
        // noncentrality.
        if (input == RequestInput::Noncentrality) {
            continue;
        }
        if (input == RequestInput::CumP && probabilityGiven) {
            continue;
        }
        if (given.count(input) == 0) {
            return usageError("'" + combination + "' needs option " +
                              std::string(optionFor(input, *distribution)));
        }
    }
    return SingleComputation{request};
}

std::string versionLine() {
    return "quorvel " QUORVEL_VERSION "\n";
}

std::string usageText() {
    return R"(Usage: quorvel-cli DISTRIBUTION QUANTITY [OPTIONS]
       quorvel-cli --batch FILE
       quorvel-cli --help | --version

Computes one quantity of the noncentral F, t or chi-square distribution, an effect size with
its confidence interval, a power or a sample size.

  DISTRIBUTION  f | t | chisq (also x2; any case)
  QUANTITY      cdf            cumulative probability of --value, P(X <= x)
                upper          upper-tail probability of --value, P(X > x), computed in that
                               tail (the p-value of an F or chi-square test)
                pdf            probability density at --value (the limit from the right at
                               0: infinite for f with --df1 1 and chisq with --df 1)
                value          the value whose cumulative probability is --cump
                noncentrality  the noncentrality that gives --value the probability --cump
                interval       confidence limits for the noncentrality from --value
                d              t: Cohen's d from --value with --n (one sample or paired, Df n-1)
                               or --n1 and --n2 (two groups, Df n1+n2-2)
                g              t: Hedges' g = d J(Df), J(v) = G(v/2)/(sqrt(v/2) G((v-1)/2)),
                               with the sizes of d (Df at least 2)
                eta2, f2       f: partial eta squared, Cohen's f squared from --value, --df1 --df2
                omega2         f: partial omega squared U(F-1)/(U F+V+1) (U = --df1, V = --df2)
                epsilon2       f: partial epsilon squared U(F-1)/(U F+V)
                rmsea, w       chisq: RMSEA, Cohen's w from --value, --df, --n
                v              chisq: Cramer's V from --value, --n, --rows R, --cols C
                               (Df (R-1)(C-1))
                power          t: --d with --n or --n1 --n2 [--sides 1|2];
                               f: --f2 --df1 --df2; chisq: --w --df --n
                sample-size    t: --d --power [--sides] [--design two-sample|one-sample];
                               f: --f2 --df1 --power; chisq: --w --df --power
                sensitivity    the smallest effect (d, f2, w or rmsea1) whose power reaches
                               --power at the given sizes; for equivalence (with --d) the
                               smallest margin; for rmsea above rmsea0, or below it with
                               --alternative less (not-close fit)
                criterion      the alpha whose power is --power, with --d, --f2 or --w
                compromise     the alpha with beta/alpha = --ratio Q, printed ALPHA POWER

Options (each once; a value may also be written --option=X):
  --value X         the F, t or chi-square value (observed, for an effect size)
  --df1 N, --df2 N  degrees of freedom of F; --df N for t and chi-square
  --lambda X        noncentrality of F and chi-square; --delta X for t (default 0 for cdf,
                    upper, pdf and value: the central distribution)
  --cump P          cumulative probability (0.0001 to 0.9999)
  --p-lower P, --p-upper Q
                    instead of --cump for value and noncentrality: a probability of the
                    lower tail P(X <= x) or of the upper tail P(X > x), from 1e-300 up to but
                    not including 1, solved in that tail (a critical value at alpha 5e-8:
                    t value --p-upper 5e-8 --df 100)
  --confidence C    confidence level of an interval or effect size (default 0.95)
  --n N, --n1 N, --n2 N  sample sizes (whole numbers)
  --d D, --f2 F2, --w W  effect of a power or sample size (f2 and w not negative)
  --alpha A         level of the test, 0.0001 to 0.5 (default 0.05)
  --power P         target power of a sample size, above alpha and at most 0.9999
  --sides 1|2       one- or two-sided t test (default 2)
  --design D        t: two-sample (default; N per group, equal groups), one-sample,
                    paired (one-sample on the differences) or equivalence; f and chisq: a
                    study design below
  --ratio Q         beta/alpha of a compromise (positive)
  --rows R, --cols C  the table's rows and columns (Cramer's V; at least 2 each)
  --alternative A   two-sided (default), greater or less: an interval or effect size bounded
                    on both sides, only below (the upper end at the bound) or only above
A level or power is a proportion: 95 is refused with the hint 0.95.

Effect sizes follow the conventions of R's MBESS (d, eta squared, RMSEA with N - 1) and pwr
(lambda = f2 (u + v + 1) for F, lambda = N w^2 for chi-square); each interval is the
family's interval for the noncentrality mapped through the measure, a lower noncentrality of 0
giving 0. Omega squared and epsilon squared are 0 where the formula is negative; their
limits are the measure at F = lambda/U + 1, the F whose numerator has the mean of the noncentral
F at lambda: lambda/(lambda+U+V+1) and lambda/(lambda+U+V). Hedges' g's limits are d's times
J(Df); Cramer's V's limits sqrt(lambda/(N (min(R,C)-1))).
A one-sided interval at level C (.90 to .9999) is the two-sided interval at 2C-1 with the other
end at the bound: inf or -inf for d and g, 0 below, 1 above eta2, omega2 and epsilon2, inf above
the others (and for the plain interval -inf below delta, 0 below lambda, inf above).
An interval that does not hold its estimate says why on standard error in a line beginning
"Note:" (the exit status stays 0): an empty interval shown as 0 0, or an estimate from the
observed value beyond the limits from the noncentrality (eta2 and f2 at small Df2). Power uses the central critical value of the family; a sample size is the smallest
whole N whose power reaches --power (per group for a two-sample t design).

Study designs (power, sample-size, sensitivity, criterion, compromise; N total unless said;
the design's test is printed on standard error as a line "Design: ..."):
  t --design equivalence --margin M --d D (--n N | --n1 N1 --n2 N2) [--groups 1|2]
      two one-sided tests against -M and M at alpha each, exact power integrated over the
      sample SD; a sample size is per group (two groups, default) or of one sample (--groups 1)
  f --design anova --groups K            lambda = f2 N, Df K-1, N-K
  f --design factorial --cells K --df1 U lambda = f2 N, Df U, N-K
  f --design ancova --groups K --covariates C   lambda = f2 N, Df K-1, N-K-C
  f --design rm-within|rm-interaction --groups K --measurements M --correlation R
      [--epsilon E]  lambda = f2 N M E/(1-R), Df (M-1)E (within) or (K-1)(M-1)E, (N-K)(M-1)E
  f --design rm-between --groups K --measurements M --correlation R
      lambda = f2 N M/(1+(M-1)R), Df K-1, N-K
  f --design regression --predictors P [--r2 R2]   f2 = R2/(1-R2), lambda = f2 N, Df P, N-P-1
  f --design r2-change --predictors P --tested Q [--r2 R2 --r2-reduced R2R]
      f2 = (R2-R2R)/(1-R2), lambda = f2 N, Df Q, N-P-1
  chisq --design rmsea --df D --rmsea0 E0 --rmsea1 E1   lambda = (N-1) D E^2: close fit
      (E1 > E0, rejecting above), not-close fit (E1 < E0, rejecting below), exact fit (E0 0)
  The F effect is --f2, --f F (f2 = F^2) or --eta2 E (partial, f2 = E/(1-E)); with the
  designs --n N is the total sample. A request with no answer (the power reached already at
  the smallest N, a true effect outside the equivalence margins, an effect whose sign
  contradicts a one-sided test) says why and prints -9999.

Batch: --batch FILE (or - for standard input) reads CSV whose header names any of
  distribution,quantity,value,df1,df2,noncentrality,cump,p_lower,p_upper,confidence (df for
  df1; one of cump, p_lower, p_upper for value and noncentrality), alternative (of an
  interval) and, for the quantities above, n,n1,n2,alpha,power,sides,design,effect,rows,cols
  (effect: the d, f2 or w of a power or sample size), the designs' groups,cells,covariates,
  measurements,correlation,epsilon,predictors,tested,r2,r2_reduced,margin,rmsea0,rmsea1,
  ratio (quantity also sensitivity, criterion, compromise), and writes each row followed by
  result,lower,upper,status,messages,achieved_power. result is the value, estimate, power or
  N; lower and upper the limits; achieved_power the power a sample size reaches. status is
  ok, failed (a calculation error: its messages) or invalid (the row could not be read); an
  ok row's messages hold its note, if any.
  Exit status: 0 all ok, 1 a row failed, 2 a row invalid or the header unusable.

Output: the result on one line (17 significant digits); an interval prints LOWER UPPER, an
effect size ESTIMATE LOWER UPPER, a power POWER, a sample size N POWER, a sensitivity
EFFECT, a criterion ALPHA and a compromise ALPHA POWER.
A failed calculation prints -9999 and its messages on standard error.
Exit status: 0 success, 1 a calculation error was reported, 2 a usage error.

--help prints this text, --version the version (quorvel )" QUORVEL_VERSION R"(); both exit 0.
The manual page quorvel-cli(1) says more.
)";
}

}  // namespace quorvel::cli
