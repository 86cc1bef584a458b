#include <cmath>

#include "model/effects/effect_parts.h"
#include "model/effects/equivalence_sizes.h"
#include "numerics/calculators.h"
#include "numerics/foundations/gamma_beta/log_gamma.h"
#include "numerics/foundations/integration/qags.h"
#include "numerics/foundations/normal_distribution.h"
#include "numerics/t/noncentral_t.h"

namespace quorvel {

namespace {

// In standardized units (σ = 1) the mean difference D̂ is normal with mean d and SD k
// (k = √(1/N1 + 1/N2), or 1/√N for one sample) and the sample SD s is σ·√(χ²_ν/ν),
// independent of D̂. Both one-sided tests reject when −M + t·s·k < D̂ < M − t·s·k, t the
// upper α point of central t on ν Df, so given s the power is
// Φ((M − d)/k − t·s) − Φ((−M − d)/k + t·s) while s < M/(t·k), and 0 beyond (for t > 0;
// at α above .5, t < 0 and no s is beyond).
struct EquivalenceIntegrand {
    const NormalDistribution* normal;
    double upperZ;    // (M − d)/k
    double lowerZ;    // (−M − d)/k
    double critical;  // t
    double nu;
    double logConstant;  // log of the chi-scale density's constant 2·(ν/2)^(ν/2)/Γ(ν/2)
};

double equivalenceIntegrand(double s, void* data, int& errorFlag) {
    errorFlag = 0;
    const auto& in = *static_cast<const EquivalenceIntegrand*>(data);
    if (!(s > 0.0)) {
        return 0.0;
    }
    const double inside =
        in.normal->cdf(in.upperZ - in.critical * s) - in.normal->cdf(in.lowerZ + in.critical * s);
    const double density =
        std::exp(in.logConstant + (in.nu - 1.0) * std::log(s) - in.nu * s * s / 2.0);
    return inside > 0.0 ? inside * density : 0.0;
}

constexpr double kAbsoluteTolerance = 1e-14;
constexpr double kRelativeTolerance = 1e-12;
constexpr int kSubintervals = 200;
// An integral whose error estimate stays above this is reported, not returned.
constexpr double kLargestAcceptedError = 1e-10;

}  // namespace

EquivalenceTest equivalenceTestOf(Calculators& calculators, const EffectRequest& request) {
    const EquivalenceSizes sizes = equivalenceSizes(request);
    const double critical = calculators.t().percentagePointOfTail({Tail::Upper, request.alpha},
                                                                  static_cast<int>(sizes.nu), 0.0);
    return {sizes, critical, (request.effect + request.margin) / sizes.k,
            (request.effect - request.margin) / sizes.k, critical == calculators.failureValue};
}

PowerValue equivalencePower(Calculators& calculators, const EffectRequest& request) {
    const double failure = calculators.failureValue;
    const EquivalenceTest test = equivalenceTestOf(calculators, request);
    if (test.failed) {
        return {failure, true};
    }
    const auto [nu, k] = test.sizes;
    const double critical = test.critical;
    const double margin = request.margin;
    // (M − d)/k and (−M − d)/k, the statistics' noncentralities with their sign turned.
    EquivalenceIntegrand in{&calculators.normal(),
                            -test.upperDelta,
                            -test.lowerDelta,
                            critical,
                            nu,
                            std::log(2.0) + nu / 2.0 * std::log(nu / 2.0) - logGamma(nu / 2.0)};
    const double spread = kEquivalenceSpread / std::sqrt(nu);
    const double lo = std::fmax(0.0, 1.0 - spread);
    // Above α = .5 the critical t is negative and both tests reject at every s.
    const double hi =
        critical > 0.0 ? std::fmin(margin / (critical * k), 1.0 + spread) : 1.0 + spread;
    if (!(hi > lo)) {
        return {0.0, false};
    }
    QagsWorkspace<kSubintervals> workspace;
    const QagsResult run = integrateQags(equivalenceIntegrand, &in, lo, hi, kAbsoluteTolerance,
                                         kRelativeTolerance, kSubintervals, workspace);
    if (run.ier != 0 && !(run.abserr <= kLargestAcceptedError)) {
        showEffectMessage(calculators, "Equivalence power integral failed to converge.");
        return {failure, true};
    }
    return {std::fmin(1.0, std::fmax(0.0, run.result)), false};
}

}  // namespace quorvel
