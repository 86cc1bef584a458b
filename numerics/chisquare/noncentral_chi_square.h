#pragma once

#include <cstdint>

#include "numerics/foundations/failure/reporting_calculator.h"
#include "numerics/foundations/tail_probability.h"

namespace quorvel {

// The noncentral chi-square distribution with integer degrees of freedom: both tails of its
// distribution function, its density, percentage points, noncentralities and confidence
// limits for the noncentrality.
// Degrees of freedom cross the public entries as 32-bit integers and become doubles inside.
// Every failure is shown at once, sets `failed` and returns the failure value −9999; the
// searches carry on after a message exactly as each operation says. Not reentrant: every
// public operation keeps its arguments in the fields below.
class HeldMessages;

class NoncentralChiSquare : public ReportingCalculator {
  public:
    using ReportingCalculator::ReportingCalculator;

    // P(X <= x) for x >= 0, Df in 1..100000 and λ in 0..5000 (inclusive); an infinite x gives 1.
    // Checks x, Df, then λ ("Chi-Square must be nonnegative.", "Df out of range. Limits: 1 <=
    // Df <= 100000.", "Lambda out of range. Limits: 0. <= Lambda <= 5000."; NaN fails its
    // check), then stores its arguments and returns evaluateCdf(). Never clears `failed`.
    double cdf(double x, int df, double lambda);

    // P(X > x), computed directly (never as 1 − cdf), with the checks, messages and stored
    // arguments of cdf; an infinite x gives 0. Returns evaluateTail(Tail::Upper).
    double upper(double x, int df, double lambda);

    // The density at x for x >= 0, Df in 1..100000 and λ in 0..5000, with the checks and
    // messages of cdf (x, Df, then λ); stores nothing and never clears `failed`. The Poisson
    // mixture of central chi-square densities summed to a relative 1e-17, each term from two
    // Poisson terms of logPoissonProbability (relative error against mpmath at most 7e-13, 2.1e-15 in
    // the body). At x = 0 it returns
    // the limit from the right: +infinity for Df 1, e^(−λ/2)/2 for Df 2, 0 for Df >= 3; an
    // infinite x gives 0. Never negative or NaN; the failure value after a reported error ("X2
    // density failed to converge." should the series exceed its term budget, which the accepted
    // ranges never need).
    double pdf(double x, int df, double lambda);

    // The distribution function of the stored chiSquare, df and lambda: evaluateTail(Tail::Lower).
    double evaluateCdf();

    // One tail of the distribution at the stored chiSquare, df and lambda: the Poisson mixture
    // of central gamma probabilities of that tail, P(Df/2 + j, x/2) or Q(Df/2 + j, x/2), summed
    // outward from the Poisson mode to a relative 1e-17 (sumPoissonGammaMixture) for every
    // accepted λ. Relative error against mpmath at 40 digits (tests/reference): at most 6e-14
    // in the body, 7.3e-13 over every accepted argument with a tail from 1e-300 up. Clears
    // `failed` first; should the sum exceed its step budget (which the accepted ranges never
    // need) it reports "X2 CDF failed to converge." and returns −9999.
    double evaluateTail(Tail tail);

    // The x with cdf(x, df, λ) = cumP for λ in 0..5000, Df in 1..100000 and cumP in
    // 0.0001..0.9999 (inclusive). Checks λ, Df ("Df out of range. Limits: 1 <= Df <= 100000",
    // without a full stop), then cumP ("CumP out of range. Limits: .0001 <= CumP <= .9999"),
    // stores its arguments (the target the tail of cumP: the upper tail 1 − cumP above 1/2) and
    // returns searchPercentagePoint().
    double percentagePoint(double cumP, int df, double lambda);

    // The x whose tail probability of target.tail is target.probability, from 1e-300 up to but
    // not including 1; checks λ, Df, then the probability ("Tail probability out of range.
    // Limits: 1e-300 <= P < 1."), stores its arguments and returns searchPercentagePoint().
    // Where the answer lies below the smallest positive double (lower tails below about
    // 1e-160 at Df 1) the search returns 0.
    double percentagePointOfTail(TailProbability target, int df, double noncentrality);

