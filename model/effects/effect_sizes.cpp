#include <algorithm>
#include <cmath>

#include "model/computation.h"
#include "model/effects/effect_parts.h"
#include "numerics/calculators.h"

namespace quorvel {

namespace {

// The family's two-sided confidence interval for its noncentrality (δ for t, λ for F and
// chi-square) at an observed value, through computeQuantity so that the numbers are those of
// the calculator's own interval.
struct NoncentralityLimits {
    double lower = 0.0;
    double upper = 0.0;
    bool failed = false;
};

NoncentralityLimits noncentralityLimits(Calculators& calculators, DistributionKind family,
                                        double value, int df1, int df2, double confidence) {
    ComputeRequest interval{.distribution = family,
                            .quantity = QuantityKind::Interval,
                            .value = value,
                            .df1 = df1,
                            .df2 = df2,
                            .confidence = confidence};
    const ComputeOutcome outcome = computeQuantity(calculators, interval);
    // A limit left at the failure value is a failure even should a routine not have said so:
    // no δ of the t family's range and no λ >= 0 equals it.
    const bool failed = outcome.failed || outcome.lower == calculators.failureValue ||
                        outcome.upper == calculators.failureValue;
    return {outcome.lower, outcome.upper, failed};
}

// A sum of whole sizes (say N1 + N2 − 2) saturated to the int range, so that absurd sizes
// reach the family's own Df check instead of overflowing.
int wholeDf(long long sum) {
    return truncateDegreesOfFreedom(static_cast<double>(sum));
}

// Cohen's d from a t statistic (Cohen 1988, ch. 2): one sample or paired, d = T/√N with
// Df N − 1; two independent groups, d = T·√(1/N1 + 1/N2) with Df N1 + N2 − 2. The interval
// maps the limits of δ by the same factor (Steiger & Fouladi 1997; MBESS's ci.smd).
EffectOutcome cohensD(Calculators& calculators, const EffectRequest& request) {
    EffectOutcome outcome;
    double scale = 0.0;
    int df = 0;
    if (request.n1 > 0) {
        if (request.n2 < 1) {
            showEffectMessage(calculators, "N2 out of range. Limits: N2 >= 1.");
            outcome.failed = true;
            return outcome;
        }
        scale = std::sqrt(1.0 / request.n1 + 1.0 / request.n2);
        df = wholeDf(static_cast<long long>(request.n1) + request.n2 - 2);
    } else {
        if (request.n < 2) {
            showEffectMessage(calculators, "N out of range. Limits: N >= 2.");
            outcome.failed = true;
            return outcome;
        }
        scale = 1.0 / std::sqrt(static_cast<double>(request.n));
        df = wholeDf(static_cast<long long>(request.n) - 1);
    }
    const NoncentralityLimits delta = noncentralityLimits(calculators, DistributionKind::T,
                                                          request.value, df, 0, request.confidence);
    outcome.estimate = request.value * scale;
    outcome.lower = delta.lower * scale;
    outcome.upper = delta.upper * scale;
    outcome.failed = delta.failed;
    return outcome;
}

// Partial η² = F·U/(F·U + V) and Cohen's f² = F·U/V (Cohen 1988, ch. 8–9). With
// λ = f²·(U + V + 1), the convention of pwr's pwr.f2.test, the limits of λ give
// f² = λ/(U + V + 1) and η² = f²/(1 + f²) = λ/(λ + U + V + 1) (MBESS's ci.pvaf, ci.R2).
EffectOutcome fMeasure(Calculators& calculators, const EffectRequest& request, bool etaSquared) {
    EffectOutcome outcome;
    const double u = request.df1;
    const double v = request.df2;
    const NoncentralityLimits lambda =
        noncentralityLimits(calculators, DistributionKind::F, request.value, request.df1,
                            request.df2, request.confidence);
    const double total = u + v + 1.0;
    const double explained = request.value * u;
    if (etaSquared) {
        outcome.estimate = explained / (explained + v);
        outcome.lower = lambda.lower / (lambda.lower + total);
        outcome.upper = lambda.upper / (lambda.upper + total);
    } else {
        outcome.estimate = explained / v;
        outcome.lower = lambda.lower / total;
        outcome.upper = lambda.upper / total;
    }
    outcome.failed = lambda.failed;
    return outcome;
}

// RMSEA = √(max(X − D, 0)/(D·(N − 1))) (Steiger & Lind 1980; MBESS's ci.rmsea), and Cohen's
// w = √(X/N) (Cohen 1988, ch. 7) with λ = N·w² as in pwr's pwr.chisq.test; the limits of λ map
// through √(λ/(D·(N − 1))) and √(λ/N).
EffectOutcome chiSquareMeasure(Calculators& calculators, const EffectRequest& request, bool rmsea) {
    EffectOutcome outcome;
    const int smallestN = rmsea ? 2 : 1;
    if (request.n < smallestN) {
        showEffectMessage(calculators, rmsea ? "N out of range. Limits: N >= 2."
                                             : "N out of range. Limits: N >= 1.");
        outcome.failed = true;
        return outcome;
    }
    const NoncentralityLimits lambda =
        noncentralityLimits(calculators, DistributionKind::ChiSquare, request.value, request.df1, 0,
                            request.confidence);
    const double n = request.n;
    const double scale = rmsea ? static_cast<double>(request.df1) * (n - 1.0) : n;
    const double excess = rmsea ? std::max(request.value - request.df1, 0.0) : request.value;
    outcome.estimate = std::sqrt(excess / scale);
    // A lower limit of 0 (no λ >= 0 reaches its tail) maps to 0.
    outcome.lower = std::sqrt(std::max(lambda.lower, 0.0) / scale);
    outcome.upper = std::sqrt(std::max(lambda.upper, 0.0) / scale);
    outcome.failed = lambda.failed;
    return outcome;
}

}  // namespace

EffectOutcome estimateEffect(Calculators& calculators, const EffectRequest& request) {
    switch (request.measure) {
        case EffectMeasure::CohensD:
            return cohensD(calculators, request);
        case EffectMeasure::PartialEtaSquared:
            return fMeasure(calculators, request, true);
        case EffectMeasure::CohensFSquared:
            return fMeasure(calculators, request, false);
        case EffectMeasure::Rmsea:
            return chiSquareMeasure(calculators, request, true);
        case EffectMeasure::CohensW:
            break;
    }
    return chiSquareMeasure(calculators, request, false);
}

}  // namespace quorvel
