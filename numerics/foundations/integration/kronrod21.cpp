#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "numerics/foundations/integration/kronrod21_nodes.h"
#include "numerics/foundations/integration/qags.h"

namespace quorvel {


// Piessens, de Doncker, Überhuber and Kahaner, QUADPACK (Springer 1983), routine DQK21; nodes
// and weights as evaluated by Fullerton (Bell Labs, 1981) with 80-digit arithmetic.
void kronrod21(QagsIntegrand f, void* data, double a, double b, double& result, double& abserr,
               double& resabs, double& resasc, int& errorFlag) {
    const double epmach = std::numeric_limits<double>::epsilon();
    const double uflow = std::numeric_limits<double>::min();
    errorFlag = 0;
    const double centr = 0.5 * (a + b);
    const double hlgth = 0.5 * (b - a);
    const double dhlgth = std::fabs(hlgth);

    std::array<double, 10> fv1{};
    std::array<double, 10> fv2{};
    double resg = 0.0;
    const double fc = f(centr, data, errorFlag);
    if (errorFlag != 0) {
        return;
    }
    double resk = kKronrodWeights[10] * fc;
    resabs = std::fabs(resk);
    // Evaluates f at both nodes ±k, keeps the values and adds them to the Kronrod sums.
    auto addNodePair = [&](int k, double& fsum) {
        const double absc = hlgth * kKronrodNodes[k];
        const double fval1 = f(centr - absc, data, errorFlag);
        if (errorFlag != 0) {
            return false;
        }
        const double fval2 = f(centr + absc, data, errorFlag);
        if (errorFlag != 0) {
            return false;
        }
        fv1[k] = fval1;
        fv2[k] = fval2;
        fsum = fval1 + fval2;
        resk = resk + kKronrodWeights[k] * fsum;
        resabs = resabs + kKronrodWeights[k] * (std::fabs(fval1) + std::fabs(fval2));
        return true;
    };
    // The Gauss nodes first, then the added Kronrod nodes, as the published routine does.
    double fsum = 0.0;
    for (int j = 0; j < 5; ++j) {
        if (!addNodePair(2 * j + 1, fsum)) {
            return;
        }
        resg = resg + kGaussWeights[j] * fsum;
    }
    for (int j = 0; j < 5; ++j) {
        if (!addNodePair(2 * j, fsum)) {
            return;
        }
    }
    const double reskh = resk * 0.5;
    resasc = kKronrodWeights[10] * std::fabs(fc - reskh);
    for (int j = 0; j < 10; ++j) {
        resasc =
            resasc + kKronrodWeights[j] * (std::fabs(fv1[j] - reskh) + std::fabs(fv2[j] - reskh));
    }
    result = resk * hlgth;
    resabs = resabs * dhlgth;
    resasc = resasc * dhlgth;
    abserr = std::fabs((resk - resg) * hlgth);
    if (resasc != 0.0 && abserr != 0.0) {
        abserr = resasc * std::min(1.0, std::pow(200.0 * abserr / resasc, 1.5));
    }
    // An error estimate below the rounding level of the rule is not credible.
    if (resabs > uflow / (50.0 * epmach)) {
        abserr = std::max((epmach * 50.0) * resabs, abserr);
    }
}

}  // namespace quorvel
