#include "gui/effects/power_protocol.h"

#include "model/effects/design_test.h"
#include "model/effects/effect_request.h"
#include "model/effects/equivalence_sizes.h"
#include "model/number_text.h"
#include "numerics/calculators.h"
#include "numerics/foundations/failure/held_messages.h"

namespace quorvel {

namespace {

bool isSampleSize(const EffectRequest& request) {
    return request.quantity == EffectQuantity::SampleSize;
}

bool isBasic(const EffectRequest& request) {
    return request.design == StudyDesign::Basic;
}

bool twoEqualGroups(const EffectRequest& request) {
    return request.distribution == DistributionKind::T && isSampleSize(request) &&
           request.twoSample;
}

// An equivalence sample size of two groups, whose N is per group.
bool equivalencePerGroup(const EffectRequest& request) {
    return request.design == StudyDesign::Equivalence && isSampleSize(request) &&
           request.groups != 1;
}

// Whether the question's α is its answer, not an input.
bool alphaSearched(const EffectRequest& request) {
    return !isSampleSize(request) && (request.question == PowerQuestion::Criterion ||
                                      request.question == PowerQuestion::Compromise);
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

// The effect a sensitivity searches, as the protocol names it.
std::string searchedName(const EffectRequest& request) {
    switch (request.design) {
        case StudyDesign::Equivalence:
            return "margin";
        case StudyDesign::Rmsea:
            return "rmsea1";
        default:
            break;
    }
    return effectName(request.distribution);
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

std::string questionWord(const EffectRequest& request) {
    if (isSampleSize(request)) {
        return "Sample size";
    }
    switch (request.question) {
        case PowerQuestion::Sensitivity:
            return "Sensitivity";
        case PowerQuestion::Criterion:
            return "Criterion";
        case PowerQuestion::Compromise:
            return "Compromise";
        case PowerQuestion::Power:
            break;
    }
    return "Power";
}

// The samples of a t design: two equal groups (a sample size), two groups, or one.
const char* tSamples(const EffectRequest& request) {
    const bool equalGroups = twoEqualGroups(request) || equivalencePerGroup(request);
    const bool twoGroups = !isSampleSize(request) && request.n1 > 0;
    return equalGroups ? "two equal groups" : twoGroups ? "two groups" : "one sample or paired";
}

std::string rmseaFit(const EffectRequest& request) {
    return request.rmsea0 == 0.0           ? "exact fit"
           : describesNotCloseFit(request) ? "not-close fit"
                                           : "close fit";
}

// What the test is, after the question's word.
std::string testName(const EffectRequest& request) {
    switch (request.design) {
        case StudyDesign::Basic:
            break;
        case StudyDesign::Equivalence:
            return std::string("two one-sided t tests for equivalence, ") + tSamples(request);
        case StudyDesign::Anova:
            return "a one-way ANOVA F test for Cohen's f2";
        case StudyDesign::Factorial:
            return "an F test of an effect in a factorial design for Cohen's f2";
        case StudyDesign::Ancova:
            return "an ANCOVA F test for Cohen's f2";
        case StudyDesign::RmWithin:
            return "a repeated-measures F test of the within factor for Cohen's f2";
        case StudyDesign::RmBetween:
            return "a repeated-measures F test of the between factor for Cohen's f2";
        case StudyDesign::RmInteraction:
            return "a repeated-measures F test of the within-between interaction for Cohen's f2";
        case StudyDesign::Regression:
            return "a multiple regression F test of R2 for Cohen's f2";
        case StudyDesign::R2Change:
            return "an F test of the R2 increase for Cohen's f2";
        case StudyDesign::Rmsea:
            return "a chi-square test of model fit by RMSEA, " + rmseaFit(request);
    }
    switch (request.distribution) {
        case DistributionKind::T:
            return std::string("a ") + (request.sides == 2 ? "two-sided" : "one-sided") +
                   " t test for Cohen's d, " + tSamples(request);
        case DistributionKind::F:
            return "an F test for Cohen's f2";
        case DistributionKind::ChiSquare:
            break;
    }
    return "a chi-square test for Cohen's w";
}

// The noncentrality and the Df of today's tests in terms of the inputs (Cohen 1988; the
// conventions of pwr).
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

// The level as the rule names it: the given α, or the criterion's or compromise's, searched.
std::string alphaLabel(const EffectRequest& request) {
    return alphaSearched(request) ? "alpha searched" : "alpha " + formatShortest(request.alpha);
}

std::string rejectionRule(const EffectRequest& request) {
    const std::string alpha = alphaLabel(request);
    if (request.design == StudyDesign::Equivalence) {
        return alpha +
               " for each test: equivalence shown when both reject, the statistic against -M "
               "above c and the one against M below -c, c the central t quantile "
               "at 1 - alpha; power = P(both reject) under the true d";
    }
    if (request.design == StudyDesign::Rmsea) {
        return describesNotCloseFit(request)
                   ? alpha +
                         ": reject when X2 < c, c the quantile at alpha of the noncentral "
                         "chi-square(D, lambda0) under rmsea0; power = P(X2 < c) under the "
                         "noncentral chi-square(D, lambda1) of rmsea1"
                   : alpha +
                         ": reject when X2 > c, c the quantile at 1 - alpha of the noncentral "
                         "chi-square(D, lambda0) under rmsea0; power = P(X2 > c) under the "
                         "noncentral chi-square(D, lambda1) of rmsea1";
    }
    switch (request.distribution) {
        case DistributionKind::T:
            return request.sides == 2
                       ? "two-sided " + alpha +
                             ": reject when |T| > t, t the central t quantile at 1 - alpha/2; "
                             "power = P(T > t) + P(T < -t) under the noncentral t(Df, delta)"
                       : "one-sided " + alpha +
                             ": reject when T > t, t the central t quantile at 1 - alpha; "
                             "power = P(T > t) under the noncentral t(Df, delta)";
        case DistributionKind::F:
            return alpha +
                   ": reject when F > c, c the central F quantile at 1 - alpha; power = P(F > c) "
                   "under the noncentral F(Df1, Df2, lambda)";
        case DistributionKind::ChiSquare:
            break;
    }
    return alpha +
           ": reject when X2 > c, c the central chi-square quantile at 1 - alpha; power = "
           "P(X2 > c) under the noncentral chi-square(Df, lambda)";
}

// What the question's answer is, after the rule.
std::string answerRule(const EffectRequest& request) {
    if (isSampleSize(request)) {
        return "; N the smallest whole number whose power reaches the target";
    }
    switch (request.question) {
        case PowerQuestion::Sensitivity:
            if (request.design == StudyDesign::Rmsea && describesNotCloseFit(request)) {
                return "; rmsea1 the largest below rmsea0 whose power reaches the target";
            }
            return "; " + searchedName(request) + " the smallest whose power reaches the target";
        case PowerQuestion::Criterion:
            return "; alpha the level whose power is the target";
        case PowerQuestion::Compromise:
            return "; alpha the level at which beta/alpha = ratio";
        case PowerQuestion::Power:
            break;
    }
    return "";
}

// Where the test was taken: the N found, the effect found, or the α found.
std::string testedAt(const EffectRequest& request, const EffectOutcome& outcome) {
    if (isSampleSize(request)) {
        return " at N = " + std::to_string(outcome.n) +
               (equivalencePerGroup(request) ? " per group" : "");
    }
    switch (request.question) {
        case PowerQuestion::Sensitivity:
            return " at " + searchedName(request) + " = " + formatNumber(outcome.effect);
        case PowerQuestion::Criterion:
        case PowerQuestion::Compromise:
            return " at alpha = " + formatNumber(outcome.alpha);
        case PowerQuestion::Power:
            break;
    }
    return "";
}

// Today's test's numbers.
std::string basicTestNumbers(Calculators& calculators, const EffectRequest& tested) {
    const PowerTest test = powerTestOf(calculators, tested);
    if (test.failed) {
        return "";
    }
    const bool t = test.distribution == DistributionKind::T;
    std::string df =
        test.distribution == DistributionKind::F
            ? "Df1 = " + std::to_string(test.df1) + ", Df2 = " + std::to_string(test.df2)
            : "Df = " + std::to_string(test.df1);
    return df + ", " + (t ? "delta" : "lambda") + " = " + formatNumber(test.noncentrality) +
           ", critical value = " + formatNumber(test.critical);
}

// The two one-sided tests' numbers: their Df, their statistics' noncentralities, the critical t.
std::string equivalenceTestNumbers(Calculators& calculators, const EffectRequest& tested) {
    const EquivalenceTest test = equivalenceTestOf(calculators, tested);
    if (test.failed) {
        return "";
    }
    return "Df = " + formatShortest(test.sizes.nu) +
           ", delta = (d + M)/k = " + formatNumber(test.lowerDelta) +
           " and (d - M)/k = " + formatNumber(test.upperDelta) +
           " (k = " + formatNumber(test.sizes.k) +
           "), critical value = " + formatNumber(test.critical);
}

// An F design's numbers (real-valued Df with ε < 1) or RMSEA's.
std::string designTestNumbers(Calculators& calculators, const EffectRequest& tested) {
    const DesignTest test = designTestOf(calculators, tested);
    if (test.failed) {
        return "";
    }
    const std::string critical = ", critical value = " + formatNumber(test.critical);
    if (test.distribution == DistributionKind::F) {
        return "Df1 = " + formatShortest(test.df1) + ", Df2 = " + formatShortest(test.df2) +
               ", lambda = " + formatNumber(test.noncentrality) + critical;
    }
    return "Df = " + formatShortest(test.df1) +
           ", lambda0 = " + formatNumber(test.nullNoncentrality) +
           ", lambda1 = " + formatNumber(test.noncentrality) + critical;
}

// The test's numbers at the request the outcome answers.
std::string testLine(Calculators& calculators, const EffectRequest& request,
                     const EffectOutcome& outcome) {
    const EffectRequest tested = answeredPowerRequest(request, outcome);
    const HeldMessages held(calculators);
    const std::string numbers = isBasic(request) ? basicTestNumbers(calculators, tested)
                                : request.design == StudyDesign::Equivalence
                                    ? equivalenceTestNumbers(calculators, tested)
                                    : designTestNumbers(calculators, tested);
    if (numbers.empty()) {
        return "Test: could not be computed";
    }
    return "Test" + testedAt(request, outcome) + ": " + numbers;
}

std::string resultLine(const EffectRequest& request, const EffectOutcome& outcome) {
    if (outcome.failed) {
        std::string line = "Result: failed:";
        for (const std::string& message : outcome.messages) {
            line += ' ' + message;
        }
        return line;
    }
    const std::vector<std::string> numbers = effectOutputNumbers(request, outcome);
    if (isSampleSize(request)) {
        const bool perGroup = twoEqualGroups(request) || equivalencePerGroup(request);
        return "Result: N = " + numbers.at(0) + (perGroup ? " per group" : "") +
               ", power reached = " + numbers.at(1);
    }
    switch (request.question) {
        case PowerQuestion::Sensitivity: {
            const bool largest =
                request.design == StudyDesign::Rmsea && describesNotCloseFit(request);
            return std::string("Result: ") + (largest ? "largest " : "smallest ") +
                   searchedName(request) + " = " + numbers.at(0);
        }
        case PowerQuestion::Criterion:
            return "Result: alpha = " + numbers.at(0);
        case PowerQuestion::Compromise:
            return "Result: alpha = " + numbers.at(0) + ", power = " + numbers.at(1);
        case PowerQuestion::Power:
            break;
    }
    return "Result: power = " + numbers.at(0);
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
    std::string protocol = questionWord(request) + " of " + testName(request) + '\n';
    protocol += "Inputs: " + inputs + '\n';
    protocol += "Convention: " +
                (isBasic(request) ? noncentralityFormula(request) : designFormula(request)) + "; " +
                rejectionRule(request) + answerRule(request) + '\n';
    if (!outcome.failed) {
        protocol += testLine(calculators, request, outcome) + '\n';
    }
    return protocol + resultLine(request, outcome) + '\n';
}

}  // namespace quorvel
