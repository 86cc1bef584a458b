#include "numerics/foundations/integration/qags.h"

namespace quorvel {

// Piessens, de Doncker, Überhuber and Kahaner, QUADPACK (Springer 1983), routine DQPSRT: the
// larger new error is inserted top-down from position nrmax, the smaller bottom-up. Once more
// than limit/2 + 2 subintervals exist only the first limit + 3 − last positions are kept in
// order, since no more intervals than that can still be bisected.
void orderErrors(int limit, int last, int& maxerr, double& ermax, std::span<const double> elist,
                 std::span<int> iord, int& nrmax) {
    if (last <= 2) {
        iord[0] = 0;
        iord[1] = 1;
        maxerr = iord[nrmax];
        ermax = elist[maxerr];
        return;
    }
    const double errmax = elist[maxerr];
    // Only when a bisection increased the error estimate does the insertion start above nrmax.
    const int ido = nrmax;
    for (int i = 0; i < ido; ++i) {
        const int isucc = iord[nrmax - 1];
        if (errmax <= elist[isucc]) {
            break;
        }
        iord[nrmax] = isucc;
        nrmax = nrmax - 1;
    }
    const int jupbn = last > limit / 2 + 2 ? limit + 3 - last : last;
    const double errmin = elist[last - 1];
    const int jbnd = jupbn - 2;
    const int ibeg = nrmax + 1;
    int i = ibeg;
    while (i <= jbnd && !(errmax >= elist[iord[i]])) {
        iord[i - 1] = iord[i];
        ++i;
    }
    if (i > jbnd) {
        iord[jbnd] = maxerr;
        iord[jupbn - 1] = last - 1;
    } else {
        iord[i - 1] = maxerr;
        int k = jbnd;
        while (k >= i && !(errmin < elist[iord[k]])) {
            iord[k + 1] = iord[k];
            --k;
        }
        iord[k + 1] = last - 1;
    }
    maxerr = iord[nrmax];
    ermax = elist[maxerr];
}

}  // namespace quorvel
