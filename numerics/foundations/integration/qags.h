#pragma once

#include <array>
#include <span>

namespace quorvel {

// An integrand of the adaptive integrator: f(x) for the caller's data. It sets errorFlag to 0
// on success and to anything else to stop the integration at once.
using QagsIntegrand = double (*)(double x, void* data, int& errorFlag);

// Error code of integrateQags when the integrand raised its error flag.
inline constexpr int kQagsIntegrandFailed = 99;
// Size of the table of successive approximations that epsilonExtrapolate works on.
inline constexpr int kEpsilonTableSize = 52;

// The work arrays integrateQags bisects in: the end points (alist, blist), integrals (rlist)
// and error estimates (elist) of the subintervals, and iord, the subintervals in decreasing
// order of error. Subinterval k of the `last` used is [alist[k], blist[k]].
struct QagsWorkArrays {
    std::span<double> alist;
    std::span<double> blist;
    std::span<double> rlist;
    std::span<double> elist;
    std::span<int> iord;
};

// Work arrays for up to Capacity subintervals, held by value. A workspace on the stack costs no
// heap allocation: five allocations per integration would add about 8% to the work of Owen's
// T, which the t distribution function evaluates on every call at odd Df. One workspace serves
// any number of integrations in turn.
template <int Capacity>
struct QagsWorkspace {
    static_assert(Capacity >= 1);

    std::array<double, Capacity> alist{};
    std::array<double, Capacity> blist{};
    std::array<double, Capacity> rlist{};
    std::array<double, Capacity> elist{};
    std::array<int, Capacity> iord{};

    QagsWorkArrays arrays() { return {alist, blist, rlist, elist, iord}; }
};

// What integrateQags returns: the approximation, its error estimate, the number of integrand
// evaluations, the error code and the number of subintervals used.
struct QagsResult {
    double result = 0.0;
    double abserr = 0.0;
    int neval = 0;
    int ier = 0;
    int last = 0;
};

// Adaptive integration of f over [a, b] to max(epsabs, epsrel·|I|) with at most `limit`
// subintervals (QUADPACK DQAGSE). ier: 0 success, 1 limit subintervals used up, 2 roundoff,
// 3 bad integrand behaviour, 4 roundoff in the extrapolation table, 5 divergence, 6 invalid
// input (also limit < 1 or a work array shorter than limit), kQagsIntegrandFailed when f raised
// its flag (the other outputs are then meaningless). The subdivision is left in the work arrays.
QagsResult integrateQags(QagsIntegrand f, void* data, double a, double b, double epsabs,
                         double epsrel, int limit, QagsWorkArrays work);

// integrateQags in the arrays of a workspace; a limit above its capacity gives ier 6.
template <int Capacity>
QagsResult integrateQags(QagsIntegrand f, void* data, double a, double b, double epsabs,
                         double epsrel, int limit, QagsWorkspace<Capacity>& workspace) {
    return integrateQags(f, data, a, b, epsabs, epsrel, limit, workspace.arrays());
}

// The 21-point Gauss–Kronrod rule on [a, b] with its error estimate, ∫|f| (resabs) and
// ∫|f − mean| (resasc) (QUADPACK DQK21). Returns at once when f raises errorFlag.
void kronrod21(QagsIntegrand f, void* data, double a, double b, double& result, double& abserr,
               double& resabs, double& resasc, int& errorFlag);

// Keeps iord in decreasing order of elist after a bisection added subinterval `last` and
// returns the subinterval to bisect next in maxerr and its error in ermax (QUADPACK DQPSRT).
// Indices and positions count from 0; last counts the subintervals in use.
void orderErrors(int limit, int last, int& maxerr, double& ermax, std::span<const double> elist,
                 std::span<int> iord, int& nrmax);

// Wynn's epsilon algorithm on the n approximations in epstab: the extrapolated limit and its
// error estimate, the largest double until three results exist (QUADPACK DQELG).
void epsilonExtrapolate(int& n, std::array<double, kEpsilonTableSize>& epstab, double& result,
                        double& abserr, std::array<double, 3>& res3la, int& nres);

}  // namespace quorvel
