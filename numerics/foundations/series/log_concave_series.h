#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace quorvel {

// The sum of a series Σ_{j>=0} s_j·exp(L(j)) whose log-magnitudes L(j) are concave in j (the
// magnitudes rise to one peak and fall on either side, every ratio |t_{j+1}/t_j| no larger than
// the one before) and whose signs s_j are all +1, or (−1)^j for an alternating series. The
// Poisson mixtures of central densities and the t density's power series are such series:
// the Poisson weights, the beta and chi-square densities in j and the gamma ratios are each
// log-concave in j.
struct LogConcaveSum {
    // The sum is exp(logScale)·signedSum; absoluteSum is Σ|t_j| in the same unit (the scale of
    // the rounding error of an alternating sum).
    double logScale = 0.0;
    double signedSum = 0.0;
    double absoluteSum = 0.0;
    // False when a side used up its term budget before the stopping rule was met.
    bool converged = false;

    double value() const { return signedSum == 0.0 ? 0.0 : std::exp(logScale) * signedSum; }
};

namespace log_concave_series_detail {

// Below this logarithm the whole sum lies under the smallest subnormal double (e^−744.4) with a
// margin: the sum is 0 to double precision.
constexpr double kLogNegligible = -760.0;

// Σ|t_j| beyond the last term added is at most |t_last|·ρ/(1 − ρ), ρ = |t_last/t_before| < 1,
// since every later ratio is at most ρ (log-concavity).
inline bool tailBelow(double magnitude, double logRatio, double tolerance, double absoluteSum) {
    if (!(logRatio < 0.0)) {
        return false;
    }
    const double ratio = std::exp(logRatio);
    return !(magnitude * ratio / (1.0 - ratio) > tolerance * absoluteSum);
}

}  // namespace log_concave_series_detail

// Sums the series from index `start` (best the largest term) upwards and downwards, each side
// stopping when the bound on its unsummed remainder falls to `tolerance` times Σ|t_j| so far, or
// when its terms are exactly 0; at most `maxTermsPerSide` terms on each side. The terms are
// carried relative to the largest seen, so no term overflows or underflows on the way. When
// `start` is the peak and the bound on the whole sum, t_start·(1 + ρ⁺/(1 − ρ⁺) + ρ⁻/(1 − ρ⁻)),
// is below e^−760 the sum is 0 at once (a density far out in its tail, where the peak may lie
// millions of terms out). `logTerm(j)` must not be NaN for j >= 0 (−∞ for a zero term).
template <typename LogTerm>
LogConcaveSum sumLogConcaveSeries(std::int64_t start, const LogTerm& logTerm, bool alternating,
                                  double tolerance, std::int64_t maxTermsPerSide) {
    using log_concave_series_detail::kLogNegligible;
    using log_concave_series_detail::tailBelow;
    constexpr double kNegativeInfinity = -std::numeric_limits<double>::infinity();
    LogConcaveSum sum;
    const double logStart = logTerm(start);
    if (logStart == kNegativeInfinity) {
        // A zero peak: every term is zero.
        sum.converged = true;
        return sum;
    }
    const auto sign = [alternating](std::int64_t j) {
        return alternating && j % 2 != 0 ? -1.0 : 1.0;
    };
    const double logAbove = logTerm(start + 1);
    const double logBelow = start > 0 ? logTerm(start - 1) : kNegativeInfinity;
    if (logAbove <= logStart && logBelow <= logStart) {
        const double up = std::exp(logAbove - logStart);
        const double down = std::exp(logBelow - logStart);
        if (up < 1.0 && down < 1.0 &&
            logStart + std::log1p(up / (1.0 - up) + down / (1.0 - down)) < kLogNegligible) {
            sum.converged = true;
            return sum;
        }
    }

    sum.logScale = logStart;
    sum.signedSum = sign(start);
    sum.absoluteSum = 1.0;
    // Adds a term and returns its magnitude in the current unit.
    const auto add = [&](std::int64_t j, double logT) {
        double relative = logT - sum.logScale;
        if (relative > 0.0) {
            const double factor = std::exp(-relative);
            sum.signedSum *= factor;
            sum.absoluteSum *= factor;
            sum.logScale = logT;
            relative = 0.0;
        }
        const double magnitude = std::exp(relative);
        sum.signedSum += sign(j) * magnitude;
        sum.absoluteSum += magnitude;
        return magnitude;
    };

    bool upDone = false;
    double previous = logStart;
    for (std::int64_t n = 1; n <= maxTermsPerSide; ++n) {
        const std::int64_t j = start + n;
        const double logT = n == 1 ? logAbove : logTerm(j);
        const double magnitude = add(j, logT);
        if (logT == kNegativeInfinity ||
            tailBelow(magnitude, logT - previous, tolerance, sum.absoluteSum)) {
            upDone = true;
            break;
        }
        previous = logT;
    }
    bool downDone = start == 0;
    previous = logStart;
    for (std::int64_t n = 1; n <= maxTermsPerSide && !downDone; ++n) {
        const std::int64_t j = start - n;
        const double logT = n == 1 ? logBelow : logTerm(j);
        const double magnitude = add(j, logT);
        downDone = j == 0 || logT == kNegativeInfinity ||
                   tailBelow(magnitude, logT - previous, tolerance, sum.absoluteSum);
        previous = logT;
    }
    sum.converged = upDone && downDone;
    return sum;
}

}  // namespace quorvel
