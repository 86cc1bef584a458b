#pragma once

#include <cstdint>

#include "numerics/foundations/failure/reporting_calculator.h"
#include "numerics/foundations/tail_probability.h"

namespace quorvel {

// The noncentral t distribution with integer degrees of freedom: both tails and the density as
// integrals over the distribution of the scale √(χ²_ν/ν) (chi_scale_integral.h), the
// percentage point and the noncentrality δ by secant searches in the tail of their target,
// confidence limits for δ, and Owen's T function, integrated by QUADPACK's QAGS.
// Every reported failure is shown at once, sets `failed` and returns the failure value.
class NoncentralT : public ReportingCalculator {
  public:
    using ReportingCalculator::ReportingCalculator;

    // P(T <= t) for 1 <= df <= 100000 and |delta| <= 5000 (a NaN delta is rejected). Checks Df,
    // then delta, then stores t, df and delta and returns evaluateCdf. Never clears `failed`.
    // "Failure to integrate Owen's T function for the T distribution." when the quadrature does
    // not meet its tolerance. An infinite t gives its limit 1 or 0; a t that is not a number is
    // reported. Relative error about 1e-14 down to the smallest normalized doubles; never leaves
    // [0, 1].
    double cdf(double t, int df, double delta);

    // P(T > t), computed directly, with the checks, messages and stored arguments of cdf.
    double upper(double t, int df, double delta);

    // The density at t for 1 <= df <= 100000 and |delta| <= 5000, with the checks and messages
    // of cdf (Df, delta, then a NaN t); stores nothing and never clears `failed`. The integral
    // E[U·φ(tU − δ)] over the scale U, to the same relative accuracy as the tails. An infinite
    // t gives 0. Never negative or NaN.
    double pdf(double t, int df, double delta);

    // P(T <= t) without argument checks or messages: −9999 when the quadrature fails. From
    // |t| = 1e150 on the limit 1, or the vanishing tail from its leading asymptotic term
    // (Df 1 and 2; 0 from Df 3 on).
    double evaluateCdf(double t, int df, double delta);

    // ln P(T <= t) or ln P(T > t), with the checks and messages of cdf (nothing stored), also
    // where the probability underflows; the failure value after a reported failure. The
    // searches solve on it so that a tail target is met to a relative precision.
    double logTail(double t, int df, double delta, Tail tail);
    // logTail with the Df bound `largestDf` in the place of 100000.
    double logTailWithin(double t, int df, double delta, Tail tail, int largestDf);

    // Owen's T function T(h, a) = (1/2π)∫₀ᵃ exp(−h²(1+x²)/2)/(1+x²) dx by adaptive integration
    // to 1e-12 with 20 subintervals, and where those do not suffice with 200 (for |a| up to
    // 1e6 and |h·a| up to 5000, beyond which the rule cannot find the integrand's peak at 0).
    // Otherwise:
    // atan(a)/(2π) for h = 0, sign(a)·(1 − Φ(|h|))/2 where the integral beyond |a| is below
    // double precision, owenTByReciprocal for |a| > 1; −9999 when none applies.
    double owenT(double h, double a);

    // T(h, a) for |a| > 1 from the integral over [0, 1/a] by Owen's reciprocal relation, to
    // the absolute accuracy of the normal distribution function; −9999 when that integral
    // fails.
    double owenTByReciprocal(double h, double a);

    // exp(−h²(1+x²)/2)/(1+x²) with h read from data (a double); 0 where the value would fall
    // below the smallest normalized double. Always clears errorFlag.
    static double owenTIntegrand(double x, void* data, int& errorFlag);

    // The t whose P(T <= t) equals cumP, for .0001 <= cumP <= .9999 (NaN rejected) and
    // 1 <= df <= 100000; delta is checked by cdf during the search. Stores cumP, delta and df.
    double percentagePoint(double cumP, int df, double delta);

