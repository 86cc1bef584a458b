#include "numerics/chisquare/poisson_gamma_mixture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include "numerics/foundations/gamma_beta/incomplete_gamma.h"
#include "numerics/foundations/gamma_beta/saddle_point_terms.h"
#include "numerics/foundations/series/poisson_mixture.h"

namespace quorvel {

namespace {
// The terms left out at either end of the sum are bounded by this fraction of the sum.
constexpr double kTolerance = 1e-17;
// The walk passes from the Poisson mode to the largest term, at most some √(m·y) <= 15000
// indices before the upper tail underflows, and 40·√m beyond; the budget only guards the loop.
constexpr std::int64_t kMaxSteps = 2000000;
// The terms are carried relative to exp(logScale) and rescaled by 1e-100 once the sum passes
// 1e100; a single step multiplies a term by at most about 1e24 (see below), so the sum stays
// below 1e124 and the products of the stopping test below 1e250.
constexpr double kRescaleAbove = 1e100;
constexpr double kRescaleFactor = 1e-100;
constexpr double kLogRescaleFactor = -100.0 * std::numbers::ln10;
// e^−760 lies below the smallest subnormal double.
constexpr double kLogNegligible = -760.0;

// The running sum of the walk from its first index outward, in units of exp(logScale).
struct Walk {
    double logScale = 0.0;
    double term = 1.0;
    // The part of the next term that the recurrence adds (f or h below).
    double increment = 0.0;
    double sum = 1.0;

