#include <cmath>
#include <numbers>

#include "numerics/calculators.h"
#include "numerics/foundations/failure/failure_value.h"
#include "numerics/foundations/integration/qags.h"
#include "numerics/foundations/normal_distribution.h"
#include "numerics/t/noncentral_t.h"

namespace quorvel {

namespace {
constexpr double kOneOverTwoPi = 0.159154943091896;
// Below exp(−708) a double is no longer normalized.
constexpr double kSmallestLogValue = -708.0;
// Owen's T after a failed integration.
constexpr double kIntegrationFailure = kFailureValue;

// Owen's T by adaptive integration: tolerances and subinterval limit.
constexpr double kOwenTTolerance = 1e-12;
constexpr int kOwenTSubintervals = 20;
// Second attempt when 20 subintervals do not suffice. Over [0, a] the integrand is a peak of
// width about max(1, 1/|h|) at 0 and the bisection needs roughly log₂|a| steps to isolate it;
// the integrations that need more than 20 and converge at all do so within about 30, the others
// stop early on roundoff or divergence of the extrapolation whatever the limit.
constexpr int kOwenTRetrySubintervals = 200;
// Beyond these bounds the 21-point rule over [0, a] samples the peak at 0 so coarsely that the
// integration can end without an error at a wrong value: 0.5 instead of 1 in the distribution
// function near |a| = 2.4e9, and exactly 0 where h·a is so large that the integrand has
// underflowed at every node (h 1, a 3e5). The distribution function itself asks for
// |h·a| = |δ·t|/√(ν + t²) < |δ| <= 5000 only. Outside, T(h, a) comes from exact relations.
constexpr double kLargestIntegratedA = 1e6;
constexpr double kLargestIntegratedHA = 5000.0;
// ln 2⁵³: a part below e^−36.74 of a double is lost in rounding.
constexpr double kLogDoublePrecision = 53.0 * std::numbers::ln2;

// ∫₀ᵃ exp(−h²(1+x²)/2)/(1+x²) dx with at most `limit` subintervals; returns QAGS's error code.
template <int limit>
int integrateOwenT(double h, double a, double& integral) {
    QagsWorkspace<limit> workspace;
    const QagsResult run = integrateQags(NoncentralT::owenTIntegrand, &h, 0.0, a, kOwenTTolerance,
                                         kOwenTTolerance, limit, workspace);
    integral = run.result;
    return run.ier;
}

// True when T(h, a) equals T(h, ±∞) to double precision. For |a| >= 1 the part of the integral
// beyond |a| is at most exp(−h²(1+a²)/2)/(2π|a|) (the exponential at |a| times ∫ dx/x²), and
// T(h, a) >= T(h, 1) >= exp(−h²)/8; their ratio is at most 4/(π|a|)·exp(−h²(a²−1)/2), which
// must lie below 2⁻⁵³. The product h·a is formed first so that a² cannot overflow needlessly.
bool owenTTailNegligible(double h, double a) {
    const double absA = std::fabs(a);
    if (!(absA >= 1.0)) {
        return false;
    }
    const double ha = std::fabs(h * a);
    const double exponent = (ha * ha - h * h) / 2.0 + std::log(std::numbers::pi * absA / 4.0);
    return exponent >= kLogDoublePrecision;
}
}  // namespace

// D. B. Owen, "Tables for computing bivariate normal probabilities", Ann. Math. Statist. 27
// (1956): T(h, a) as the integral of exp(−h²(1+x²)/2)/(1+x²) over [0, a], by QUADPACK's QAGS.
// Where 20 subintervals do not reach the tolerance the integration is repeated with more; where
// that fails too, or where |a| is too large for the rule to find the peak at 0, exact values
// from the same paper remain: T(0, a) = atan(a)/(2π); T(h, a) = sign(a)·(1 − Φ(|h|))/2 where
// the rest of the integral beyond |a| is below double precision (owenTTailNegligible); and the
// reciprocal relation of owenTByReciprocal for |a| > 1. A result of the first attempt for
// |a| <= 1e6 and |h·a| <= 5000 is never replaced.
double NoncentralT::owenT(double h, double a) {
    double integral = 0.0;
    if (std::fabs(a) <= kLargestIntegratedA && std::fabs(h * a) <= kLargestIntegratedHA) {
        if (integrateOwenT<kOwenTSubintervals>(h, a, integral) == 0) {
            return integral * kOneOverTwoPi;
        }
        if (integrateOwenT<kOwenTRetrySubintervals>(h, a, integral) == 0) {
            return integral * kOneOverTwoPi;
        }
    }
    // With h = 0 the integrand is exactly 1/(1+x²).
    if (h == 0.0) {
        return std::atan(a) * kOneOverTwoPi;
    }
    if (owenTTailNegligible(h, a)) {
        // Φ(−|h|) is 1 − Φ(|h|) without the cancellation.
        const double limit = calculators().normal().cdf(-std::fabs(h)) / 2.0;
        return a > 0.0 ? limit : -limit;
    }
    if (std::fabs(a) > 1.0) {
        return owenTByReciprocal(h, a);
    }
    return kIntegrationFailure;
}

// Owen (1956), eq. (2.3): for h >= 0 and a > 0,
// T(h, a) = ½Φ(h) + ½Φ(ah) − Φ(h)Φ(ah) − T(ah, 1/a), whose integral runs over [0, 1/a] only;
// T is even in h and odd in a. Good to the absolute accuracy of Φ (2.2e-8 at worst).
double NoncentralT::owenTByReciprocal(double h, double a) {
    const double absH = std::fabs(h);
    const double absA = std::fabs(a);
    double reciprocalPart = 0.0;
    if (integrateOwenT<kOwenTSubintervals>(absA * absH, 1.0 / absA, reciprocalPart) != 0) {
        return kIntegrationFailure;
    }
    const NormalDistribution& normal = calculators().normal();
    const double phiH = normal.cdf(absH);
    const double phiAH = normal.cdf(absA * absH);
    const double value = 0.5 * phiH + 0.5 * phiAH - phiH * phiAH - reciprocalPart * kOneOverTwoPi;
    return a > 0.0 ? value : -value;
}

double NoncentralT::owenTIntegrand(double x, void* data, int& errorFlag) {
    const double h = *static_cast<const double*>(data);
    errorFlag = 0;
    const double w = x * x + 1.0;
    const double v = (-h * h / 2.0) * w;
    if (v - std::log(w) < kSmallestLogValue) {
        return 0.0;
    }
    return std::exp(v) / w;
}

}  // namespace quorvel
