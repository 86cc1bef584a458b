#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>

#include "numerics/foundations/integration/qags.h"

namespace quorvel {

namespace {
constexpr int kInvalidInput = 6;

// How the driver finishes after its main loop, as the published routine branches.
enum class Finish { SumSubintervals, DivergenceTest, Decrement };

bool arrayHolds(std::size_t size, int limit) {
    return size >= static_cast<std::size_t>(limit);
}

// The constants of QUADPACK's D1MACH that the routines use (1 smallest normalized, 2 largest,
// 4 the relative spacing) are those of IEEE double precision.
static_assert(std::numeric_limits<double>::is_iec559);
static_assert(std::numeric_limits<double>::min() == 2.2250738585072014e-308);
static_assert(std::numeric_limits<double>::max() == 1.7976931348623157e+308);
static_assert(std::numeric_limits<double>::epsilon() == 2.220446049250313e-16);
}  // namespace

// Piessens, de Doncker, Überhuber and Kahaner, QUADPACK (Springer 1983), routine DQAGSE:
// globally adaptive bisection of the subinterval with the largest error, the 21-point
// Gauss–Kronrod rule, and Wynn's epsilon extrapolation of the sequence of sums. Expressions
// keep QUADPACK's order so that the rounding is the published routine's; indices count from 0.
QagsResult integrateQags(QagsIntegrand f, void* data, double a, double b, double epsabs,
                         double epsrel, int limit, QagsWorkArrays work) {
    QagsResult output;
    double& result = output.result;
    double& abserr = output.abserr;
    int& neval = output.neval;
    int& ier = output.ier;
    int& last = output.last;
    const std::span<double> alist = work.alist;
    const std::span<double> blist = work.blist;
    const std::span<double> rlist = work.rlist;
    const std::span<double> elist = work.elist;
    const std::span<int> iord = work.iord;
    const double epmach = std::numeric_limits<double>::epsilon();
    if (limit < 1 || !arrayHolds(alist.size(), limit) || !arrayHolds(blist.size(), limit) ||
        !arrayHolds(rlist.size(), limit) || !arrayHolds(elist.size(), limit) ||
        !arrayHolds(iord.size(), limit)) {
        ier = kInvalidInput;
        return output;
    }
    alist[0] = a;
    blist[0] = b;
    rlist[0] = 0.0;
    elist[0] = 0.0;
    if (epsabs <= 0.0 && epsrel < std::max(50.0 * epmach, 0.5e-28)) {
        ier = kInvalidInput;
        return output;
    }

    // First approximation to the integral.
    const double uflow = std::numeric_limits<double>::min();
    const double oflow = std::numeric_limits<double>::max();
    int ierro = 0;
    int errorFlag = 0;
    double defabs = 0.0;
    double resabs = 0.0;
    kronrod21(f, data, a, b, result, abserr, defabs, resabs, errorFlag);
    if (errorFlag != 0) {
        ier = kQagsIntegrandFailed;
        return output;
    }
    const double dres = std::fabs(result);
    double errbnd = std::max(epsabs, epsrel * dres);
    last = 1;
    rlist[0] = result;
    elist[0] = abserr;
    iord[0] = 0;
    if (abserr <= 100.0 * epmach * defabs && abserr > errbnd) {
        ier = 2;
    }
    if (limit == 1) {
        ier = 1;
    }
    if (ier != 0 || (abserr <= errbnd && abserr != resabs) || abserr == 0.0) {
        neval = 42 * last - 21;
        return output;
    }

    // Initialisation.
    std::array<double, kEpsilonTableSize> rlist2{};
    std::array<double, 3> res3la{};
    rlist2[0] = result;
    double errmax = abserr;
    int maxerr = 0;
    double area = result;
    double errsum = abserr;
    abserr = oflow;
    int nrmax = 0;
    int nres = 0;
    int numrl2 = 2;
    int ktmin = 0;
    bool extrap = false;
    bool noext = false;
    int iroff1 = 0;
    int iroff2 = 0;
    int iroff3 = 0;
    const int ksgn = dres >= (1.0 - 50.0 * epmach) * defabs ? 1 : -1;
    double small = 0.0;
    double erlarg = 0.0;
    double ertest = 0.0;
    double correc = 0.0;
    bool sumRequested = false;

    for (last = 2; last <= limit; ++last) {
        // Bisect the subinterval with the nrmax-th largest error estimate.
        const int newest = last - 1;
        const double a1 = alist[maxerr];
        const double b1 = 0.5 * (alist[maxerr] + blist[maxerr]);
        const double a2 = b1;
        const double b2 = blist[maxerr];
        const double erlast = errmax;
        double area1 = 0.0;
        double error1 = 0.0;
        double defab1 = 0.0;
        double area2 = 0.0;
        double error2 = 0.0;
        double defab2 = 0.0;
        kronrod21(f, data, a1, b1, area1, error1, resabs, defab1, errorFlag);
        if (errorFlag != 0) {
            ier = kQagsIntegrandFailed;
            return output;
        }
        kronrod21(f, data, a2, b2, area2, error2, resabs, defab2, errorFlag);
        if (errorFlag != 0) {
            ier = kQagsIntegrandFailed;
            return output;
        }

        // Improve the previous approximations to the integral and error and test accuracy.
        const double area12 = area1 + area2;
        const double erro12 = error1 + error2;
        errsum = errsum + erro12 - errmax;
        area = area + area12 - rlist[maxerr];
        if (!(defab1 == error1 || defab2 == error2)) {
            if (!(std::fabs(rlist[maxerr] - area12) > 0.1e-4 * std::fabs(area12) ||
                  erro12 < 0.99 * errmax)) {
                if (extrap) {
                    iroff2 = iroff2 + 1;
                } else {
                    iroff1 = iroff1 + 1;
                }
            }
            if (last > 10 && erro12 > errmax) {
                iroff3 = iroff3 + 1;
            }
        }
        rlist[maxerr] = area1;
        rlist[newest] = area2;
        errbnd = std::max(epsabs, epsrel * std::fabs(area));

        // Roundoff, the subinterval limit, and bad behaviour at a point of the range.
        if (iroff1 + iroff2 >= 10 || iroff3 >= 20) {
            ier = 2;
        }
        if (iroff2 >= 5) {
            ierro = 3;
        }
        if (last == limit) {
            ier = 1;
        }
        if (std::max(std::fabs(a1), std::fabs(b2)) <=
            (1.0 + 100.0 * epmach) * (std::fabs(a2) + 1000.0 * uflow)) {
            ier = 4;
        }

        // Append the new subintervals, the one with the larger error at position maxerr.
        if (error2 > error1) {
            alist[maxerr] = a2;
            alist[newest] = a1;
            blist[newest] = b1;
            rlist[maxerr] = area2;
            rlist[newest] = area1;
            elist[maxerr] = error2;
            elist[newest] = error1;
        } else {
            alist[newest] = a2;
            blist[maxerr] = b1;
            blist[newest] = b2;
            elist[maxerr] = error1;
            elist[newest] = error2;
        }
        orderErrors(limit, last, maxerr, errmax, elist, iord, nrmax);
        if (errsum <= errbnd) {
            sumRequested = true;
            break;
        }
        if (ier != 0) {
            break;
        }
        if (last == 2) {
            small = std::fabs(b - a) * 0.375;
            erlarg = errsum;
            ertest = errbnd;
            rlist2[1] = area;
            continue;
        }
        if (noext) {
            continue;
        }
        erlarg = erlarg - erlast;
        if (std::fabs(b1 - a1) > small) {
            erlarg = erlarg + erro12;
        }
        if (!extrap) {
            // Extrapolate only once the interval to bisect next is the smallest.
            if (std::fabs(blist[maxerr] - alist[maxerr]) > small) {
                continue;
            }
            extrap = true;
            nrmax = 1;
        }
        if (ierro != 3 && erlarg > ertest) {
            // The smallest interval has the largest error: before bisecting it, bisect the
            // larger intervals that still carry error (erlarg), then extrapolate.
            const int jupbnd = last > 2 + limit / 2 ? limit + 3 - last : last;
            bool largerIntervalLeft = false;
            for (int k = nrmax; k < jupbnd; ++k) {
                maxerr = iord[nrmax];
                errmax = elist[maxerr];
                if (std::fabs(blist[maxerr] - alist[maxerr]) > small) {
                    largerIntervalLeft = true;
                    break;
                }
                nrmax = nrmax + 1;
            }
            if (largerIntervalLeft) {
                continue;
            }
        }

        // Extrapolate.
        numrl2 = numrl2 + 1;
        rlist2[static_cast<std::size_t>(numrl2 - 1)] = area;
        double reseps = 0.0;
        double abseps = 0.0;
        epsilonExtrapolate(numrl2, rlist2, reseps, abseps, res3la, nres);
        ktmin = ktmin + 1;
        if (ktmin > 5 && abserr < 0.1e-2 * errsum) {
            ier = 5;
        }
        if (abseps < abserr) {
            ktmin = 0;
            abserr = abseps;
            result = reseps;
            correc = erlarg;
            ertest = std::max(epsabs, epsrel * std::fabs(reseps));
            if (abserr <= ertest) {
                break;
            }
        }

        // Prepare the bisection of the smallest interval.
        if (numrl2 == 1) {
            noext = true;
        }
        if (ier == 5) {
            break;
        }
        maxerr = iord[0];
        errmax = elist[maxerr];
        nrmax = 0;
        extrap = false;
        small = small * 0.5;
        erlarg = errsum;
    }

    // Set the final result and error estimate.
    Finish finish = Finish::Decrement;
    if (sumRequested || abserr == oflow) {
        finish = Finish::SumSubintervals;
    } else if (ier + ierro == 0) {
        finish = Finish::DivergenceTest;
    } else {
        if (ierro == 3) {
            abserr = abserr + correc;
        }
        if (ier == 0) {
            ier = 3;
        }
        if (result != 0.0 && area != 0.0) {
            finish = abserr / std::fabs(result) > errsum / std::fabs(area) ? Finish::SumSubintervals
                                                                           : Finish::DivergenceTest;
        } else if (abserr > errsum) {
            finish = Finish::SumSubintervals;
        } else if (area == 0.0) {
            finish = Finish::Decrement;
        } else {
            finish = Finish::DivergenceTest;
        }
    }
    if (finish == Finish::DivergenceTest) {
        if (!(ksgn == -1 && std::max(std::fabs(result), std::fabs(area)) <= defabs * 0.1e-1)) {
            if (0.1e-1 > result / area || result / area > 0.1e+3 || errsum > std::fabs(area)) {
                ier = 6;
            }
        }
    } else if (finish == Finish::SumSubintervals) {
        result = 0.0;
        for (int k = 0; k < last; ++k) {
            result = result + rlist[k];
        }
        abserr = errsum;
    }
    if (ier > 2) {
        ier = ier - 1;
    }
    neval = 42 * last - 21;
    return output;
}

}  // namespace quorvel
