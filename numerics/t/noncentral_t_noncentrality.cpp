#include <cmath>
#include <optional>

#include "numerics/calculators.h"
#include "numerics/foundations/failure/held_messages.h"
#include "numerics/foundations/normal_distribution.h"
#include "numerics/foundations/roots/safeguarded_search.h"
#include "numerics/t/noncentral_t.h"
#include "numerics/t/t_arguments.h"

namespace quorvel {

using namespace t_arguments;

namespace {
constexpr double kSmallestLevel = 0.8;
constexpr double kLargestLevel = 0.9999;
// The accepted δ, on which the distribution function at a fixed t falls.
constexpr MonotoneRange kDeltaRange{-kMaxAbsDelta, kMaxAbsDelta, false};
}  // namespace

double NoncentralT::noncentrality(double t, int df, double cumP) {
    if (df < 1 || df > kMaxDf) {
        return reportFailure(kDfOutOfRange);
    }
    if (!(cumP >= kSmallestDeltaCumP && cumP <= kLargestDeltaCumP)) {
        return reportFailure("CumP out of range.");
    }
    tValue = t;
    this->df = df;
    this->cumP = cumP;
    return searchDelta();
}

// Solves (t(1 − 1/(4ν)) − δ)/√(1 + t²/(2ν)) = z, the normal approximation of the distribution
// function, for δ.
double NoncentralT::deltaStartValue(double t, int df, double cumP) {
    const double nu = df;
    const double z = calculators().normal().quantile(cumP);
    return (1.0 - 1.0 / (4.0 * nu)) * t - z * std::sqrt(t * t / (2.0 * nu) + 1.0);
}

// Secant search on δ, on which the distribution function at the stored t decreases, with the
// bracketed fallback inside |δ| <= 5000; the messages of a recovered attempt are never shown.
double NoncentralT::searchDelta() {
    failed = 0;
    const double searchT = tValue;
    const int searchDf = df;
    const double start = deltaStartValue(searchT, searchDf, cumP);
    auto residual = [this, searchT, searchDf](double d) -> std::optional<double> {
        failed = 0;
        const double p = cdf(searchT, searchDf, d);
        if (failed) {
            return std::nullopt;
        }
        return p - cumP;
    };
    HeldMessages held(failures());
    return searchAnswer(safeguardedSearch({start}, residual, {}, kDeltaRange), held,
                        "Failure to find Delta in 10,000 iterations.");
}

void NoncentralT::confidenceLimits(double t, int df, double level, double& lower, double& upper) {
    if (df < 1) {
        reportFailure("T distribution Df parameter out of range.");
        return;
    }
    if (!(level >= kSmallestLevel && level <= kLargestLevel)) {
        reportFailure("T distribution Confidence Level out of range. Limits .80 <= Conf <= .9999");
        return;
    }
    tValue = t;
    this->df = df;
    confidence = level;
    const double tailProbability = (1.0 - level) / 2.0;
    // The upper limit first: the distribution function decreases in δ.
    upper = noncentrality(t, df, tailProbability);
    lower = noncentrality(t, df, 1.0 - tailProbability);
}

}  // namespace quorvel
