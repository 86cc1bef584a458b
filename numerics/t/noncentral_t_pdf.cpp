#include <cmath>
#include <cstdint>
#include <numbers>

#include "numerics/foundations/failure/failure_value.h"
#include "numerics/foundations/gamma_beta/log_gamma.h"
#include "numerics/foundations/series/log_concave_series.h"
#include "numerics/t/noncentral_t.h"
#include "numerics/t/t_arguments.h"

namespace quorvel {

using namespace t_arguments;

namespace {
// evaluateCdf's value after a failed integration of Owen's T function.
constexpr double kIntegrationFailure = kFailureValue;

// The relation divides a difference of two probabilities by x/ν. Both probabilities share
// Owen's T(h, a) and Φ(−h) (odd Df) or Φ(−δ) (even Df) exactly, since h and a = x/√ν are the
// same for (x, ν) and (x·√(1 + 2/ν), ν + 2), so the difference is Owen's recursion's last term
// up to the rounding of the recursion's ~ν/2 passes, amplified by ν/|x|. Within |x| <= 1e-4·ν
// the power series is used instead. Measured against the series, the relation just beyond
// that bound errs by 3e-10 of the curve's maximum at Df 3000, 1.4e-8 at Df 30000 and 8.8e-8
// at Df 100000 (δ 8, x 10; a bound of 1 there had left 3.9e-7). The series stays short:
// its terms peak near j = |x·δ| <= 1e-4·ν·5000 = 50000.
constexpr double kSeriesReachPerDf = 1e-4;

// The power series stops when its unsummed terms are below this fraction of Σ|t_j|.
constexpr double kRelativeTolerance = 1e-13;
constexpr std::int64_t kMaxSeriesTerms = 100000;
}  // namespace

// The power series of the density (Johnson, Kotz and Balakrishnan, Continuous Univariate
// Distributions 2, 2nd ed., 1995, ch. 31; IMSL's Cdf.NoncentralstudentsT integrates it):
// f(x) = ν^(ν/2)·e^(−δ²/2) / (√π·Γ(ν/2)·(ν + x²)^((ν+1)/2))
//                   · Σ_j Γ((ν + j + 1)/2)/j! · (x·δ·√(2/(ν + x²)))^j,
// whose j = 0 term at x = 0 is the closed form Γ((ν+1)/2)/(√(νπ)·Γ(ν/2))·e^(−δ²/2). Its terms
// are log-concave in j and alternate where x·δ < 0; there the rounding is that of Σ|t_j|, which
// is the density at (−x, δ), no larger than the curve's maximum.
double NoncentralT::densitySeries(double x, int df, double delta) {
    const double nu = df;
    const double xSquared = x * x;
    const double logPrefactor = -delta * delta / 2.0 - 0.5 * std::log(std::numbers::pi) -
                                logGamma(nu / 2.0) - (nu / 2.0) * std::log1p(xSquared / nu) -
                                0.5 * std::log(nu + xSquared);
    const double z = x * delta * std::sqrt(2.0 / (nu + xSquared));
    const double logAbsZ = std::log(std::fabs(z));
    const auto logTerm = [&](std::int64_t j) {
        const double n = static_cast<double>(j);
        const double power = j == 0 ? 0.0 : n * logAbsZ;
        return logPrefactor + logGamma((nu + n + 1.0) / 2.0) - logGamma(n + 1.0) + power;
    };
    const LogConcaveSum sum =
        sumLogConcaveSeries(0, logTerm, z < 0.0, kRelativeTolerance, kMaxSeriesTerms);
    if (!sum.converged) {
        return reportFailure("T density series failed to converge.");
    }
    const double density = sum.value();
    return density > 0.0 ? density : 0.0;
}

// The density from the distribution functions of ν and ν + 2 degrees of freedom (Johnson,
// Kotz and Balakrishnan 1995, ch. 31): f(x) = (ν/x)·[P(T_{ν+2} <= x·√(1 + 2/ν); δ) − P(T_ν <= x;
// δ)] for x ≠ 0, by Owen's recursion (owenRecursionCdf, without argument checks, so that ν + 2
// may exceed the public Df limit); the power series near 0 where the difference cancels.
double NoncentralT::pdf(double t, int df, double delta) {
    if (const char* problem = distributionArgumentProblem(t, df, delta)) {
        return reportFailure(problem);
    }
    if (std::isinf(t)) {
        return 0.0;
    }
    const double nu = df;
    if (std::fabs(t) <= kSeriesReachPerDf * nu) {
        return densitySeries(t, df, delta);
    }
    const double wider = owenRecursionCdf(t * std::sqrt(1.0 + 2.0 / nu), df + 2, delta);
    const double narrower = owenRecursionCdf(t, df, delta);
    // Both share Owen's T(h, a): when it cannot be integrated, one message.
    if (wider == kIntegrationFailure || narrower == kIntegrationFailure) {
        return reportFailure("Failure to integrate Owen's T function for the T distribution.");
    }
    const double density = nu / t * (wider - narrower);
    return density > 0.0 ? density : 0.0;
}

}  // namespace quorvel
