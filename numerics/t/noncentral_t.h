#pragma once

#include <cstdint>

#include "numerics/foundations/failure/reporting_calculator.h"

namespace quorvel {

// The noncentral t distribution with integer degrees of freedom: its distribution function by
// Owen's recursion, the percentage point and the noncentrality δ by secant searches, confidence
// limits for δ, and Owen's T function, integrated by QUADPACK's QAGS.
// Every reported failure is shown at once, sets `failed` and returns the failure value.
class NoncentralT : public ReportingCalculator {
  public:
    using ReportingCalculator::ReportingCalculator;

    // P(T <= t) for 1 <= df <= 100000 and |delta| <= 5000 (a NaN delta is rejected). Checks Df,
    // then delta, then stores t, df and delta and returns evaluateCdf. Never clears `failed`.
    // A failed integration of Owen's T function is reported like a rejected argument. An
    // infinite t gives its limit 1 or 0; a t that is not a number is reported. The probability
    // is clamped to [0, 1]: it never leaves it through rounding.
    double cdf(double t, int df, double delta);

    // The density at t for 1 <= df <= 100000 and |delta| <= 5000, with the checks and messages
    // of cdf (Df, delta, then a NaN t); stores nothing and never clears `failed`. For
    // |t| > 1e-4·df, (df/t)·[P(T_{df+2} <= t·√(1 + 2/df)) − P(T_df <= t)] from Owen's
    // recursion (owenRecursionCdf); nearer 0 the power series (densitySeries), which at 0 is the closed form
    // Γ((df+1)/2)/(√(df·π)·Γ(df/2))·e^(−δ²/2). An infinite t gives 0. Never negative or NaN;
    // the failure value after a reported error (the cdf's message when Owen's T function cannot
    // be integrated, shown once).
    double pdf(double t, int df, double delta);

    // Owen's recursion for P(T <= t) with terms scaled by exp(h²/2), or from 1000 Df where it
    // is cheaper the Poisson mixture of incomplete beta functions; −9999 when Owen's T
    // function cannot be integrated. A t whose square overflows (|t| > 1.34e154) gives its limit
    // 1 or 0. No argument checks; the result is not clamped to [0, 1].
    double evaluateCdf(double t, int df, double delta);
    // Owen's recursion alone (beyond |t| = 1.34e154 the limits 1 and 0): the density takes the
    // difference of two of its values, whose errors (the same Owen's T and Φ arguments) cancel,
    // which the mixture's do not.
    double owenRecursionCdf(double t, int df, double delta);

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

    // The secant search for the percentage point of the stored cumP, df and delta, from a
    // normal-approximation start and, should that fail, from z + delta; should both fail, a
    // bracketed search over all finite t. Clears `failed`; reports "Failure to find percentage
    // point in 10,000 iterations." (after the held messages of the attempts) only when no t
    // gives cumP.
    double searchPercentagePoint();

    // The δ for which P(T <= t) equals cumP, for 1 <= df <= 100000 and .00001 <= cumP <= .99999
    // (NaN rejected). Stores t, df and cumP.
    double noncentrality(double t, int df, double cumP);

    // The δ at which the normal approximation of the distribution function at t equals cumP.
    double deltaStartValue(double t, int df, double cumP);

    // The secant search for δ of the stored t, df and cumP, with a bracketed search inside
    // |δ| <= 5000 should it fail. Clears `failed`; only when the answer lies beyond ±5000 (or
    // an evaluation fails there) are the attempt's messages shown, followed by "Failure to find
    // Delta in 10,000 iterations." when the attempt itself did not fail on a message.
    double searchDelta();

    // Two-sided confidence limits for δ at .80 <= level <= .9999 (NaN rejected) for df >= 1:
    // upper is searched first, with cumP (1 − level)/2, then lower with 1 − (1 − level)/2.
    // A rejected argument leaves both outputs untouched.
    void confidenceLimits(double t, int df, double level, double& lower, double& upper);

    double confidence = 0.0;
    double tValue = 0.0;
    double delta = 0.0;
    double cumP = 0.0;
    std::int32_t df = 0;

  private:
    // The density by its power series in t·δ, to a relative 1e-13 of the sum of the terms'
    // magnitudes (the density at whichever of ±t has t·δ >= 0); no argument checks. For |t·δ| up to
    // about 50000; "T density series failed to converge." and the failure value beyond its
    // 100000-term budget.
    double densitySeries(double t, int df, double delta);
};

}  // namespace quorvel
