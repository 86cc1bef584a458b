#pragma once

#include <cstdint>
#include <string_view>

#include "numerics/foundations/failure/reporting_calculator.h"
#include "numerics/foundations/tail_probability.h"

namespace quorvel {

struct RootSearchResult;

// The noncentral F distribution: its distribution function (by the noncentral beta series or
// Tiku's three-moment approximation), its percentage points, and the noncentrality λ with its
// confidence limits found by running the distribution function backwards in λ.
// Degrees of freedom cross the public entries as 32-bit integers and become doubles inside.
// Every failure is shown at once, sets `failed` and returns the failure value.
class NoncentralF : public ReportingCalculator {
  public:
    using ReportingCalculator::ReportingCalculator;

    // P(F' <= fValue) for df1, df2 in 1..10000 and λ in 0..10000 (inclusive), method 0 = exact
    // series, 1 = three-moment approximation, any other −9999 without a message. Checks Df1,
    // Df2, then λ ("Df1 out of range.", "Df2 out of range.", "Lambda out of range."), then
    // stores its arguments. A value <= 0 or NaN gives 0. Never clears `failed`.
    double cdf(double fValue, int df1, int df2, double lambda, int method);

    // P(F' > fValue), computed directly (never as 1 − cdf), with the checks, messages, stored
    // fields and methods of cdf. A value <= 0 or NaN gives 1.
    double upper(double fValue, int df1, int df2, double lambda, int method);

    // The density of F' at fValue for df1, df2 in 1..10000 and λ in 0..10000, with the checks
    // and messages of cdf (Df1, Df2, then λ); stores nothing and never clears `failed`. The
    // Poisson mixture of central F densities summed to a relative 1e-16. At fValue = 0 it
    // returns the limit from the right: +infinity for df1 = 1, e^(−λ/2) for df1 = 2, 0 for
    // df1 >= 3. A value below 0, NaN (as for cdf) or +infinity gives 0. Never negative or NaN;
    // the failure value after a reported error ("F density failed to converge." should the
    // series exceed its term budget, which the accepted ranges never need).
    double pdf(double fValue, int df1, int df2, double lambda);

    // The cdf of the stored fields by the stored method.
    double evaluateCdf();

    // The noncentral F distribution function for real degrees of freedom 0 < ν1, ν2 <= 10000
    // and 0 <= λ <= 10000; otherwise "F distribution parameter out of range." and the failure
    // value. A failure of the beta series sets `failed` and returns the failure value.
    double exactCdf(double f, double nu1, double nu2, double lambda);
    // exactCdf for either tail, each summed directly to full relative precision.
    double exactTail(double f, double nu1, double nu2, double lambda, Tail tail);

    // Tiku's three-moment approximation: the central F distribution function at (f + d)/c with
    // (ν, df2) degrees of freedom. Clears `failed` first.
    double approximateCdf(double f, int df1, int df2, double lambda);
    // approximateCdf for either tail (the central F tail at (f + d)/c).
    double approximateTail(double f, int df1, int df2, double lambda, Tail tail);

    // The F value x with P(F' <= x) = cumP, for df1, df2 in 1..10000, λ in 0..10000 and cumP in
    // 0.0001..0.9999 (inclusive; checked in this order, each with its message). λ = 0 is the
    // central search; otherwise method 1 returns Tiku's three-moment approximation alone
    // ("F distribution parameter out of range." where it does not exist, as for df2 <= 2) and
    // any other method searches the exact distribution function, starting from the
    // approximation where it exists. Clears `failed`; failure value after a reported error.
    double percentagePoint(double cumP, int df1, int df2, double lambda, int method);

