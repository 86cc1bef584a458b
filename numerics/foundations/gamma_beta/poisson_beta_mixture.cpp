#include "numerics/foundations/gamma_beta/poisson_beta_mixture.h"

#include <algorithm>
#include <cmath>

#include "numerics/foundations/gamma_beta/incomplete_beta.h"

namespace quorvel {

namespace {
constexpr double kRelativeStop = 1e-16;
// Below this x the terms beyond the first are less than 1e-290 of it (their ratio is at most
// about c·x·(a + b)/(a + 1)), and a step of the downward recurrence, a factor up to 1.5/x, could
// leave the double range.
constexpr double kSmallestSummedX = 1e-300;
// Downwards, I (relative to the starting term) is brought back to [1, 2) by a power of 2 once it
// exceeds 2^20, so that the next step's factor of up to 1.5/x <= 1.5e300 cannot overflow; the
// weights, which fall by at most a factor c per step, are lifted by 2^512 below 2^−512.
const double kLargestCarriedBeta = std::ldexp(1.0, 20);
constexpr int kWeightRescaleBits = 512;
const double kWeightRescaleHigh = std::ldexp(1.0, kWeightRescaleBits);
const double kWeightRescaleLow = std::ldexp(1.0, -kWeightRescaleBits);
const double kLn2 = std::log(2.0);

// I_x(A, b) at the starting term in logarithmic form, with the first term of its recurrence
// d = x^A (1 − x)^b / (A·B(A, b)) relative to it, from one evaluation of the continued fraction
// on the side where it converges fast (as regularizedIncompleteBeta does).
struct StartingBeta {
    double logValue = 0.0;
    double relativeStep = 0.0;  // d / I_x(A, b)
};

StartingBeta startingBeta(double x, double A, double b) {
    const double logPrefactor =
        std::lgamma(A + b) - std::lgamma(A) - std::lgamma(b) + A * std::log(x) + b * std::log1p(-x);
    StartingBeta start;
    if (x < (A + 1.0) / (A + b + 2.0)) {
        // I = e^logPrefactor · CF / A and d = e^logPrefactor / A: no underflow however small I.
        const double fraction = betaContinuedFraction(A, b, x);
        start.logValue = logPrefactor + std::log(fraction / A);
        start.relativeStep = 1.0 / fraction;
    } else {
        const double prefactor = std::exp(logPrefactor);
        const double value = 1.0 - prefactor * betaContinuedFraction(b, A, 1.0 - x) / b;
        start.logValue = std::log(value);
        start.relativeStep = prefactor / A / value;
    }
    return start;
}
}  // namespace

// Benton and Krishnamoorthy, Computational Statistics & Data Analysis 43 (2003): start at the
// largest weight, j = m, with one full evaluation of I_x(a + m, b), then go upwards, where
// both factors fall and the bound on the rest is rigorous, and downwards, where the recurrence
// only adds positive terms (the direction in which I keeps its relative accuracy however small
// it is; upwards it subtracts, which costs only an absolute 1e-16 of the starting term). Every
// quantity is carried relative to the starting term, whose logarithm is kept apart.
PoissonBetaMixture poissonBetaMixture(double x, double a, double b, double c, double shift,
                                      int maxTerms) {
    PoissonBetaMixture result;
    const double m = x < kSmallestSummedX ? 0.0 : std::max(0.0, std::floor(c - shift));
    const StartingBeta start = startingBeta(x, a + m, b);
    double scaleLog = (m + shift) * std::log(c) - c - std::lgamma(m + shift + 1.0) + start.logValue;
    if (x < kSmallestSummedX) {
        result.value = std::exp(scaleLog);
        return result;
    }
    double sum = 1.0;
    int count = 1;

    // Upwards: j = m + 1, m + 2, ... The terms from j on are at most
    // I_j · Σ_{k>=j} w_k <= I_j · w_j / (1 − c/(j + s + 1)), since I falls and the weights'
    // ratio c/(k + s + 1) is below 1 beyond the mode.
    double betaUp = 1.0;
    double stepUp = start.relativeStep;
    double weightUp = 1.0;
    for (double j = m + 1.0;; j += 1.0) {
        const double A = a + j - 1.0;  // I_x(A + 1, b) = I_x(A, b) − d(A)
        betaUp -= stepUp;
        stepUp *= x * (A + b) / (A + 1.0);
        weightUp *= c / (j + shift);
        if (!(betaUp > 0.0) ||
            betaUp * weightUp / (1.0 - c / (j + shift + 1.0)) <= kRelativeStop * sum) {
            break;
        }
        sum += betaUp * weightUp;
        if (++count > maxTerms) {
            result.tooManyTerms = true;
            return result;
        }
    }

    // Downwards: j = m − 1, ..., 0. The terms may first rise (where I grows faster than the
    // weights fall) and then fall; the terms are log-concave in j, so once they fall with ratio
    // ρ the rest is at most ρ/(1 − ρ) times the last one.
    double betaDown = 1.0;
    double stepDown = start.relativeStep;
    double weightDown = 1.0;
    double lastTerm = 1.0;
    for (double j = m - 1.0; j >= 0.0; j -= 1.0) {
        const double A = a + j;  // I_x(A, b) = I_x(A + 1, b) + d(A)
        stepDown *= (A + 1.0) / (x * (A + b));
        betaDown += stepDown;
        weightDown *= (j + shift + 1.0) / c;
        const double term = betaDown * weightDown;
        sum += term;
        if (++count > maxTerms) {
            result.tooManyTerms = true;
            return result;
        }
        if (term < lastTerm) {
            const double ratio = term / lastTerm;
            if (term * ratio / (1.0 - ratio) <= kRelativeStop * sum) {
                break;
            }
        }
        lastTerm = term;
        if (betaDown > kLargestCarriedBeta) {
            const int exponent = std::ilogb(betaDown);
            betaDown = std::ldexp(betaDown, -exponent);
            stepDown = std::ldexp(stepDown, -exponent);
            sum = std::ldexp(sum, -exponent);
            lastTerm = std::ldexp(lastTerm, -exponent);
            scaleLog += exponent * kLn2;
        }
        if (weightDown < kWeightRescaleLow) {
            weightDown *= kWeightRescaleHigh;
            sum *= kWeightRescaleHigh;
            lastTerm *= kWeightRescaleHigh;
            scaleLog -= kWeightRescaleBits * kLn2;
        }
    }
    result.value = std::exp(std::log(sum) + scaleLog);
    return result;
}

}  // namespace quorvel