    // The t whose lower or upper tail probability is target.probability, for 1e-300 <= P < 1
    // ("Tail probability out of range. Limits: 1e-300 <= P < 1." in the place of the CumP
    // check), with the other checks and messages of percentagePoint; stores delta, df and, as
    // cumP, the lower-tail equivalent of the target.
    double percentagePointOfTail(TailProbability target, int df, double delta);

    // The two-sided critical value of the central t test at level alpha, the t with
    // P(T > t) = alpha/2 at δ = 0, for 1e-300 <= alpha < 1 (the tail probability message) and
    // the Df of percentagePoint; alpha/2 may lie below the 1e-300 of a tail target. Stores cumP
    // (as the lower-tail equivalent), delta 0 and df. Power: P(T > c; δ) + P(T <= −c; δ).
    double twoSidedCriticalValue(double alpha, int df);

    // The secant search for the percentage point of the stored cumP, df and delta: the search
    // of percentagePointOfTail for the tail cumP lies in (the upper tail 1 − cumP above ½).
    double searchPercentagePoint();

    // The search itself, solving ln P(tail) = ln target to a relative 1e-12 in the probability,
    // from a normal-approximation start and, should that fail, from z + delta; should both fail,
    // a bracketed search over all finite t. A target above ½ is solved in the other tail.
    // Clears `failed`; reports "Failure to find percentage point in 10,000 iterations." (after
    // the held messages of the attempts) only when no t gives the target.
    double searchPercentagePointOfTail(TailProbability target);

    // The δ for which P(T <= t) equals cumP, for 1 <= df <= 100000 and .00001 <= cumP <= .99999
    // (NaN rejected). Stores t, df and cumP.
    double noncentrality(double t, int df, double cumP);

    // The δ for which the lower or upper tail probability at t is target.probability, for
    // 1e-300 <= P < 1 (the tail probability message in the place of the CumP check), with the
    // other checks and messages of noncentrality; stores t, df and the lower-tail equivalent
    // as cumP.
    double noncentralityOfTail(double t, int df, TailProbability target);

    // The δ at which the normal approximation of the distribution function at t equals cumP.
    double deltaStartValue(double t, int df, double cumP);

    // The secant search for δ of the stored t, df and cumP: searchDeltaOfTail for the tail
    // cumP lies in.
    double searchDelta();

    // The secant search for δ with ln P(tail) = ln target to a relative 1e-12, with a
    // bracketed search inside |δ| <= 5000 should it fail. Clears `failed`; only when the answer
    // lies beyond ±5000 (or an evaluation fails there) are the attempt's messages shown,
    // followed by "Failure to find Delta in 10,000 iterations." when the attempt itself did not
    // fail on a message.
    double searchDeltaOfTail(TailProbability target);
    // searchDeltaOfTail with the Df bound `largestDf` in the place of 100000.
    double searchDeltaOfTailWithin(TailProbability target, int largestDf);

    // Two-sided confidence limits for δ at .80 <= level <= .9999 (NaN rejected) for df >= 1:
    // upper is searched first, with cumP (1 − level)/2, then lower with 1 − (1 − level)/2.
    // A rejected argument leaves both outputs untouched.
    void confidenceLimits(double t, int df, double level, double& lower, double& upper);

    // The limits of confidenceLimits, with its checks and messages, for every Df >= 1: the
    // effect sizes of samples beyond 100000 (the distribution function there is the same
    // integral over the scale, whose width 1/√(2ν) it finds at any Df). Both tails are solved
    // in their own tail as the limits of a one-sided level need.
    void confidenceLimitsAtAnyDf(double t, int df, double level, double& lower, double& upper);

    // The checks of both interval routines, in order (Df, then level), each with its message;
    // on success t, df and level are stored.
    bool acceptsIntervalArguments(double t, int df, double level);

    double confidence = 0.0;
    double tValue = 0.0;
    double delta = 0.0;
    double cumP = 0.0;
    std::int32_t df = 0;
};

}  // namespace quorvel
