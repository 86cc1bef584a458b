#include "numerics/foundations/gamma_beta/poisson_beta_mixture.h"

#include <algorithm>
#include <cmath>

#include "numerics/foundations/gamma_beta/incomplete_beta.h"
#include "numerics/foundations/gamma_beta/saddle_point_terms.h"

namespace quorvel {

namespace {
constexpr double kRelativeStop = 1e-16;
// Below this x the lower tail's terms beyond the first are less than 1e-290 of it (their ratio
// is at most about c·x·(a + b)/(a + 1)), and a step of the downward recurrence, a factor up to
// 1.5/x, could leave the double range.
constexpr double kSmallestSummedX = 1e-300;
// A rising incomplete beta (relative to the starting term) is brought back to [1, 2) by a power
// of 2 once it exceeds 2^20, so that the next step's factor (up to 1.5/x <= 1.5e300 downwards)
// cannot overflow; the weights, which fall by at most a factor c per step, are lifted by 2^512
// below 2^−512.
const double kLargestCarriedBeta = std::ldexp(1.0, 20);
constexpr int kWeightRescaleBits = 512;
const double kWeightRescaleHigh = std::ldexp(1.0, kWeightRescaleBits);
const double kWeightRescaleLow = std::ldexp(1.0, -kWeightRescaleBits);
const double kLn2 = std::log(2.0);

// The sum so far, in a unit e^scaleLog; the starting term is startUnit in that unit.
struct RunningSum {
    double sum = 1.0;
    double startUnit = 1.0;
    double scaleLog = 0.0;
    int count = 1;
    int maxTerms = 0;
    bool tooManyTerms = false;

    void rescale(double factor, double logFactor) {
        sum *= factor;
        startUnit *= factor;
        scaleLog -= logFactor;
    }
};

struct MixtureArguments {
    double x;
    double a;
    double b;
    double c;
    double shift;
    double m;             // the starting index, the largest weight
    double relativeStep;  // x^A y^b / (A·B(A, b)) at A = a + m, relative to the starting tail
};

// One side of the sum from the starting index, upwards (direction +1) or downwards (−1). On
// the side where the incomplete beta function falls (upwards for the lower tail, downwards
// for the complement) the recurrence subtracts, which costs an absolute 1e-16 of the starting
// term only, and the rest of the side is at most I_j·w_j/(1 − r), r the bound on the weights'
// ratio that side. Where it rises the recurrence adds positive steps (the direction in which
// the tail keeps its relative accuracy however small it is); the terms may first rise and then
// fall, and being log-concave in j, once they fall with ratio ρ the rest is at most ρ/(1 − ρ)
// times the last one.
void sumSide(const MixtureArguments& args, int direction, bool betaRises, RunningSum& run) {
    const double sign = betaRises ? 1.0 : -1.0;
    double beta = 1.0;
    double step = args.relativeStep;
    double weight = run.startUnit;
    double lastTerm = run.startUnit;
    for (double j = args.m + direction; j >= 0.0; j += direction) {
        double weightRatioBound = 0.0;
        if (direction > 0) {
            const double A = args.a + j - 1.0;  // I_x(A + 1, b) = I_x(A, b) ∓ d(A)
            beta += sign * step;
            step *= args.x * (A + args.b) / (A + 1.0);
            weight *= args.c / (j + args.shift);
            weightRatioBound = args.c / (j + args.shift + 1.0);
        } else {
            const double A = args.a + j;  // I_x(A, b) = I_x(A + 1, b) ± d(A)
            step *= (A + 1.0) / (args.x * (A + args.b));
            beta += sign * step;
            weight *= (j + args.shift + 1.0) / args.c;
            weightRatioBound = (j + args.shift) / args.c;
        }
        const double term = beta * weight;
        if (!betaRises && (!(beta > 0.0) || (weightRatioBound < 1.0 &&
                                             term / (1.0 - weightRatioBound) <=
                                                 kRelativeStop * run.sum))) {
            return;
        }
        run.sum += term;
        if (++run.count > run.maxTerms) {
            run.tooManyTerms = true;
            return;
        }
        if (betaRises) {
            if (term < lastTerm) {
                const double ratio = term / lastTerm;
                if (term * ratio / (1.0 - ratio) <= kRelativeStop * run.sum) {
                    return;
                }
            }
            lastTerm = term;
        }
        if (beta > kLargestCarriedBeta) {
            const int exponent = std::ilogb(beta);
            const double factor = std::ldexp(1.0, -exponent);
            beta *= factor;
            step *= factor;
            lastTerm *= factor;
            run.rescale(factor, -exponent * kLn2);
        }
        if (weight < kWeightRescaleLow) {
            weight *= kWeightRescaleHigh;
            lastTerm *= kWeightRescaleHigh;
            run.rescale(kWeightRescaleHigh, kWeightRescaleBits * kLn2);
        }
    }
}
}  // namespace

// Benton and Krishnamoorthy, Computational Statistics & Data Analysis 43 (2003): start at the
// largest weight, j = m, with one full evaluation of the tail at a + m, then sum each side with
// the recurrence. Every quantity is carried relative to the starting term, whose logarithm is
// kept apart; the weight there is in Loader's saddle-point form, exact to rounding for any c.
PoissonBetaMixture poissonBetaMixture(double x, double y, double a, double b, double c,
                                      double shift, Tail tail, int maxTerms) {
    PoissonBetaMixture result;
    const bool lowerBelowSummed = tail == Tail::Lower && x < kSmallestSummedX;
    const double m = lowerBelowSummed ? 0.0 : std::max(0.0, std::floor(c - shift));
    const LogIncompleteBeta start = logIncompleteBeta(x, y, a + m, b, tail);
    RunningSum run;
    run.maxTerms = maxTerms;
    run.scaleLog = logPoissonProbability(m + shift, c) + start.logValue;
    if (lowerBelowSummed || !std::isfinite(run.scaleLog)) {
        result.value = std::exp(run.scaleLog);
        return result;
    }
    const MixtureArguments args{x, a, b, c, shift, m, std::exp(start.logStep - start.logValue)};
    const bool lower = tail == Tail::Lower;
    sumSide(args, +1, !lower, run);
    if (!run.tooManyTerms) {
        sumSide(args, -1, lower, run);
    }
    if (run.tooManyTerms) {
        result.tooManyTerms = true;
        return result;
    }
    result.value = std::exp(std::log(run.sum) + run.scaleLog);
    return result;
}

PoissonBetaMixture poissonBetaMixture(double x, double a, double b, double c, double shift,
                                      int maxTerms) {
    return poissonBetaMixture(x, 1.0 - x, a, b, c, shift, Tail::Lower, maxTerms);
}

}  // namespace quorvel
