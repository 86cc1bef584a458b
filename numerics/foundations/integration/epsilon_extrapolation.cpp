#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "numerics/foundations/integration/qags.h"

namespace quorvel {

namespace {
// Most elements the table may hold; on reaching it the upper diagonal is dropped.
constexpr int kLimexp = 50;
}  // namespace

// Wynn's epsilon algorithm (P. Wynn, MTAC 10, 1956) as in Piessens, de Doncker, Überhuber and
// Kahaner, QUADPACK (Springer 1983), routine DQELG. The table keeps only the two lower
// diagonals; its elements are numbered from 1 at the right-hand corner, as published.
void epsilonExtrapolate(int& n, std::array<double, kEpsilonTableSize>& epstab, double& result,
                        double& abserr, std::array<double, 3>& res3la, int& nres) {
    auto e = [&epstab](int k) -> double& { return epstab[static_cast<std::size_t>(k - 1)]; };
    const double epmach = std::numeric_limits<double>::epsilon();
    const double oflow = std::numeric_limits<double>::max();
    // No estimate may claim more than the rounding level of the result.
    auto floorError = [&] { abserr = std::max(abserr, 5.0 * epmach * std::fabs(result)); };
    nres = nres + 1;
    abserr = oflow;
    result = e(n);
    if (n < 3) {
        floorError();
        return;
    }
    e(n + 2) = e(n);
    const int newelm = (n - 1) / 2;
    e(n) = oflow;
    const int num = n;
    int k1 = n;
    for (int i = 1; i <= newelm; ++i) {
        const int k2 = k1 - 1;
        const int k3 = k1 - 2;
        double res = e(k1 + 2);
        const double e0 = e(k3);
        const double e1 = e(k2);
        const double e2 = res;
        const double e1abs = std::fabs(e1);
        const double delta2 = e2 - e1;
        const double err2 = std::fabs(delta2);
        const double tol2 = std::max(std::fabs(e2), e1abs) * epmach;
        const double delta3 = e1 - e0;
        const double err3 = std::fabs(delta3);
        const double tol3 = std::max(e1abs, std::fabs(e0)) * epmach;
        if (!(err2 > tol2 || err3 > tol3)) {
            // e0, e1 and e2 agree to machine accuracy: the sequence has converged.
            result = res;
            abserr = err2 + err3;
            floorError();
            return;
        }
        const double e3 = e(k1);
        e(k1) = e1;
        const double delta1 = e1 - e3;
        const double err1 = std::fabs(delta1);
        const double tol1 = std::max(e1abs, std::fabs(e3)) * epmach;
        // Two nearly equal elements, or an irregular update term: cut the table here.
        bool cutTable = err1 <= tol1 || err2 <= tol2 || err3 <= tol3;
        double ss = 0.0;
        if (!cutTable) {
            ss = 1.0 / delta1 + 1.0 / delta2 - 1.0 / delta3;
            cutTable = !(std::fabs(ss * e1) > 1e-4);
        }
        if (cutTable) {
            n = i + i - 1;
            break;
        }
        res = e1 + 1.0 / ss;
        e(k1) = res;
        k1 = k1 - 2;
        const double error = err2 + std::fabs(res - e2) + err3;
        if (!(error > abserr)) {
            abserr = error;
            result = res;
        }
    }
    // Shift the table.
    if (n == kLimexp) {
        n = 2 * (kLimexp / 2) - 1;
    }
    int ib = (num / 2) * 2 == num ? 2 : 1;
    const int ie = newelm + 1;
    for (int i = 1; i <= ie; ++i) {
        const int ib2 = ib + 2;
        e(ib) = e(ib2);
        ib = ib2;
    }
    if (num != n) {
        int indx = num - n + 1;
        for (int i = 1; i <= n; ++i) {
            e(i) = e(indx);
            indx = indx + 1;
        }
    }
    if (nres < 4) {
        res3la[static_cast<std::size_t>(nres - 1)] = result;
        abserr = oflow;
    } else {
        abserr = std::fabs(result - res3la[2]) + std::fabs(result - res3la[1]) +
                 std::fabs(result - res3la[0]);
        res3la[0] = res3la[1];
        res3la[1] = res3la[2];
        res3la[2] = result;
    }
    floorError();
}

}  // namespace quorvel
