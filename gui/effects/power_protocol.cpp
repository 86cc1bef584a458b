#include "gui/effects/power_protocol.h"

#include "model/effects/effect_request.h"
#include "model/number_text.h"
#include "numerics/calculators.h"
#include "numerics/foundations/failure/held_messages.h"

namespace quorvel {

namespace {

bool isSampleSize(const EffectRequest& request) {
    return request.quantity == EffectQuantity::SampleSize;
}

bool twoEqualGroups(const EffectRequest& request) {
    return request.distribution == DistributionKind::T && isSampleSize(request) &&
           request.twoSample;
}

std::string effectName(DistributionKind distribution) {
    switch (distribution) {
        case DistributionKind::T:
            return "d";
        case DistributionKind::F:
            return "f2";
        case DistributionKind::ChiSquare:
            break;
    }
    return "w";
}

// An input's name as the protocol prints it: the effect by its measure, the single Df of
// chi-square as "Df", the others as a batch header names them.
std::string inputName(const EffectRequest& request, EffectInput input) {
    switch (input) {
        case EffectInput::Effect:
            return effectName(request.distribution);
        case EffectInput::Df1:
            return request.distribution == DistributionKind::ChiSquare ? "Df" : "Df1";
        case EffectInput::Df2:
            return "Df2";
        case EffectInput::N:
            return "N";
        case EffectInput::N1:
            return "N1";
        case EffectInput::N2:
            return "N2";
        default:
            break;
    }
    return std::string(effectInputName(input));
}

std::string headline(const EffectRequest& request) {
    std::string what = isSampleSize(request) ? "Sample size" : "Power";
    switch (request.distribution) {
        case DistributionKind::T: {
            const char* sides = request.sides == 2 ? "two-sided" : "one-sided";
            const bool twoGroups = !isSampleSize(request) && request.n1 > 0;
            const char* design = twoEqualGroups(request) ? "two equal groups"
                                 : twoGroups             ? "two groups"
                                                         : "one sample or paired";
            return what + " of a " + sides + " t test for Cohen's d, " + design;
        }
        case DistributionKind::F:
            return what + " of an F test for Cohen's f2";
        case DistributionKind::ChiSquare:
            break;
    }
    return what + " of a chi-square test for Cohen's w";
}

// The noncentrality and the Df in terms of the inputs (Cohen 1988; the conventions of pwr).
std::string noncentralityFormula(const EffectRequest& request) {
    switch (request.distribution) {
        case DistributionKind::T:
            if (twoEqualGroups(request)) {
                return "delta = d * sqrt(N/2), Df = 2N - 2, N per group";
            }
            if (!isSampleSize(request) && request.n1 > 0) {
                return "delta = d * sqrt(N1*N2/(N1 + N2)), Df = N1 + N2 - 2";
            }
            return "delta = d * sqrt(N), Df = N - 1";
        case DistributionKind::F:
            return isSampleSize(request)
                       ? "lambda = f2 * N, Df1 as given, Df2 = N - Df1 - 1, N in total"
                       : "lambda = f2 * (Df1 + Df2 + 1)";
        case DistributionKind::ChiSquare:
            break;
    }
    return "lambda = N * w^2, Df as given";
}

std::string rejectionRule(const EffectRequest& request) {
    const std::string alpha = formatShortest(request.alpha);
    switch (request.distribution) {
        case DistributionKind::T:
            return request.sides == 2
                       ? "two-sided alpha " + alpha +
                             ": reject when |T| > t, t the central t quantile at 1 - alpha/2; "
                             "power = P(T > t) + P(T < -t) under the noncentral t(Df, delta)"
                       : "one-sided alpha " + alpha +
                             ": reject when T > t, t the central t quantile at 1 - alpha; "
                             "power = P(T > t) under the noncentral t(Df, delta)";
        case DistributionKind::F:
            return "alpha " + alpha +
                   ": reject when F > c, c the central F quantile at 1 - alpha; power = P(F > c) "
                   "under the noncentral F(Df1, Df2, lambda)";
        case DistributionKind::ChiSquare:
            break;
    }
    return "alpha " + alpha +
           ": reject when X2 > c, c the central chi-square quantile at 1 - alpha; power = "
           "P(X2 > c) under the noncentral chi-square(Df, lambda)";
}

// The test's numbers at the N computed.
std::string testLine(Calculators& calculators, const EffectRequest& request,
                     const EffectOutcome& outcome) {
    const EffectRequest tested =
        isSampleSize(request) ? powerRequestAt(request, outcome.n) : request;
    const HeldMessages held(calculators);
    const PowerTest test = powerTestOf(calculators, tested);
    if (test.failed) {
        return "Test: could not be computed";
    }
    const bool t = test.distribution == DistributionKind::T;
    std::string df =
        test.distribution == DistributionKind::F
            ? "Df1 = " + std::to_string(test.df1) + ", Df2 = " + std::to_string(test.df2)
            : "Df = " + std::to_string(test.df1);
    std::string line = "Test";
    if (isSampleSize(request)) {
        line += " at N = " + std::to_string(outcome.n);
    }
    return line + ": " + df + ", " + (t ? "delta" : "lambda") + " = " +
           formatNumber(test.noncentrality) + ", critical value = " + formatNumber(test.critical);
}

std::string resultLine(const EffectRequest& request, const EffectOutcome& outcome) {
    if (outcome.failed) {
        std::string line = "Result: failed:";
        for (const std::string& message : outcome.messages) {
            line += ' ' + message;
        }
        return line;
    }
    const std::vector<std::string> numbers = effectOutputNumbers(request.quantity, outcome);
    if (!isSampleSize(request)) {
        return "Result: power = " + numbers.at(0);
    }
    return "Result: N = " + numbers.at(0) + (twoEqualGroups(request) ? " per group" : "") +
           ", power reached = " + numbers.at(1);
}

}  // namespace

std::string powerProtocol(Calculators& calculators, const EffectRequest& request,
                          const EffectOutcome& outcome) {
    const EffectCommand* command = effectCommandFor(request);
    if (command == nullptr || request.quantity == EffectQuantity::Estimate) {
        return {};
    }
    // The effect first, then the others in the order of the inputs.
    EffectTexts texts = effectTextsOf(*command, request);
    std::string inputs;
    if (const auto effect = texts.find(EffectInput::Effect); effect != texts.end()) {
        inputs = inputName(request, EffectInput::Effect) + " = " + effect->second;
        texts.erase(effect);
    }
    for (const auto& [input, text] : texts) {
        inputs += (inputs.empty() ? "" : ", ") + inputName(request, input) + " = " + text;
    }
    std::string protocol = headline(request) + '\n';
    protocol += "Inputs: " + inputs + '\n';
    protocol += "Convention: " + noncentralityFormula(request) + "; " + rejectionRule(request);
    if (isSampleSize(request)) {
        protocol += "; N the smallest whole number whose power reaches the target";
    }
    protocol += '\n';
    if (!outcome.failed) {
        protocol += testLine(calculators, request, outcome) + '\n';
    }
    return protocol + resultLine(request, outcome) + '\n';
}

}  // namespace quorvel
