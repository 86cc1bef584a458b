#include <cmath>

#include "model/computation.h"
#include "model/effects/effect_parts.h"
#include "numerics/calculators.h"
#include "numerics/t/noncentral_t.h"
#include "numerics/t/t_arguments.h"

namespace quorvel {

namespace {

// One public operation of a family through computeQuantity; `failed` collects whether any of
// them showed a message, and once set no further operation runs, so a request shows only the
// first error.
class FamilyCalls {
  public:
    explicit FamilyCalls(Calculators& calculators) : calculators_(calculators) {}

    double cdf(DistributionKind family, double value, int df1, int df2, double noncentrality) {
        return call({.distribution = family,
                     .quantity = QuantityKind::CumP,
                     .value = value,
                     .noncentrality = noncentrality,
                     .df1 = df1,
                     .df2 = df2});
    }

    // The central percentage point (noncentrality 0) of the family at cumP.
    double centralPoint(DistributionKind family, double cumP, int df1, int df2) {
        return call({.distribution = family,
                     .quantity = QuantityKind::Value,
                     .cumP = cumP,
                     .df1 = df1,
                     .df2 = df2});
    }

    // The two-sided critical t at level alpha, for every alpha the test accepts at every Df
    // (its upper tail α/2 solved in that tail, also below the CumP range).
    double twoSidedCriticalT(double alpha, int df) {
        if (failed) {
            return calculators_.failureValue;
        }
        const double critical = calculators_.t().twoSidedCriticalValue(alpha, df);
        failed = critical == calculators_.failureValue;
        return critical;
    }

    Calculators& calculators() const { return calculators_; }
    bool failed = false;

  private:
    double call(const ComputeRequest& request) {
        if (failed) {
            return calculators_.failureValue;
        }
        const ComputeOutcome outcome = computeQuantity(calculators_, request);
        failed = outcome.failed || outcome.result == calculators_.failureValue;
        return outcome.result;
    }

    Calculators& calculators_;
};

int wholeDf(long long sum) {
    return truncateDegreesOfFreedom(static_cast<double>(sum));
}

// t₁₋α/₂ (two-sided) or t₁₋α (one-sided), the central t percentage point. Where 1 − α/2 lies
// above the largest CumP the t percentage point accepts (α < .0002), the upper tail α/2 is
// solved in its own tail, at every Df.
double tCriticalValue(FamilyCalls& calls, double alpha, int sides, int df) {
    const double cumP = sides == 2 ? 1.0 - alpha / 2.0 : 1.0 - alpha;
    if (sides != 2 || !(cumP > t_arguments::kMaxValueCumP)) {
        return calls.centralPoint(DistributionKind::T, cumP, df, 0);
    }
    return calls.twoSidedCriticalT(alpha, df);
}

// The t test for Cohen's d (Cohen 1988, ch. 2; pwr's pwr.t.test): δ = d·√N with Df N − 1 for
// one sample, δ = d·√(N1·N2/(N1 + N2)) with Df N1 + N2 − 2 for two groups, rejecting beyond
// t₁₋α/₂ on both sides or beyond t₁₋α on one.
PowerTest tTest(FamilyCalls& calls, const EffectRequest& request) {
    double delta = 0.0;
    int df = 0;
    if (request.n1 > 0) {
        const double n1 = request.n1;
        const double n2 = request.n2;
        delta = request.effect * std::sqrt(n1 * n2 / (n1 + n2));
        df = wholeDf(static_cast<long long>(request.n1) + request.n2 - 2);
    } else {
        delta = request.effect * std::sqrt(static_cast<double>(request.n));
        df = wholeDf(static_cast<long long>(request.n) - 1);
    }
    const double critical = tCriticalValue(calls, request.alpha, request.sides, df);
    return {DistributionKind::T, df, 0, delta, critical, request.sides == 2 ? 2 : 1, false};
}

// The F test for Cohen's f² (Cohen 1988, ch. 9) with λ = f²·(U + V + 1), the convention of
// pwr's pwr.f2.test, rejecting beyond F₁₋α.
PowerTest fTest(FamilyCalls& calls, const EffectRequest& request) {
    const double lambda = request.effect * (static_cast<double>(request.df1) + request.df2 + 1.0);
    const double critical =
        calls.centralPoint(DistributionKind::F, 1.0 - request.alpha, request.df1, request.df2);
    return {DistributionKind::F, request.df1, request.df2, lambda, critical, 1, false};
}

// The chi-square test for Cohen's w (Cohen 1988, ch. 7) with λ = N·w², the convention of pwr's
// pwr.chisq.test, rejecting beyond χ²₁₋α.
PowerTest chiSquareTest(FamilyCalls& calls, const EffectRequest& request) {
    const double lambda = static_cast<double>(request.n) * request.effect * request.effect;
    const double critical =
        calls.centralPoint(DistributionKind::ChiSquare, 1.0 - request.alpha, request.df1, 0);
    return {DistributionKind::ChiSquare, request.df1, 0, lambda, critical, 1, false};
}

PowerTest testOf(FamilyCalls& calls, const EffectRequest& request) {
    PowerTest test{};
    switch (request.distribution) {
        case DistributionKind::T:
            test = tTest(calls, request);
            break;
        case DistributionKind::F:
            test = fTest(calls, request);
            break;
        case DistributionKind::ChiSquare:
            test = chiSquareTest(calls, request);
            break;
    }
    test.failed = calls.failed;
    return test;
}

}  // namespace

PowerTest powerTestOf(Calculators& calculators, const EffectRequest& request) {
    FamilyCalls calls(calculators);
    return testOf(calls, request);
}

// The power is the probability beyond the critical value under the noncentral distribution,
// P(X > critical) = 1 − P(X <= critical), plus, for a two-sided t test, P(T < −critical).
PowerValue testPower(Calculators& calculators, const EffectRequest& request) {
    FamilyCalls calls(calculators);
    const PowerTest test = testOf(calls, request);
    double power = 1.0 - calls.cdf(test.distribution, test.critical, test.df1, test.df2,
                                   test.noncentrality);
    if (test.sides == 2) {
        power += calls.cdf(test.distribution, -test.critical, test.df1, test.df2,
                           test.noncentrality);
    }
    return {calls.failed ? calculators.failureValue : power, calls.failed};
}

}  // namespace quorvel