    // The percentage point of the stored target, df and lambda: a Wilson–Hilferty start (or,
    // where that is not positive, the lower-tail term of the mixture) refined by a secant
    // search on the logarithm of the target's tail with the iterate kept at 0 or above, and a
    // bracketed search should that fail; both stop within a relative 1e-12 of the target.
    // Messages of a recovered attempt are not shown; no answer reports "Percentage point
    // convergence failure." and −9999.
    double searchPercentagePoint();

    // The λ >= 0 with cdf(x, df, λ) = cumP for x >= 0, Df in 1..100000 and cumP in
    // 0.0001..0.9999. Checks x, Df, then cumP (messages as cdf and percentagePoint), stores its
    // arguments (the target as in percentagePoint) and returns searchLambda().
    double noncentrality(double x, int df, double cumP);

    // The λ >= 0 at which x has the tail probability target.probability in target.tail (from
    // 1e-300 up to but not including 1). Checks x, Df, then the probability ("Tail probability
    // out of range. Limits: 1e-300 <= P < 1."), stores its arguments and returns searchLambda().
    double noncentralityOfTail(double x, int df, TailProbability target);

    // The noncentrality of the stored chiSquare, df and target. When even λ = 0 gives x a
    // lower-tail probability below the target's (an upper one above it) it shows "No non-negative
    // value of Lambda will produce the desired cumulative probability." and returns −9999 with
    // `failed` 0. Otherwise a three-stage normal start and a secant search on λ on the logarithm of
    // the target's tail, with a bracketed search inside 0..5000 should the secant fail, both to a
    // relative 1e-12; the messages of a recovered attempt are not shown. When the answer lies above
    // 5000 the attempt's messages are shown (typically "Lambda out of range. Limits: 0. <= Lambda
    // <= 5000.") and −9999 returned.
    double searchLambda();

    // √(2·df + 4·lambda), the standard deviation of the noncentral chi-square; NaN for a
    // negative radicand.
    static double chiSquareSpread(double df, double lambda);

    // The two-sided confidence interval for λ from an observed x at level confidence in
    // 0.8..0.9999: stores x, df and confidence, then checks x, Df and the level ("Confidence out
    // of range. Limits: .8 <= Confidence <= .9999"); a rejected argument leaves lower and upper
    // untouched. Each limit is the noncentrality of one tail, upper first; a limit that no
    // λ >= 0 reaches is 0, a failed one −9999. Both tails of level (1 − C)/2 are solved in their
    // own tail: the upper limit on the lower tail, the lower limit on the upper tail.
    void confidenceLimits(double x, int df, double confidence, double& lower, double& upper);

    double confidence = 0.0;
    double chiSquare = 0.0;
    double cumP = 0.0;
    // The tail probability the searches solve for.
    TailProbability target;
    double lambda = 0.0;
    std::int32_t df = 0;

  private:
    // Which argument of cdf a secant search varies; the other two stay fixed.
    enum class SearchedArgument { ChiSquare, Lambda };

    // Finds where the searched residual changes sign by the secant method from start, keeping the
    // iterate at 0 or above when the searched argument is the chi-square value (cdf takes no
    // negative x); a λ iterate is left free. Should the secant fail, a bracketed search inside
    // the accepted range (x >= 0, 0 <= λ <= 5000) takes over. When that fails too, the messages
    // held since the search began are shown and −9999 returned with `failed` set: after a
    // failure of cdf without a message of its own, otherwise after "Percentage point
    // convergence failure.".
    double secantSearch(SearchedArgument searched, double start, double fixedArgument, int df,
                        TailProbability target, HeldMessages& held);

    // The noncentrality of one tail of confidenceLimits: searchLambda for x, df and the tail
    // probability, which may lie below the public CumP range.
    double tailNoncentrality(double x, int df, TailProbability tail);

    // The probability of target.tail at (value, df, fixedArgument) or (fixedArgument, df,
    // value), by cdf or upper.
    double searchedTail(SearchedArgument searched, double value, double fixedArgument, int df,
                        Tail tail);

    // 100·ln(tail probability/target probability) at the searched argument: the secant's
    // residual tolerance 1e-10 is then a relative 1e-12 in the probability, and the logarithm
    // keeps the residual near-linear in a deep tail. A probability that underflows to 0 counts
    // as the smallest subnormal double.
    double searchResidual(SearchedArgument searched, double value, double fixedArgument, int df,
                          TailProbability target);
};

}  // namespace quorvel
