#include <cmath>

#include "numerics/calculators.h"
#include "numerics/chisquare/chi_square_arguments.h"
#include "numerics/chisquare/noncentral_chi_square.h"
#include "numerics/foundations/gamma_beta/incomplete_gamma.h"
#include "numerics/foundations/normal_distribution.h"

namespace quorvel {

namespace {

using namespace chi_square_arguments;

// ln √(π/2), to the digits the odd start of the recursion uses.
constexpr double kLogRootHalfPi = 0.22579135264473;

// P(χ²_k <= x) carried upwards two degrees of freedom at a time, together with the term that
// each step subtracts (Abramowitz and Stegun 26.4.8):
// P(χ²_{k+2} <= x) = P(χ²_k <= x) − (x/2)^(k/2) e^(−x/2) / Γ(k/2 + 1).
struct CentralRecursion {
    double x = 0.0;
    double divisor = 0.0;
    double logTerm = 0.0;
    double term = 0.0;
    double probability = 0.0;

    // Starts at P(χ²_2 <= x) for even degrees of freedom, at P(χ²_1 <= x) for odd ones.
    CentralRecursion(double chiSquare, bool evenDf, const NormalDistribution& normal)
        : x(chiSquare) {
        if (evenDf) {
            divisor = 2.0;
            logTerm = -x / 2.0;
            term = std::exp(logTerm);
            probability = 1.0 - term;
        } else {
            divisor = 1.0;
            logTerm = -(std::log(x) + x) / 2.0 - kLogRootHalfPi;
            term = std::exp(logTerm);
            probability = 1.0 - 2.0 * (1.0 - normal.cdf(std::sqrt(x)));
        }
    }

    // Stands the recursion at n degrees of freedom at once: P(χ²_n <= x) = P(n/2, x/2) from one
    // evaluation of the incomplete gamma function, and the term (x/2)^(n/2 − 1) e^(−x/2) /
    // Γ(n/2) that the step to n + 2 subtracts, through its logarithm.
    void jumpTo(int n) {
        const double halfDf = n / 2.0;
        divisor = n;
        logTerm = (halfDf - 1.0) * std::log(x / 2.0) - x / 2.0 - std::lgamma(halfDf);
        term = std::exp(logTerm);
        probability = regularizedLowerIncompleteGamma(halfDf, x / 2.0);
    }

    // One step up by two degrees of freedom. While e^(−x/2) is far below the double range
    // (x above about 100) the term is carried as its logarithm so that it does not underflow
    // to 0 before the factors x/k have lifted it; once the logarithm reaches −50 the plain
    // product takes over for good.
    void centralStep() {
        constexpr double kLogarithmicBelow = -50.0;
        if (logTerm >= kLogarithmicBelow) {
            term = term * x / divisor;
        } else {
            logTerm = logTerm + std::log(x / divisor);
            term = std::exp(logTerm);
        }
        probability = probability - term;
        divisor = divisor + 2.0;
    }
};

struct SeriesSum {
    double sum = 0.0;
    bool converged = false;
};

// Σ_j ((λ/2)^j / j!) · P(χ²_{n+2j} <= x), the Poisson mixture in units of weight = e^(−λ/2)
// (Abramowitz and Stegun 26.4.25), stopped when the Poisson mass still unspent times the
// current central probability (a bound on the remaining terms) and the last term are both
// below an absolute 1e-6 in probability. The Poisson weights peak at j = λ/2 with a spread of
// √(λ/2) <= 21.5 in the series range, so 500 terms beyond the peak leave far less than 1e-6
// of the mass unspent; the bound only guards the loop.
SeriesSum poissonMixture(double x, int n, double halfLambda, double weight,
                         const NormalDistribution& normal) {
    constexpr double kAbsoluteTolerance = 1e-6;
    constexpr int kTermsBeyondPeak = 500;
    const int maxTerms = kTermsBeyondPeak + static_cast<int>(std::ceil(halfLambda));
    // The sum runs in units of the weight, so the tolerance is divided by it.
    const double tolerance = kAbsoluteTolerance / weight;
    // Beyond this many degrees of freedom one evaluation of the incomplete gamma function costs
    // less than walking the recursion up from 1 or 2 (50000 steps at Df 100000).
    constexpr int kLargestWalkedDf = 200;
    CentralRecursion central(x, n % 2 == 0, normal);
    // The recursion's divisor equals n once it stands at n degrees of freedom, and the sum
    // goes on from there with the same divisor sequence.
    if (n > kLargestWalkedDf) {
        central.jumpTo(n);
    }
    while (central.divisor < n - 1) {
        central.centralStep();
    }
    double poissonRatio = 1.0;
    double remainingMass = 1.0 / weight - 1.0;
    SeriesSum series{central.probability, false};
    for (int j = 1; j <= maxTerms && !series.converged; ++j) {
        poissonRatio = halfLambda * poissonRatio / j;
        central.centralStep();
        remainingMass = remainingMass - poissonRatio;
        const double term = poissonRatio * central.probability;
        series.sum = series.sum + term;
        // Written so that a comparison with NaN counts as met: at x = 0 with odd Df the
        // central terms are 0·∞ and the result is taken as 0 below.
        series.converged =
            !(central.probability * remainingMass >= tolerance) && !(term >= tolerance);
    }
    return series;
}

// The normal approximation to a power of x/(n + λ) with Sankaran's exponent
// h = 1 − 2(n + λ)(n + 3λ) / (3(n + 2λ)²) (Sankaran, Biometrika 46, 1959), shifted by d.
double powerNormalApproximation(double x, int n, double lambda, const NormalDistribution& normal) {
    const double a = n + lambda;
    const double b = a + lambda;
    const double q = b + lambda;
    const double h = 1.0 - 2.0 * a * q / (3.0 * b * b);
    const double d = b / a - q / b;
    const double y = std::pow((x + d) / a, h);
    const double mu = 1.0 + (h / a) * (d - 2.0 * q / (3.0 * b));
    const double sigma = std::sqrt(2.0 * b * (h / a) * (h / a));
    const double probability = normal.cdf((y - mu) / sigma);
    return probability < 0.0 ? 0.0 : probability;
}

}  // namespace

double NoncentralChiSquare::cdf(double x, int df, double lambda) {
    if (const char* problem = distributionArgumentProblem(x, df, lambda)) {
        return reportFailure(problem);
    }
    chiSquare = x;
    this->df = df;
    this->lambda = lambda;
    return evaluateCdf();
}

// Poisson mixture of central chi-square probabilities (Abramowitz and Stegun 26.4.25) while
// e^(−λ/2) stays inside the double range, Sankaran's normal approximation beyond.
double NoncentralChiSquare::evaluateCdf() {
    constexpr double kSmallestPoissonWeight = 1e-200;
    failed = 0;
    const double x = chiSquare;
    const int n = df;
    // The recursion would meet ∞ − ∞ at an infinite x; the whole mass lies below it.
    if (std::isinf(x)) {
        return 1.0;
    }
    const NormalDistribution& normal = calculators().normal();
    const double halfLambda = lambda / 2.0;
    const double weight = std::exp(-halfLambda);
    if (!(weight > kSmallestPoissonWeight)) {
        return powerNormalApproximation(x, n, lambda, normal);
    }
    const SeriesSum series = poissonMixture(x, n, halfLambda, weight, normal);
    if (!series.converged) {
        return reportFailure("X2 CDF failed to converge.");
    }
    const double probability = weight * series.sum;
    return probability >= 0.0 ? probability : 0.0;
}

}  // namespace quorvel
