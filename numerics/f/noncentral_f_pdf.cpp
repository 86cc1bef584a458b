#include <cmath>
#include <cstdint>
#include <limits>

#include "numerics/f/f_arguments.h"
#include "numerics/f/noncentral_f.h"
#include "numerics/foundations/gamma_beta/log_gamma.h"
#include "numerics/foundations/series/log_concave_series.h"
#include "numerics/foundations/series/poisson_mixture.h"

namespace quorvel {

using namespace f_arguments;

namespace {
// The sum stops when the bound on the terms left out is below this fraction of the sum.
constexpr double kRelativeTolerance = 1e-12;
// Starting at the largest term, the terms fall off like a normal curve in j with a spread of
// about √(j_peak), at most a few thousand for λ <= 10000 and any x where the density is not 0
// to double precision; 100000 terms a side only guard the loop.
constexpr std::int64_t kMaxTermsPerSide = 100000;
}  // namespace

// The Poisson mixture of central F densities (Johnson, Kotz and Balakrishnan, Continuous
// Univariate Distributions 2, 2nd ed., 1995, eq. 30.7): with y = ν1·x/(ν1·x + ν2),
// f(x) = Σ_j Poisson(j; λ/2)·beta(y; ν1/2 + j, ν2/2)·dy/dx, each term formed as its logarithm
// from logGamma so that large λ and Df neither overflow nor underflow, summed outward from the
// largest term (sumLogConcaveSeries).
double NoncentralF::pdf(double fValue, int df1, int df2, double lambda) {
    if (const char* problem = distributionArgumentProblem(df1, df2, lambda)) {
        return reportFailure(problem);
    }
    const double halfLambda = lambda / 2.0;
    if (fValue == 0.0) {
        // The limit at 0: beta(y; 1/2, ·) grows like y^(−1/2), beta(y; 1, ·)·dy/dx tends to 1
        // for the j = 0 term, and every other term tends to 0.
        if (df1 == 1) {
            return std::numeric_limits<double>::infinity();
        }
        return df1 == 2 ? std::exp(-halfLambda) : 0.0;
    }
    // Below the support (and NaN, as for cdf) and at +∞ the density is 0.
    if (!(fValue > 0.0) || std::isinf(fValue)) {
        return 0.0;
    }
    const double nu1 = df1;
    const double nu2 = df2;
    const double a = nu1 / 2.0;
    const double b = nu2 / 2.0;
    // ln y and ln(1 − y) without cancellation (and without ν1·x·ν2 overflowing or underflowing).
    const double scaled = nu1 * fValue;
    const double logY =
        scaled <= nu2 ? std::log(scaled) - std::log(scaled + nu2) : -std::log1p(nu2 / scaled);
    const double logOneMinusY =
        scaled >= nu2 ? std::log(nu2) - std::log(scaled + nu2) : -std::log1p(scaled / nu2);
    const double logX = std::log(fValue);
    const double logGammaB = logGamma(b);
    const auto logTerm = [&](std::int64_t j) {
        const double aj = a + static_cast<double>(j);
        const double logBeta = logGamma(aj) + logGammaB - logGamma(aj + b);
        return logPoissonWeight(j, halfLambda) + aj * logY + b * logOneMinusY - logBeta - logX;
    };
    // t_{j+1}/t_j = (λ/2)/(j + 1) · y · (a + b + j)/(a + j).
    const double c = halfLambda * std::exp(logY);
    const std::int64_t peak = mixturePeak(c, c * (a + b), a);
    const LogConcaveSum sum =
        sumLogConcaveSeries(peak, logTerm, false, kRelativeTolerance, kMaxTermsPerSide);
    if (!sum.converged) {
        return reportFailure("F density failed to converge.");
    }
    const double density = sum.value();
    return density > 0.0 ? density : 0.0;
}

}  // namespace quorvel
