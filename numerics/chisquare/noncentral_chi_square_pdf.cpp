#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include "numerics/chisquare/chi_square_arguments.h"
#include "numerics/chisquare/chi_square_messages.h"
#include "numerics/chisquare/noncentral_chi_square.h"
#include "numerics/foundations/gamma_beta/saddle_point_terms.h"
#include "numerics/foundations/series/log_concave_series.h"
#include "numerics/foundations/series/poisson_mixture.h"

namespace quorvel {

using namespace chi_square_arguments;
using namespace chi_square_messages;

namespace {
// The sum stops when the bound on the terms left out is below this fraction of the sum.
constexpr double kRelativeTolerance = 1e-17;
// Starting at the largest term, the terms fall off like a normal curve in j with a spread of
// about √(j_peak/2): a few thousand terms even at x = 1e12; 100000 a side only guard the loop.
constexpr std::int64_t kMaxTermsPerSide = 100000;
// e^−760 lies below the smallest subnormal double.
constexpr double kLogNegligibleDensity = -760.0;
}  // namespace

// The Poisson mixture of central chi-square densities (Abramowitz and Stegun 26.4.25 term by
// term; Johnson, Kotz and Balakrishnan, Continuous Univariate Distributions 2, 1995, eq. 29.4):
// f(x) = Σ_j Poisson(j; λ/2)·χ²_{n+2j}-density(x), summed outward from the largest term
// (sumLogConcaveSeries). With y = x/2 and b = n/2 + j the central density is
// ½·(b/y)·y^b·e^(−y)/Γ(b + 1), so each term is the product of two Poisson terms formed by
// logPoissonProbability, whose logarithms carry no cancellation.
double NoncentralChiSquare::pdf(double x, int df, double lambda) {
    if (const char* problem = distributionArgumentProblem(x, df, lambda)) {
        return reportFailure(problem);
    }
    const double halfLambda = lambda / 2.0;
    if (x == 0.0) {
        // The limit at 0: the χ²₁ density grows like x^(−1/2), the χ²₂ density is 1/2 there, and
        // every other term tends to 0.
        if (df == 1) {
            return std::numeric_limits<double>::infinity();
        }
        return df == 2 ? std::exp(-halfLambda) / 2.0 : 0.0;
    }
    if (std::isinf(x)) {
        return 0.0;
    }
    const double halfN = df / 2.0;
    // f(x) <= e^(−x/4)·2^(n/2)·e^(λ/2): each χ²_k density at x is e^(−x/4)·2^(k/2) times the
    // density of 2χ²_k there (at most 1/2 for x >= 1), and Σ_j Poisson(j; λ/2)·2^j = e^(λ/2).
    // Beyond the point where that bound underflows, the largest term may lie too far out to
    // be reached; the density is 0 to double precision.
    if (x >= 1.0 && -x / 4.0 + halfN * std::numbers::ln2 + halfLambda < kLogNegligibleDensity) {
        return 0.0;
    }
    const double y = x / 2.0;
    const double logHalfOverY = -std::numbers::ln2 - std::log(y);
    const auto logTerm = [&](std::int64_t j) {
        const double index = static_cast<double>(j);
        const double b = halfN + index;
        return logPoissonProbability(index, halfLambda) + logPoissonProbability(b, y) +
               std::log(b) + logHalfOverY;
    };
    // t_{j+1}/t_j = (λ/2)/(j + 1) · (x/2)/(n/2 + j).
    const std::int64_t peak = mixturePeak(0.0, halfLambda * x / 2.0, halfN);
    const LogConcaveSum sum =
        sumLogConcaveSeries(peak, logTerm, false, kRelativeTolerance, kMaxTermsPerSide);
    if (!sum.converged) {
        return reportFailure(kDensityNotConverged);
    }
    const double density = sum.value();
    return density > 0.0 ? density : 0.0;
}

}  // namespace quorvel