    // The F value x with P(F' <= x) = target.probability (Tail::Lower) or P(F' > x) =
    // target.probability (Tail::Upper), by the exact distribution function in that tail, for
    // df1, df2 in 1..10000, λ in 0..10000 and a tail probability 1e-300 <= P < 1 (checked in
    // this order; the last with kTailProbabilityOutOfRange). Otherwise as percentagePoint with
    // method 0; an x beyond the double range ends in the bracketing failure's message.
    double percentagePointOfTail(TailProbability target, int df1, int df2, double lambda);

    // The central F percentage point for real degrees of freedom 0 < ν1, ν2 <= 10000 and
    // 0 <= cumP < 1 (0 gives 0); `method` is accepted and not used. Clears `failed`; failure
    // value after "Unable to Bracket Root in Inverse Central F Rountine.", "Failure to converge
    // in Central F Inverse CDF routine." or the message of the first failing evaluation.
    double centralPercentagePoint(double nu1, double nu2, double cumP, int method);
    // The central F value with P(F > x) = target.probability (Tail::Upper) or P(F <= x) =
    // target.probability (Tail::Lower) for real 0 < ν1, ν2 <= 10000, solved in that tail so
    // that a small upper tail α keeps its full precision (1 − α would round it). The search,
    // messages and `failed` of centralPercentagePoint; a probability outside 1e-300 <= P < 1
    // gives kTailProbabilityOutOfRange.
    double centralPercentagePointOfTail(double nu1, double nu2, TailProbability target);

    // The noncentrality λ >= 0 with P(F' <= fValue; λ) = cumP, for df1, df2 in 1..10000 and
    // cumP in 0.0001..0.9999, by a secant search through `cdf` with a bracketed search inside
    // 0..10000 should the secant fail (its messages are then not shown). Returns 0 after "No
    // non-negative value of Lambda can be found. Returning 0." when even λ = 0 gives a smaller
    // probability; the failure value after any other reported error (a target that needs
    // λ > 10000 ends in "Lambda out of range.").
    double noncentrality(double fValue, int df1, int df2, double cumP, int method);

    // The noncentrality λ >= 0 with P(F' <= fValue; λ) = target.probability (Tail::Lower) or
    // P(F' > fValue; λ) = target.probability (Tail::Upper), for df1, df2 in 1..10000 and a tail
    // probability 1e-300 <= P < 1 (checked in this order; the last with
    // kTailProbabilityOutOfRange), by the search of noncentrality with method 0 in that tail.
    double noncentralityOfTail(double fValue, int df1, int df2, TailProbability target);

    // The two-sided confidence interval for λ at level `confidence` (0.8..0.9999) from an
    // observed fValue >= 0 with df1, df2 in 1..10000: upper solves P = (1 − confidence)/2,
    // lower P = (1 + confidence)/2, each 0 where λ = 0 already lies beyond it. After a
    // rejected argument neither limit is written; a failed search writes the failure value.
    void confidenceLimits(double fValue, int df1, int df2, double confidence, int method,
                          double& lower, double& upper);

    double confidence = 0.0;
    std::int32_t df2 = 0;
    std::int32_t df1 = 0;
    double lambda = 0.0;
    double fValue = 0.0;
    double cumP = 0.0;
    std::int32_t method = 0;

  private:
    // cdf or upper: the argument checks, the stored fields, the evaluation.
    double checkedTail(double fValue, int df1, int df2, double lambda, int method, Tail tail);
    // The stored fields' probability in one tail by the stored method.
    double evaluateTail(Tail tail);
    // noncentrality after its argument checks, in the tail of the target; the confidence limits
    // call it for tails down to (1 − .9999)/2.
    double searchLambda(double fValue, int df1, int df2, TailProbability target, int method);
    // percentagePoint after its argument checks, in the tail of the target.
    double searchPercentagePoint(TailProbability target, int df1, int df2, double lambda,
                                 int method);
    // The central search behind centralPercentagePoint, without its messages, so that the
    // noncentral search can take its result as a start value only.
    RootSearchResult searchCentralPercentagePoint(double nu1, double nu2, TailProbability target);
};

}  // namespace quorvel
