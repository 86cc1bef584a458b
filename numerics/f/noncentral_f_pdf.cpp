#include <cmath>
#include <cstdint>
#include <limits>

#include "numerics/f/f_arguments.h"
#include "numerics/f/f_messages.h"
#include "numerics/f/noncentral_f.h"
#include "numerics/foundations/gamma_beta/saddle_point_terms.h"
#include "numerics/foundations/series/log_concave_series.h"
#include "numerics/foundations/series/poisson_mixture.h"

namespace quorvel {

using namespace f_arguments;
using namespace f_messages;

namespace {
// The sum stops when the bound on the terms left out is below this fraction of the sum.
constexpr double kRelativeTolerance = 1e-16;
// Starting at the largest term, the terms fall off like a normal curve in j with a spread of
// about √(j_peak), at most a few thousand for λ <= 10000 and any x where the density is not 0
// to double precision; 100000 terms a side only guard the loop.
constexpr std::int64_t kMaxTermsPerSide = 100000;
}  // namespace

// The Poisson mixture of central F densities (Johnson, Kotz and Balakrishnan, Continuous
// Univariate Distributions 2, 2nd ed., 1995, eq. 30.7): with y = ν1·x/(ν1·x + ν2),
// f(x) = Σ_j Poisson(j; λ/2)·beta(y; ν1/2 + j, ν2/2)·dy/dx, where dy/dx = y(1 − y)/x makes
// the term Poisson(j; λ/2)·y^(a+j) (1 − y)^b / (B(a + j, b)·x). Each term is formed as its
// logarithm in Loader's saddle-point form (logPoissonProbability, logBetaPrefactor), exact to
// rounding for any λ and Df without overflow or underflow, and the terms are summed outward
// from the largest (sumLogConcaveSeries).
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
    // y and 1 − y each formed from the value (the second not by subtraction), and ln y.
    const double scaled = nu1 * fValue;
    const double y = std::isinf(scaled) ? 1.0 : scaled / (scaled + nu2);
    const double oneMinusY = nu2 / (scaled + nu2);
    const double logY =
        scaled <= nu2 ? std::log(scaled) - std::log(scaled + nu2) : -std::log1p(nu2 / scaled);
    const double logX = std::log(fValue);
    const auto logTerm = [&](std::int64_t j) {
        const double aj = a + static_cast<double>(j);
        return logPoissonProbability(static_cast<double>(j), halfLambda) +
               logBetaPrefactor(y, oneMinusY, aj, b) - logX;
    };
    // t_{j+1}/t_j = (λ/2)/(j + 1) · y · (a + b + j)/(a + j).
    const double c = halfLambda * std::exp(logY);
    const std::int64_t peak = mixturePeak(c, c * (a + b), a);
    const LogConcaveSum sum =
        sumLogConcaveSeries(peak, logTerm, false, kRelativeTolerance, kMaxTermsPerSide);
    if (!sum.converged) {
        return reportFailure(kDensityNotConverged);
    }
    const double density = sum.value();
    return density > 0.0 ? density : 0.0;
}

}  // namespace quorvel
