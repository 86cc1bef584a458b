#pragma once

#include <string>
#include <vector>

#include "model/computation.h"

namespace quorvel {

class Calculators;

// The effect sizes whose confidence interval is a family's interval for its noncentrality,
// mapped through the measure's formula (the conventions of R's MBESS and pwr packages). A
// one-sided interval's other end is the measure at the noncentrality's bound: −infinity or
// +infinity for d and g, 0 below, and 1 above for the shares η², ω², ε², infinity for the rest.
enum class EffectMeasure {
    CohensD,            // t: d = T/√N (one sample or paired, Df N − 1), or T·√(1/N1 + 1/N2)
                        // (two groups, Df N1 + N2 − 2); limits δ/√N or δ·√(1/N1 + 1/N2)
    PartialEtaSquared,  // F: F·U/(F·U + V); limits λ/(λ + U + V + 1)
    CohensFSquared,     // F: F·U/V; limits λ/(U + V + 1)
    Rmsea,    // chi-square: √(max(X − D, 0)/(D·(N − 1))); limits √(λ/(D·(N − 1)))
    CohensW,  // chi-square: √(X/N); limits √(λ/N)
    HedgesG,  // t: d·J(ν), J(ν) = Γ(ν/2)/(√(ν/2)·Γ((ν−1)/2)), ν the Df (>= 2); limits d's × J(ν)
    PartialOmegaSquared,    // F: U(F − 1)/(U·F + V + 1), 0 where negative; limits
                            // λ/(λ + U + V + 1), the measure at F = λ/U + 1
    PartialEpsilonSquared,  // F: U(F − 1)/(U·F + V), 0 where negative; limits λ/(λ + U + V)
    CramersV,  // chi-square, an R × C table: √(X/(N·(min(R, C) − 1))) with Df (R − 1)(C − 1);
               // limits √(λ/(N·(min(R, C) − 1)))
};

enum class EffectQuantity {
    Estimate,    // the measure with its confidence interval
    Power,       // the power of a test for an effect d, f² or w
    SampleSize,  // the smallest whole N whose power reaches the target
};

// The study design of a power request, each with its test and noncentrality (N the total
// sample, f² Cohen's effect, ε the sphericity correction, ρ the correlation of the measures):
// - Basic: today's forms, t by n (one sample or pairs) or n1 and n2 (two groups), F by its
//   explicit Df with λ = f²·(U + V + 1), chi-square by w with λ = N·w².
// - Equivalence: two one-sided t tests against the standardized margins ±margin, true effect
//   d, one sample (n) or two groups (n1, n2); power integrated over the sample SD.
// - Anova: Df K − 1, N − K; Factorial: Df U (df1), N − cells; Ancova: Df K − 1, N − K − C;
//   Regression: Df P, N − P − 1; R2Change: Df Q (tested), N − P − 1; each λ = f²·N.
// - RmWithin: Df (M − 1)ε, (N − K)(M − 1)ε; RmInteraction: Df (K − 1)(M − 1)ε, (N − K)(M − 1)ε;
//   both λ = f²·N·M·ε/(1 − ρ). RmBetween: Df K − 1, N − K, λ = f²·N·M/(1 + (M − 1)ρ).
// - Rmsea: chi-square with Df D (df1), λ = (N − 1)·D·ε² under ε0 (the null) and under ε1 (the
//   effect): close fit (ε1 > ε0, rejecting above) or not-close fit (ε1 < ε0, rejecting below);
//   exact fit is close fit with ε0 = 0.
enum class StudyDesign {
    Basic,
    Equivalence,
    Anova,
    Factorial,
    Ancova,
    RmWithin,
    RmBetween,
    RmInteraction,
    Regression,
    R2Change,
    Rmsea,
};

// What a power request (quantity Power) answers: its power; the smallest effect reaching the
// target power at its N (sensitivity: d, f², w or ε1); the α giving the target power
// (criterion); the α, with its power, at which β/α = ratio (compromise).
enum class PowerQuestion { Power, Sensitivity, Criterion, Compromise };

// One effect-size, power or sample-size request. Which fields a request reads:
// - Estimate: measure, value (the observed T, F or X²), confidence, and the sizes of its
//   measure: n (t one sample, chi-square), or n1 and n2 (t two groups); df1 = U, df2 = V (F);
//   df1 = D (chi-square), or rows and cols (Cramér's V, whose Df they give); the alternative.
// - Power: effect (d, f² or w), alpha; t: n or n1 and n2, sides; F: df1 = U, df2 = V;
//   chi-square: df1 = D, n.
// - SampleSize: effect, alpha, power; t: sides, twoSample; F: df1 = U; chi-square: df1 = D.
// A t request with n1 > 0 is a two-group design, otherwise a one-sample one. An Estimate
// takes its family from the measure.
struct EffectRequest {
    DistributionKind distribution = DistributionKind::T;
    EffectQuantity quantity = EffectQuantity::Estimate;
    EffectMeasure measure = EffectMeasure::CohensD;
    double value = 0.0;
    double effect = 0.0;
    int n = 0;
    int n1 = 0;
    int n2 = 0;
    int df1 = 0;
    int df2 = 0;
    double confidence = 0.95;
    double alpha = 0.05;
    double power = 0.8;
    int sides = 2;
    bool twoSample = true;
    int rows = 0;
    int cols = 0;
    Alternative alternative = Alternative::TwoSided;
    // The design of a power or sample-size request, and its question. For the F designs
    // `effect` is f², for Rmsea it is ε1, for Equivalence the true d; a regression's R² (and
    // the reduced model's) are kept as given, `effect` then their f².
    StudyDesign design = StudyDesign::Basic;
    PowerQuestion question = PowerQuestion::Power;
    int groups = 0;
    int cells = 0;
    int covariates = 0;
    int measurements = 0;
    int predictors = 0;
    int tested = 0;
    double correlation = 0.0;
    double epsilon = 1.0;
    double r2 = -1.0;  // below 0: not given
    double r2Reduced = 0.0;
    double margin = 0.0;
    double rmsea0 = 0.0;
    double ratio = 1.0;
};

// Estimate: estimate, lower, upper. Power: power. SampleSize: n (per group for a two-sample t
// design, total otherwise) and the power it reaches. `failed` is set when a calculation error
// was shown; the numbers are then the failure value.
struct EffectOutcome {
    double estimate = 0.0;
    double lower = 0.0;
    double upper = 0.0;
    double power = 0.0;
    int n = 0;
    double effect = 0.0;  // sensitivity's effect
    double alpha = 0.0;   // criterion's and compromise's α
    bool failed = false;
    // The messages shown while the request ran, in order.
    std::vector<std::string> messages;
    // Why an estimate's interval, computed without a failure, does not hold the estimate
    // ("Note: ..."), or empty.
    std::string note;
};

// The power request (question Power) that a sample-size request tests at a whole N. Basic: N
// per group (two equal groups) or N in one sample for t, V = N − U − 1 for F, N for chi-square.
// A design: N per group for an equivalence design of two groups (n1 = n2 = N), N in one sample
// for one of one group, the total N otherwise.
EffectRequest powerRequestAt(const EffectRequest& request, long long wholeN);

// The power request (question Power) whose power the outcome of a power or sample-size request
// answers: the sample size found at its N; a sensitivity with the effect found (an equivalence
// design's margin); a criterion or compromise at the α found; a power request as it is. Its
// power is the outcome's power wherever the outcome has one.
EffectRequest answeredPowerRequest(const EffectRequest& request, const EffectOutcome& outcome);

// The test behind a power request: the family with its Df (df1 is the single Df of t and
// chi-square), the noncentrality under the effect, and the central distribution's critical
// value at α. The test rejects above `critical`, and with two sides (t only) also below
// −critical. `failed` when a family showed a message on the way.
struct PowerTest {
    DistributionKind distribution;
    int df1;
    int df2;
    double noncentrality;
    double critical;
    int sides;
    bool failed;
};
PowerTest powerTestOf(Calculators& calculators, const EffectRequest& request);

// The design's noncentrality formula with the request's sizes, e.g. "lambda = f2*N,
// Df1 = K - 1 = 3, Df2 = N - K", for the line shown beside a result; empty for Basic.
std::string designFormula(const EffectRequest& request);

// The effect-size sibling of computeQuantity: the window and the command line compute every
// effect size, power and sample size through here, using only the families' public operations.
EffectOutcome computeEffect(Calculators& calculators, const EffectRequest& request);

}  // namespace quorvel
