#include "numerics/foundations/roots/root_bracketing.h"

#include <algorithm>
#include <cmath>

namespace quorvel {

namespace {
constexpr int kMaxExpansions = 1000;
constexpr double kGrowth = 1.6;
constexpr int kMaxBrentIterations = 1000;
// The percentage-point search's tolerances: relative 2e-13 with an absolute floor of 5e-301, held
// at 0 or above, ending early only at an exact zero.
constexpr BrentTolerances kNonNegativeRootTolerances{1e-13, 1e-300, 0.0, 0.0};

bool sameSign(double u, double v) {
    return (u > 0.0 && v > 0.0) || (u < 0.0 && v < 0.0);
}

bool oppositeSigns(double u, double v) {
    return (u > 0.0 && v < 0.0) || (u < 0.0 && v > 0.0);
}

// Outward expansion after Numerical Recipes' zbrac. The bracket is tested before each
// expansion, so after the last expansion the search has failed. A zero at one end is not a
// sign change and is expanded further.
RootSearchStatus expandBracket(Bracket& bracket, RootFunction f,
                               const std::optional<ExpansionFloor>& floor) {
    auto moveAndEvaluate = [&](double& x, double& fx, double newX) {
        x = newX;
        if (floor && x < floor->at) {
            x = floor->at;
            fx = floor->value;
            return true;
        }
        const std::optional<double> value = f(x);
        if (!value) {
            return false;
        }
        fx = *value;
        return true;
    };
    for (int expansion = 0; expansion < kMaxExpansions; ++expansion) {
        // Signs, not the product, which underflows for residuals near the smallest doubles.
        if (oppositeSigns(bracket.flo, bracket.fhi)) {
            return RootSearchStatus::Found;
        }
        const bool moved = std::fabs(bracket.fhi) > std::fabs(bracket.flo)
                               ? moveAndEvaluate(bracket.lo, bracket.flo,
                                                 bracket.lo + kGrowth * (bracket.lo - bracket.hi))
                               : moveAndEvaluate(bracket.hi, bracket.fhi,
                                                 bracket.hi + kGrowth * (bracket.hi - bracket.lo));
        if (!moved) {
            return RootSearchStatus::EvaluationFailed;
        }
    }
    return RootSearchStatus::NotBracketed;
}

}  // namespace

// Brent's method in the form of Numerical Recipes' zbrent, with the estimate held at the floor
// or above. Its expressions keep zbrent's order so that the rounding is the same.
RootSearchResult solveBracketed(const Bracket& bracket, RootFunction f,
                                const BrentTolerances& tolerances) {
    double a = bracket.lo;
    double b = bracket.hi;
    double fa = bracket.flo;
    double fb = bracket.fhi;
    double c = b;
    double fc = fb;
    // The first iteration always sets d and e, unless fb = 0 returns b at once.
    double d = 0.0;
    double e = 0.0;
    for (int iteration = 0; iteration < kMaxBrentIterations; ++iteration) {
        if (sameSign(fb, fc)) {
            c = a;
            fc = fa;
            e = d = b - a;
        }
        if (std::fabs(fc) < std::fabs(fb)) {
            a = b;
            b = c;
            c = a;
            fa = fb;
            fb = fc;
            fc = fa;
        }
        const double tol1 = 2.0 * tolerances.relative * std::fabs(b) + 0.5 * tolerances.absolute;
        const double xm = (c - b) / 2.0;
        if (std::fabs(xm) <= tol1 || std::fabs(fb) <= tolerances.residual) {
            return {RootSearchStatus::Found, b};
        }
        if (std::fabs(e) >= tol1 && std::fabs(fa) > std::fabs(fb)) {
            // Inverse quadratic interpolation, or the secant when only two points differ.
            const double s = fb / fa;
            double p = 0.0;
            double q = 0.0;
            if (a == c) {
                p = 2.0 * xm * s;
                q = 1.0 - s;
            } else {
                q = fa / fc;
                const double r = fb / fc;
                p = s * (2.0 * xm * q * (q - r) - (b - a) * (r - 1.0));
                q = (q - 1.0) * (r - 1.0) * (s - 1.0);
            }
            if (p > 0.0) {
                q = -q;
            }
            p = std::fabs(p);
            const double min1 = 3.0 * xm * q - std::fabs(tol1 * q);
            const double min2 = std::fabs(e * q);
            if (2.0 * p < std::min(min1, min2)) {
                e = d;
                d = p / q;
            } else {
                d = xm;
                e = d;
            }
        } else {
            d = xm;
            e = d;
        }
        a = b;
        fa = fb;
        if (std::fabs(d) > tol1) {
            b += d;
        } else {
            b += xm >= 0.0 ? tol1 : -tol1;
        }
        if (b < tolerances.floor) {
            b = tolerances.floor;
        } else if (b > tolerances.ceiling) {
            b = tolerances.ceiling;
        }
        const std::optional<double> value = f(b);
        if (!value) {
            return {RootSearchStatus::EvaluationFailed, b};
        }
        fb = *value;
    }
    return {RootSearchStatus::NotConverged, b};
}

RootSearchResult findNonNegativeRoot(double lo, double hi, RootFunction f,
                                     std::optional<ExpansionFloor> floor) {
    const std::optional<double> flo = f(lo);
    if (!flo) {
        return {RootSearchStatus::EvaluationFailed, lo};
    }
    const std::optional<double> fhi = f(hi);
    if (!fhi) {
        return {RootSearchStatus::EvaluationFailed, hi};
    }
    Bracket bracket{lo, hi, *flo, *fhi};
    const RootSearchStatus expansion = expandBracket(bracket, f, floor);
    if (expansion != RootSearchStatus::Found) {
        return {expansion, bracket.hi};
    }
    return solveBracketed(bracket, f, kNonNegativeRootTolerances);
}

}  // namespace quorvel
