#include <algorithm>
#include <cmath>
#include <limits>

#include "numerics/calculators.h"
#include "numerics/foundations/failure/failure_value.h"
#include "numerics/foundations/normal_distribution.h"
#include "numerics/t/chi_scale_integral.h"
#include "numerics/t/noncentral_t.h"
#include "numerics/t/t_arguments.h"

namespace quorvel {

using namespace t_arguments;

namespace {
constexpr const char* kIntegralFailed = "T distribution integral failed to converge.";

// From |t| = 1e150 on, near where t² overflows (√(largest double) ≈ 1.34e154), the integrand's
// curvature would overflow. There the probability is 1 or 0 to double precision in absolute terms:
// T = (Z + δ)/√(χ²_ν/ν) exceeds t only if Z + δ > √t or χ²_ν < ν/t, so P(T > t) <=
// P(Z > √t − δ) + P(χ²_ν < ν/t), which for |δ| <= 5000 is below 1e-74 (P(χ²_ν < x) <=
// √(x/2)/0.885 for x <= 1); the lower tail likewise with (t, δ) → (−t, −δ).
constexpr double kLargestIntegratedT = 1e150;
bool beyondSquareRange(double t) {
    return std::fabs(t) >= kLargestIntegratedT;
}

// ln P of `tail` at finite t, or NaN when the quadrature fails.
double logTailProbability(double t, int df, double delta, Tail tail,
                          const NormalDistribution& normal) {
    if (beyondSquareRange(t)) {
        const bool towardsOne = (t > 0.0) == (tail == Tail::Lower);
        return towardsOne ? 0.0 : -std::numeric_limits<double>::infinity();
    }
    // At t = 0 the scale drops out: P(T <= 0) = Φ(−δ) for every Df.
    if (t == 0.0) {
        return normal.logCdf(tail == Tail::Lower ? -delta : delta);
    }
    const ChiScaleIntegral integral = integrateOverChiScale(
        tail == Tail::Lower ? ChiScaleFactor::LowerTail : ChiScaleFactor::UpperTail, t, df,
        delta, normal);
    return integral.converged ? std::min(integral.logValue, 0.0)
                              : std::numeric_limits<double>::quiet_NaN();
}
}  // namespace

double NoncentralT::cdf(double t, int df, double delta) {
    if (const char* problem = distributionArgumentProblem(t, df, delta)) {
        return reportFailure(problem);
    }
    tValue = t;
    this->df = df;
    this->delta = delta;
    if (std::isinf(t)) {
        return t > 0.0 ? 1.0 : 0.0;
    }
    const double p = evaluateCdf(t, df, delta);
    if (p == kFailureValue) {
        return reportFailure(kIntegralFailed);
    }
    return p;
}

double NoncentralT::upper(double t, int df, double delta) {
    if (const char* problem = distributionArgumentProblem(t, df, delta)) {
        return reportFailure(problem);
    }
    tValue = t;
    this->df = df;
    this->delta = delta;
    if (std::isinf(t)) {
        return t > 0.0 ? 0.0 : 1.0;
    }
    const double logQ = logTailProbability(t, df, delta, Tail::Upper, calculators().normal());
    if (std::isnan(logQ)) {
        return reportFailure(kIntegralFailed);
    }
    return std::exp(logQ);
}

double NoncentralT::evaluateCdf(double t, int df, double delta) {
    const double logP = logTailProbability(t, df, delta, Tail::Lower, calculators().normal());
    return std::isnan(logP) ? kFailureValue : std::exp(logP);
}

double NoncentralT::logTail(double t, int df, double delta, Tail tail) {
    if (const char* problem = distributionArgumentProblem(t, df, delta)) {
        return reportFailure(problem);
    }
    if (std::isinf(t)) {
        const bool towardsOne = (t > 0.0) == (tail == Tail::Lower);
        return towardsOne ? 0.0 : -std::numeric_limits<double>::infinity();
    }
    const double logP = logTailProbability(t, df, delta, tail, calculators().normal());
    if (std::isnan(logP)) {
        return reportFailure(kIntegralFailed);
    }
    return logP;
}

}  // namespace quorvel
