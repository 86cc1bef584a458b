#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include "numerics/calculators.h"
#include "numerics/foundations/failure/failure_value.h"
#include "numerics/foundations/gamma_beta/incomplete_beta.h"
#include "numerics/foundations/gamma_beta/poisson_beta_mixture.h"
#include "numerics/foundations/integration/qags.h"
#include "numerics/foundations/normal_distribution.h"
#include "numerics/t/noncentral_t.h"
#include "numerics/t/t_arguments.h"

namespace quorvel {

using namespace t_arguments;

namespace {
constexpr double kOneOverSqrtTwoPi = 0.398942280401433;
constexpr double kOneOverTwoPi = 0.159154943091896;
constexpr double kSqrtTwoPi = 2.506628274631;
// The recursion is rescaled once its sum leaves [e^−500, e^500].
const double kLargestScale = std::exp(500.0);
const double kSmallestScale = std::exp(-500.0);
// Below exp(−708) a double is no longer normalized.
constexpr double kSmallestLogValue = -708.0;
// Owen's T after a failed integration: the failure value, told apart by cdf.
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

// Owen's recursion below takes df/2 steps; the Poisson mixture takes at most about
// 2·(δ²/2 + 12·√(δ²/2) + 10) cheap steps on each of its two sums, plus two continued fractions.
// From 1000 Df on, the mixture is used where that is at most a quarter of the recursion's.
constexpr int kSmallestMixtureDf = 1000;
// Bounds each of the mixture's sums; never reached where mixtureIsCheaper holds.
constexpr int kMixtureTermLimit = 1000000;

bool mixtureIsCheaper(int df, double delta) {
    const double mu = delta * delta / 2.0;
    return df >= kSmallestMixtureDf && 4.0 * (mu + 12.0 * std::sqrt(mu) + 10.0) <= df / 4.0;
}

// Lenth, Applied Statistics 38 (1989), AS 243, summed outwards as in Benton and Krishnamoorthy,
// Computational Statistics & Data Analysis 43 (2003): for t >= 0,
// P(T <= t) = Φ(−δ) + ½ Σ_j [p_j I_x(j + ½, ν/2) + q_j I_x(j + 1, ν/2)] with x = t²/(ν + t²),
// p_j = e^(−δ²/2) (δ²/2)^j / j! and q_j = sign(δ) e^(−δ²/2) (δ²/2)^(j+½) / Γ(j + 3/2); for t < 0,
// P(T <= t) = 1 − P(T' <= −t) with T' of noncentrality −δ. Nothing should a sum need more
// terms than its bound.
std::optional<double> mixtureCdf(double t, int df, double delta, const NormalDistribution& normal) {
    if (t < 0.0) {
        const std::optional<double> upper = mixtureCdf(-t, df, -delta, normal);
        return upper ? std::optional<double>(1.0 - *upper) : std::nullopt;
    }
    // At t = 0 the program's Φ, as Owen's recursion gives it, so that P(T <= 0) = Φ(−δ) for
    // every Df.
    if (t == 0.0) {
        return normal.cdf(-delta);
    }
    const double nu = df;
    // Elsewhere Φ(−δ) to full precision: the odd sum tends to the exact 2Φ(δ) − 1 as t grows,
    // so only an exact Φ(−δ) makes the limit 1 (the program's Φ is good to about 1e-9).
    const double lowerNormal = 0.5 * std::erfc(delta / std::numbers::sqrt2);
    const double x = t * t / (nu + t * t);
    const double mu = delta * delta / 2.0;
    if (mu == 0.0) {
        return lowerNormal + 0.5 * regularizedIncompleteBeta(x, 0.5, nu / 2.0);
    }
    const PoissonBetaMixture even =
        poissonBetaMixture(x, 0.5, nu / 2.0, mu, 0.0, kMixtureTermLimit);
    const PoissonBetaMixture odd = poissonBetaMixture(x, 1.0, nu / 2.0, mu, 0.5, kMixtureTermLimit);
    if (even.tooManyTerms || odd.tooManyTerms) {
        return std::nullopt;
    }
    return lowerNormal + 0.5 * (even.value + (delta > 0.0 ? odd.value : -odd.value));
}
}  // namespace

double NoncentralT::cdf(double t, int df, double delta) {
    // The recursion has no meaning at t = ±∞ (∞/∞ in B) or NaN: an infinite t, which a field
    // reads from a typed 1e999, has its limits 1 and 0; NaN is reported.
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
    // −9999 is no probability: a failed integration is reported like any other failure, so that
    // a search stops on it instead of taking it for a value of the distribution function.
    if (p == kIntegrationFailure) {
        return reportFailure("Failure to integrate Owen's T function for the T distribution.");
    }
    // Rounding in the recursion and Φ's error can leave the sum just outside [0, 1] (−1.9e-8 at
    // t = −9.16, Df 72, δ 5.62). The clamp sits here, after the failure value has been told
    // apart, so that evaluateCdf stays the raw recursion and every caller of cdf, the searches
    // included, sees a probability; a value inside [0, 1] passes through unchanged.
    return std::clamp(p, 0.0, 1.0);
}

// Owen's recursion, or from 1000 Df where it is cheaper Lenth's mixture.
double NoncentralT::evaluateCdf(double t, int df, double delta) {
    // Beyond |t| = √(largest double) ≈ 1.34e154, t² overflows: B = ν/(ν + t²) becomes 0 while
    // δ·A may overflow, so the recursion gives 0·∞ = NaN, or Φ(−δ) for even Df, instead of 1 or
    // 0 (below that bound B >= ν·2⁻¹⁰²⁴ keeps at least 50 significant bits).
    // There the probability is 1 or 0 to double precision: T = (Z + δ)/√(χ²_ν/ν) exceeds t only
    // if Z + δ > √t or χ²_ν < ν/t, so P(T > t) <= P(Z > √t − δ) + P(χ²_ν < ν/t); for |δ| <= 5000
    // the first is far below 1e-300, and P(χ²_ν < x) <= (x/2)^(ν/2)/Γ(ν/2 + 1) <= √(x/2)/0.885
    // < 1e-74 for x = ν/t <= 100000/1.34e154. The lower tail is the same with (t, δ) → (−t, −δ).
    if (std::isinf(t * t)) {
        return t > 0.0 ? 1.0 : 0.0;
    }
    if (mixtureIsCheaper(df, delta)) {
        if (const std::optional<double> p = mixtureCdf(t, df, delta, calculators().normal())) {
            return *p;
        }
    }
    return owenRecursionCdf(t, df, delta);
}

// D. B. Owen, "A special case of a bivariate non-central t-distribution", Biometrika 52 (1965):
// the finite recursion for integer degrees of freedom, with the terms M₀, M₁ carried scaled by
// exp(h²/2) and the logarithm of the scale kept apart in D so that they never underflow.
double NoncentralT::owenRecursionCdf(double t, int df, double delta) {
    if (std::isinf(t * t)) {
        return t > 0.0 ? 1.0 : 0.0;
    }
    const NormalDistribution& normal = calculators().normal();
    const double nu = df;
    const bool oddDf = df % 2 != 0;
    const double A = t / std::sqrt(nu);
    const double B = nu / (nu + t * t);
    const double rb = std::sqrt(B);
    const double dA = delta * A;
    const double h = delta * rb;
    double D = -h * h / 2.0;
    const double E = -delta * delta / 2.0 - D;

    double M0 = A * rb * normal.cdf(A * h) * kOneOverSqrtTwoPi;
    // exp(E) <= 1 since E <= 0; far out it underflows harmlessly to 0.
    double M1 = B * dA * M0 + std::exp(E) * A * B * kOneOverTwoPi;
    double S = 0.0;
    if (df == 1) {
        S = 0.0;
    } else if (oddDf) {
        S = M1;
    } else {
        S = M0;
    }
    if (df >= 4) {
        // Owen's coefficient alternates a ← 1/(a(k−1)) and a ← 1/(ak) within a pass; both of
        // its values are carried as running products of the ratios (k−1)/k and k/(k+1), which
        // depend on k alone, so that no division lies on the chain through ~df/2 passes.
        double a = 1.0;
        double aHalf = 1.0;
        double k = 2.0;
        for (int j = 2; j <= df - 2; j += 2) {
            // (k−1)/k and k/(k+1) from one division; k² is exact for every df accepted.
            const double reciprocal = 1.0 / (k * (k + 1.0));
            const double lower = (k * k - 1.0) * reciprocal;
            const double upper = k * k * reciprocal;
            M0 = (dA * a * M1 + M0) * B * lower;
            M1 = (dA * aHalf * M0 + M1) * B * upper;
            S = S + (oddDf ? M1 : M0);
            a = a * lower;
            aHalf = aHalf * upper;
            k = k + 2.0;
            // |ln|S|| > 500, tested on |S| itself so that the logarithm is taken only when
            // the terms are rescaled.
            const double absS = std::fabs(S);
            if (S != 0.0 && (absS > kLargestScale || absS < kSmallestScale)) {
                const double L = std::log(absS);
                D = D + L;
                const double scale = std::exp(L);
                M0 = M0 / scale;
                M1 = M1 / scale;
                S = S / scale;
            }
        }
    }
    S = S > 0.0 ? std::exp(std::log(S) + D) : std::exp(D) * S;

    if (oddDf) {
        const double T = owenT(h, A);
        if (T == kIntegrationFailure) {
            return kIntegrationFailure;
        }
        return 2.0 * (T + S) + normal.cdf(-h);
    }
    return kSqrtTwoPi * S + normal.cdf(-delta);
}

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
