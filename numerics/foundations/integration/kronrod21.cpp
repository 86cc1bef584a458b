#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "numerics/foundations/integration/qags.h"

namespace quorvel {

namespace {
// Nodes of the 21-point Kronrod rule on [−1, 1], positive half: the odd positions (counting
// from 1) are the added Kronrod nodes, the even ones the nodes of the 10-point Gauss rule; the
// last is the centre.
constexpr std::array<double, 11> kKronrodNodes{
    0.995657163025808080735527280689003, 0.973906528517171720077964012084452,
    0.930157491355708226001207180059508, 0.865063366688984510732096688423493,
    0.780817726586416897063717578345042, 0.679409568299024406234327365114874,
    0.562757134668604683339000099272694, 0.433395394129247190799265943165784,
    0.294392862701460198131126603103866, 0.148874338981631210884826001129720,
    0.000000000000000000000000000000000};
constexpr std::array<double, 11> kKronrodWeights{
    0.011694638867371874278064396062192, 0.032558162307964727478818972459390,
    0.054755896574351996031381300244580, 0.075039674810919952767043140916190,
    0.093125454583697605535065465083366, 0.109387158802297641899210590325805,
    0.123491976262065851077958109831074, 0.134709217311473325928054001771707,
    0.142775938577060080797094273138717, 0.147739104901338491374841515972068,
    0.149445554002916905664936468389821};
constexpr std::array<double, 5> kGaussWeights{
    0.066671344308688137593568809893332, 0.149451349150580593145776339657697,
    0.219086362515982043995534934228163, 0.269266719309996355091226921569469,
    0.295524224714752870173892994651338};
}  // namespace

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
