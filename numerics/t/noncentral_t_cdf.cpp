#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "numerics/calculators.h"
#include "numerics/foundations/failure/failure_value.h"
#include "numerics/foundations/normal_distribution.h"
#include "numerics/t/chi_scale_integral.h"
#include "numerics/t/noncentral_t.h"
#include "numerics/t/t_arguments.h"
#include "numerics/t/t_messages.h"

namespace quorvel {

using namespace t_arguments;
using namespace t_messages;

namespace {

// From |t| = 1e150 on, near where t² overflows (√(largest double) ≈ 1.34e154), the integrand's
// curvature would overflow. There the tail towards the sign of t is 1 to double precision and
// the other one, P(T > a) for a = |t| (with δ taken as sign(t)·δ), is
// P(U < (Z + δ)/a) = (c_ν/ν)·E[(Z + δ)₊^ν]/a^ν·(1 + O(((|δ| + 40)/a)²)), from the density
// f_ν(u) = c_ν·u^(ν−1)·(1 + O(u²)) of the scale near 0 with c_ν = 2(ν/2)^(ν/2)/Γ(ν/2): for
// ν = 1, √(2/π)·(δΦ(δ) + φ(δ))/a, for ν = 2, ((1 + δ²)Φ(δ) + δφ(δ))/a². From ν = 3 on it is
// below ((|δ| + 40)/a)^ν < 1e-430, far below the doubles, and that bound is given.
constexpr double kLargestIntegratedT = 1e150;
constexpr double kLogSqrtTwoOverPi = -0.22579135264472743;
constexpr double kNormalReach = 40.0;
bool beyondSquareRange(double t) {
    return std::fabs(t) >= kLargestIntegratedT;
}

double logVanishingTail(double a, int df, double delta, const NormalDistribution& normal) {
    const double phi = std::exp(-0.5 * delta * delta) / std::sqrt(2.0 * std::numbers::pi);
    const double Phi = normal.cdf(delta);
    if (df == 1) {
        return kLogSqrtTwoOverPi + std::log(delta * Phi + phi) - std::log(a);
    }
    if (df == 2) {
        return std::log((1.0 + delta * delta) * Phi + delta * phi) - 2.0 * std::log(a);
    }
    return df * std::log((std::fabs(delta) + kNormalReach) / a);
}

// ln P of `tail` at finite t, or NaN when the quadrature fails.
double logTailProbability(double t, int df, double delta, Tail tail,
                          const NormalDistribution& normal) {
    if (beyondSquareRange(t)) {
        const bool towardsOne = (t > 0.0) == (tail == Tail::Lower);
        return towardsOne ? 0.0
                          : logVanishingTail(std::fabs(t), df, t > 0.0 ? delta : -delta, normal);
    }
    // At t = 0 the scale drops out: P(T <= 0) = Φ(−δ) for every Df.
    if (t == 0.0) {
        return normal.logCdf(tail == Tail::Lower ? -delta : delta);
    }
    const ChiScaleIntegral integral = integrateOverChiScale(
        tail == Tail::Lower ? ChiScaleFactor::LowerTail : ChiScaleFactor::UpperTail, t, df, delta,
        normal);
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
    return logTailWithin(t, df, delta, tail, kMaxDf);
}

double NoncentralT::logTailWithin(double t, int df, double delta, Tail tail, int largestDf) {
    if (const char* problem = distributionArgumentProblem(t, df, delta, largestDf)) {
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