    void rescaleIfLarge() {
        if (sum > kRescaleAbove) {
            term *= kRescaleFactor;
            increment *= kRescaleFactor;
            sum *= kRescaleFactor;
            logScale -= kLogRescaleFactor;
        }
    }
    // Adds the new term; true once the terms fall and the bound on all later ones, which fall
    // faster still (the terms are log-concave in j), is below kTolerance of the sum:
    // next·ρ/(1 − ρ) with ρ = next/term, written without a division.
    bool addAndCheckEnd(double next) {
        const double previous = term;
        term = next;
        sum += next;
        return next < previous && next * next <= kTolerance * sum * (previous - next);
    }
    PoissonGammaMixture result(bool converged) const { return {logScale, sum, converged}; }
};

// Where y lies below the shapes the lower tail's terms are far smaller than the Poisson weights
// and a start far out would carry a logarithm of thousands, whose rounding is the result's
// error. With g_j = w_j·d(a + j): g_j <= w_j·P_j <= g_j/(1 − y/(a + j + 1)) (the series of P
// falls by y/(b + k) <= y/(b + 1)), so the sum is at least the largest g_j and the terms beyond
// J at most Σ_{j>J} g_j/(1 − y/(a + j + 1)); g_{j+1}/g_j = m·y/((j + 1)(a + j + 1)) falls with j.
// The first J from the largest g_j on where that bound is below kTolerance of it; the largest
// index when y is not below the shapes there.
std::int64_t tighterTop(double y, double a, double m) {
    constexpr std::int64_t kNoTighterTop = std::numeric_limits<std::int64_t>::max();
    std::int64_t top = mixturePeak(0.0, m * y, a + 1.0);
    double relative = 1.0;
    for (std::int64_t step = 0; step < kMaxSteps; ++step) {
        const double index = static_cast<double>(top);
        const double ratio = m * y / ((index + 1.0) * (a + index + 1.0));
        const double following = relative * ratio;
        const double nextRatio = m * y / ((index + 2.0) * (a + index + 2.0));
        const double share = 1.0 - y / (a + index + 2.0);
        if (!(share > 0.0)) {
            return kNoTighterTop;
        }
        if (ratio < 1.0 && nextRatio < 1.0 &&
            following / (share * (1.0 - nextRatio)) <= kTolerance) {
            return top;
        }
        relative = following;
        ++top;
    }
    return kNoTighterTop;
}

// The lower tail Σ_j w_j·P_j, w_j = Poisson(j; m), P_j = P(a + j, y). P_j falls with j, so the
// largest term lies at or below the Poisson mode and beyond the index J found first the terms
// sum to at most P_J·Σ_{j>J} w_j <= kTolerance·w_mode·P_mode. P_J is computed directly and the
// walk goes down from there with P(b − 1, y) = P(b, y) + d(b − 1), d(b) = y^b·e^(−y)/Γ(b + 1),
// which only adds: t_{j−1} = (j/m)·t_j + f_{j−1}, f_j = w_j·d(a + j), f_{j−1} = f_j·j·(a +
// j)/(m·y). Where m·y/(a + 1) <= kTolerance every term after the first is below that fraction of
// it (t_j/t_0 <= (m·y/(a + 1))^j/j!), and the first, e^(−m)·P(a, y), is the sum.
PoissonGammaMixture lowerTail(double y, double a, double m) {
    if (m * y / (a + 1.0) <= kTolerance) {
        return {-m + logRegularizedIncompleteGamma(Tail::Lower, a, y), 1.0, true};
    }
    // Σ_{j>J} w_j <= w_{J+1}/(1 − m/(J + 2)), the ratios w_{j+1}/w_j = m/(j + 1) falling.
    std::int64_t top = static_cast<std::int64_t>(std::floor(m));
    double weightRatio = 1.0;
    for (std::int64_t step = 0; step < kMaxSteps; ++step) {
        const double next = weightRatio * m / static_cast<double>(top + 1);
        if (next / (1.0 - m / static_cast<double>(top + 2)) <= kTolerance) {
            break;
        }
        weightRatio = next;
        ++top;
    }
    // Nearer the bulk the start's logarithm stays below some 600 and the search is not worth it.
    constexpr double kTighterTopBelow = 0.5;
    if (y < kTighterTopBelow * (a + m)) {
        top = std::min(top, tighterTop(y, a, m));
    }
    const double b = a + static_cast<double>(top);
    const double logTail = logRegularizedIncompleteGamma(Tail::Lower, b, y);
    Walk walk;
    walk.logScale = logPoissonProbability(static_cast<double>(top), m) + logTail;
    walk.increment = std::exp(logPoissonProbability(b, y) - logTail);
    // With m·y/(a + 1) > 1e-17 a step's factor j·(a + j)/(m·y) stays below 1e17·j·(j + 1).
    const double inverseM = 1.0 / m;
    const double inverseY = 1.0 / y;
    for (std::int64_t j = top; j > 0; --j) {
        const double index = static_cast<double>(j);
        const double weightStep = index * inverseM;
        walk.increment *= weightStep * ((a + index) * inverseY);
        if (walk.addAndCheckEnd(weightStep * walk.term + walk.increment)) {
            break;
        }
        walk.rescaleIfLarge();
    }
    return walk.result(true);
}

// The upper tail Σ_j w_j·Q_j, Q_j = Q(a + j, y). Q_j rises with j, so the largest term lies at
// or above the Poisson mode and below the index J found first the terms sum to at most
// Q_J·Σ_{j<J} w_j <= kTolerance·w_mode·Q_mode. Q_J is computed directly and the walk goes up
// with Q(b + 1, y) = Q(b, y) + d(b), which only adds: t_{j+1} = (m/(j + 1))·t_j + h_j,
// h_j = w_{j+1}·d(a + j), h_{j+1} = h_j·m·y/((j + 2)(a + j + 1)). P(X > x) <= 2^a·e^(m − y/2)
// (Chernoff's bound at s = 1/4), so beyond e^−760 the tail is 0 to double precision.
PoissonGammaMixture upperTail(double y, double a, double m) {
    if (a * std::numbers::ln2 + m - y / 2.0 < kLogNegligible) {
        return {0.0, 0.0, true};
    }
    // Σ_{j<J} w_j <= w_{J−1}/(1 − (J − 1)/m), the ratios w_{j−1}/w_j = j/m falling downwards.
    std::int64_t bottom = static_cast<std::int64_t>(std::floor(m));
    double weightRatio = 1.0;
    while (bottom > 0) {
        const double next = weightRatio * static_cast<double>(bottom) / m;
        if (next / (1.0 - static_cast<double>(bottom - 1) / m) <= kTolerance) {
            break;
        }
        weightRatio = next;
        --bottom;
    }
    const double b = a + static_cast<double>(bottom);
    const double logTail = logRegularizedIncompleteGamma(Tail::Upper, b, y);
    Walk walk;
    walk.logScale = logPoissonProbability(static_cast<double>(bottom), m) + logTail;
    walk.increment = m / static_cast<double>(bottom + 1) * std::exp(logPoissonProbability(b, y) - logTail);
    for (std::int64_t j = bottom; j < bottom + kMaxSteps; ++j) {
        const double index = static_cast<double>(j);
        const double next = (m / (index + 1.0)) * walk.term + walk.increment;
        walk.increment *= (m / (index + 2.0)) * (y / (a + index + 1.0));
        if (walk.addAndCheckEnd(next)) {
            return walk.result(true);
        }
        walk.rescaleIfLarge();
    }
    return walk.result(false);
}
}  // namespace

PoissonGammaMixture sumPoissonGammaMixture(Tail tail, double y, double a, double m) {
    return tail == Tail::Lower ? lowerTail(y, a, m) : upperTail(y, a, m);
}

}  // namespace quorvel
