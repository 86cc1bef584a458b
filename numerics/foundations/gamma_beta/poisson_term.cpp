#include "numerics/foundations/gamma_beta/poisson_term.h"

#include <cmath>
#include <numbers>

#include "numerics/foundations/gamma_beta/log_gamma.h"

namespace quorvel {

namespace {
// Where |k − mean| < 0.1·(k + mean) the deviance is summed as a series in v = (k − mean)/(k +
// mean), whose terms fall by v² < 1/121 each; 100 terms only guard the loop.
constexpr double kSeriesBand = 0.1;
constexpr int kMaxSeriesTerms = 100;

// Loader's bd0: k·ln(k/mean) + mean − k = (k − mean)·v + 2k·Σ_{j>=1} v^(2j+1)/(2j + 1).
double deviance(double k, double mean) {
    const double difference = k - mean;
    if (std::fabs(difference) < kSeriesBand * (k + mean)) {
        double v = difference / (k + mean);
        double sum = difference * v;
        double power = 2.0 * k * v;
        v = v * v;
        for (int j = 1; j <= kMaxSeriesTerms; ++j) {
            power *= v;
            const double next = sum + power / (2 * j + 1);
            if (next == sum) {
                break;
            }
            sum = next;
        }
        return sum;
    }
    // k/mean leaves the double range for a mean near the smallest subnormal.
    const double ratio = k / mean;
    const double logRatio =
        std::isfinite(ratio) && ratio > 0.0 ? std::log(ratio) : std::log(k) - std::log(mean);
    return k * logRatio + mean - k;
}
}  // namespace

double logPoissonTerm(double k, double mean) {
    if (k == 0.0) {
        return -mean;
    }
    if (mean == 0.0) {
        return -HUGE_VAL;
    }
    return -stirlingError(k) - deviance(k, mean) - 0.5 * std::log(2.0 * std::numbers::pi * k);
}

}  // namespace quorvel
