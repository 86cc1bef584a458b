#include <cmath>

#include "numerics/calculators.h"
#include "numerics/t/chi_scale_integral.h"
#include "numerics/t/noncentral_t.h"
#include "numerics/t/t_arguments.h"
#include "numerics/t/t_messages.h"

namespace quorvel {

using namespace t_arguments;
using namespace t_messages;

namespace {
constexpr double kLargestIntegratedT = 1e150;
}  // namespace

// f(t) = E[U·φ(tU − δ)] over the scale U = √(χ²_ν/ν), a positive log-concave integrand, so the
// density keeps the relative accuracy of the tails wherever it is a normalized double. From
// |t| = 1e150 on, where the integrand's curvature would overflow, it is below 1e-150 and
// given as 0.
double NoncentralT::pdf(double t, int df, double delta) {
    if (const char* problem = distributionArgumentProblem(t, df, delta)) {
        return reportFailure(problem);
    }
    if (std::fabs(t) >= kLargestIntegratedT) {
        return 0.0;
    }
    const ChiScaleIntegral integral =
        integrateOverChiScale(ChiScaleFactor::Density, t, df, delta, calculators().normal());
    if (!integral.converged) {
        return reportFailure(kIntegralFailed);
    }
    return std::exp(integral.logValue);
}

}  // namespace quorvel
