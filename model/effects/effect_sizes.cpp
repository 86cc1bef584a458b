#include <algorithm>
#include <cmath>
#include <limits>

#include "model/computation.h"
#include "model/effects/effect_parts.h"
#include "numerics/calculators.h"
#include "numerics/foundations/gamma_beta/saddle_point_terms.h"

namespace quorvel {

namespace {

// The family's confidence interval for its noncentrality (δ for t, λ for F and chi-square) at
// an observed value, two-sided or one-sided, through computeQuantity so that the numbers are
// those of the calculator's own interval.
struct NoncentralityLimits {
    double lower = 0.0;
    double upper = 0.0;
    bool failed = false;
};

constexpr const char* kDfBeyondInt =
    "T distribution Df parameter out of range. Limits 1 <= Df <= 2147483647";

// The largest Df of the t family's own routines.
constexpr int kLargestTDf = 100000;

NoncentralityLimits noncentralityLimits(Calculators& calculators, DistributionKind family,
                                        const EffectRequest& request, int df1, int df2) {
    ComputeRequest interval{.distribution = family,
                            .quantity = QuantityKind::Interval,
                            .value = request.value,
                            .df1 = df1,
                            .df2 = df2,
                            .confidence = request.confidence,
                            .alternative = request.alternative};
    // δ of a sample beyond the t family's Df range is searched all the same: the effect sizes
    // of very large samples still have an interval.
    const bool beyondTRange = family == DistributionKind::T && df1 > kLargestTDf;
    const ComputeOutcome outcome = beyondTRange ? computeTIntervalAtAnyDf(calculators, interval)
                                                : computeQuantity(calculators, interval);
    // A limit left at the failure value is a failure even should a routine not have said so:
    // no δ of the t family's range and no λ >= 0 equals it.
    const bool failed = outcome.failed || outcome.lower == calculators.failureValue ||
                        outcome.upper == calculators.failureValue;
    return {outcome.lower, outcome.upper, failed};
}

EffectOutcome refused(Calculators& calculators, std::string_view message) {
    showEffectMessage(calculators, message);
    EffectOutcome outcome;
    outcome.failed = true;
    return outcome;
}

// A sum of whole sizes (say N1 + N2 − 2) saturated to the int range, so that absurd sizes
// reach the family's own Df check instead of overflowing.
int wholeDf(long long sum) {
    return truncateDegreesOfFreedom(static_cast<double>(sum));
}

// λ/(λ + rest), the share of a noncentrality: 1 at λ = +infinity, the bound of a one-sided
// interval.
double share(double lambda, double rest) {
    return std::isinf(lambda) ? 1.0 : lambda / (lambda + rest);
}

// Hedges' small-sample correction J(ν) = Γ(ν/2)/(√(ν/2)·Γ((ν−1)/2)) (Hedges 1981, J. Educ.
// Statist. 6). With a = (ν − 1)/2 and ln Γ(x) = (x − ½) ln x − x + ln √(2π) + s(x), s Stirling's
// error, ln J = (a − ½)·ln(1 + 1/(2a)) − ½ + s(a + ½) − s(a): the large logarithms of the gamma
// functions cancel analytically, so J keeps full precision at every Df.
double hedgesCorrection(double nu) {
    const double a = (nu - 1.0) / 2.0;
    return std::exp((a - 0.5) * std::log1p(0.5 / a) - 0.5 + stirlingError(a + 0.5) -
                    stirlingError(a));
}

// Cohen's d from a t statistic (Cohen 1988, ch. 2): one sample or paired, d = T/√N with
// Df N − 1; two independent groups, d = T·√(1/N1 + 1/N2) with Df N1 + N2 − 2. The interval
// maps the limits of δ by the same factor (Steiger & Fouladi 1997; MBESS's ci.smd). Hedges' g
// multiplies the estimate and both limits by J(Df).
EffectOutcome tMeasure(Calculators& calculators, const EffectRequest& request, bool hedges) {
    double scale = 0.0;
    int df = 0;
    if (request.n1 > 0) {
        if (request.n2 < 1) {
            return refused(calculators, "N2 out of range. Limits: N2 >= 1.");
        }
        scale = std::sqrt(1.0 / request.n1 + 1.0 / request.n2);
        const long long sum = static_cast<long long>(request.n1) + request.n2 - 2;
        // Beyond the t family's range δ is searched at any int Df: a larger one is refused
        // rather than saturated.
        if (sum > std::numeric_limits<int>::max()) {
            return refused(calculators, kDfBeyondInt);
        }
        df = wholeDf(sum);
    } else {
        if (request.n < 2) {
            return refused(calculators, "N out of range. Limits: N >= 2.");
        }
        scale = 1.0 / std::sqrt(static_cast<double>(request.n));
        df = wholeDf(static_cast<long long>(request.n) - 1);
    }
    if (hedges) {
        if (df < 2) {
            return refused(calculators, "Hedges' g needs Df >= 2 (N >= 3, or N1 + N2 >= 4).");
        }
        scale *= hedgesCorrection(df);
    }
    const NoncentralityLimits delta =
        noncentralityLimits(calculators, DistributionKind::T, request, df, 0);
    EffectOutcome outcome;
    outcome.estimate = request.value * scale;
    outcome.lower = delta.lower * scale;
    outcome.upper = delta.upper * scale;
    outcome.failed = delta.failed;
    return outcome;
}

// Partial η² = F·U/(F·U + V) and Cohen's f² = F·U/V (Cohen 1988, ch. 8–9). With
// λ = f²·(U + V + 1), the convention of pwr's pwr.f2.test, the limits of λ give
// f² = λ/(U + V + 1) and η² = f²/(1 + f²) = λ/(λ + U + V + 1) (MBESS's ci.pvaf, ci.R2).
// Partial ω² = U(F − 1)/(U·F + V + 1) (Keppel 1973; Olejnik & Algina 2003, Psychol. Methods 8)
// and ε² = U(F − 1)/(U·F + V) (Kelley 1935), 0 where negative; their limits are the measures
// at F = λ/U + 1, where the noncentral F's numerator has its mean: λ/(λ + U + V + 1) and
// λ/(λ + U + V).
EffectOutcome fMeasure(Calculators& calculators, const EffectRequest& request) {
    const double u = request.df1;
    const double v = request.df2;
    const double f = request.value;
    const NoncentralityLimits lambda =
        noncentralityLimits(calculators, DistributionKind::F, request, request.df1, request.df2);
    const double total = u + v + 1.0;
    const double explained = f * u;
    EffectOutcome outcome;
    switch (request.measure) {
        case EffectMeasure::PartialEtaSquared:
            outcome.estimate = explained / (explained + v);
            outcome.lower = share(lambda.lower, total);
            outcome.upper = share(lambda.upper, total);
            break;
        case EffectMeasure::PartialOmegaSquared:
            outcome.estimate = std::max(u * (f - 1.0) / (explained + v + 1.0), 0.0);
            outcome.lower = share(lambda.lower, total);
            outcome.upper = share(lambda.upper, total);
            break;
        case EffectMeasure::PartialEpsilonSquared:
            outcome.estimate = std::max(u * (f - 1.0) / (explained + v), 0.0);
            outcome.lower = share(lambda.lower, u + v);
            outcome.upper = share(lambda.upper, u + v);
            break;
        default:  // Cohen's f², the F measure left
            outcome.estimate = explained / v;
            outcome.lower = lambda.lower / total;
            outcome.upper = lambda.upper / total;
            break;
    }
    outcome.failed = lambda.failed;
    return outcome;
}

// The Df and the λ per squared unit of a chi-square measure, or the message refusing its
// sizes.
struct ChiSquareScale {
    int df = 0;
    double perSquare = 0.0;
    const char* problem = nullptr;
};

ChiSquareScale chiSquareScale(const EffectRequest& request) {
    const double n = request.n;
    switch (request.measure) {
        case EffectMeasure::Rmsea:
            if (request.n < 2) {
                return {.problem = "N out of range. Limits: N >= 2."};
            }
            return {request.df1, request.df1 * (n - 1.0)};
        case EffectMeasure::CramersV: {
            if (request.rows < 2 || request.cols < 2) {
                return {.problem = "Rows and Cols out of range. Limits: Rows >= 2, Cols >= 2."};
            }
            if (request.n < 1) {
                return {.problem = "N out of range. Limits: N >= 1."};
            }
            const int shorter = std::min(request.rows, request.cols) - 1;
            return {wholeDf((request.rows - 1LL) * (request.cols - 1LL)), n * shorter};
        }
        default:  // Cohen's w, the chi-square measure left
            if (request.n < 1) {
                return {.problem = "N out of range. Limits: N >= 1."};
            }
            return {request.df1, n};
    }
}

// RMSEA = √(max(X − D, 0)/(D·(N − 1))) (Steiger & Lind 1980; MBESS's ci.rmsea), Cohen's
// w = √(X/N) (Cohen 1988, ch. 7) with λ = N·w² as in pwr's pwr.chisq.test, and Cramér's
// V = √(X/(N·(min(R, C) − 1))) (Cramér 1946, Mathematical Methods of Statistics) with Df
// (R − 1)(C − 1); the limits of λ map through √(λ/(D·(N − 1))), √(λ/N) and
// √(λ/(N·(min(R, C) − 1))).
EffectOutcome chiSquareMeasure(Calculators& calculators, const EffectRequest& request) {
    const ChiSquareScale scale = chiSquareScale(request);
    if (scale.problem != nullptr) {
        return refused(calculators, scale.problem);
    }
    const NoncentralityLimits lambda =
        noncentralityLimits(calculators, DistributionKind::ChiSquare, request, scale.df, 0);
    const double excess = request.measure == EffectMeasure::Rmsea
                              ? std::max(request.value - scale.df, 0.0)
                              : request.value;
    EffectOutcome outcome;
    outcome.estimate = std::sqrt(excess / scale.perSquare);
    // A lower limit of 0 (no λ >= 0 reaches its tail) maps to 0.
    outcome.lower = std::sqrt(std::max(lambda.lower, 0.0) / scale.perSquare);
    outcome.upper = std::sqrt(std::max(lambda.upper, 0.0) / scale.perSquare);
    outcome.failed = lambda.failed;
    return outcome;
}

EffectOutcome measured(Calculators& calculators, const EffectRequest& request) {
    switch (request.measure) {
        case EffectMeasure::CohensD:
        case EffectMeasure::HedgesG:
            return tMeasure(calculators, request, request.measure == EffectMeasure::HedgesG);
        case EffectMeasure::PartialEtaSquared:
        case EffectMeasure::CohensFSquared:
        case EffectMeasure::PartialOmegaSquared:
        case EffectMeasure::PartialEpsilonSquared:
            return fMeasure(calculators, request);
        case EffectMeasure::Rmsea:
        case EffectMeasure::CohensW:
        case EffectMeasure::CramersV:
            break;
    }
    return chiSquareMeasure(calculators, request);
}

constexpr const char* kEmptyInterval =
    "Note: no noncentrality >= 0 leaves the observed value inside the interval's tails (it is "
    "improbably small at every one): the interval is empty, shown as [0, 0].";
constexpr const char* kEstimateBelow =
    "Note: the estimate lies below the lower limit: it is the measure at the observed value, "
    "the limits the measure at the noncentralities that put the observed value in their tails.";
constexpr const char* kEstimateAbove =
    "Note: the estimate lies above the upper limit: it is the measure at the observed value, "
    "the limits the measure at the noncentralities that put the observed value in their tails.";

}  // namespace

EffectOutcome estimateEffect(Calculators& calculators, const EffectRequest& request) {
    EffectOutcome outcome = measured(calculators, request);
    if (outcome.failed) {
        return outcome;
    }
    if (outcome.lower == outcome.upper) {
        outcome.note = kEmptyInterval;
    } else if (outcome.estimate < outcome.lower) {
        outcome.note = kEstimateBelow;
    } else if (outcome.estimate > outcome.upper) {
        outcome.note = kEstimateAbove;
    }
    return outcome;
}

}  // namespace quorvel
