#include <cmath>

#include "numerics/calculators.h"
#include "numerics/chisquare/chi_square_arguments.h"
#include "numerics/chisquare/noncentral_chi_square.h"
#include "numerics/foundations/normal_distribution.h"

namespace quorvel {

using namespace chi_square_arguments;

double NoncentralChiSquare::percentagePoint(double cumP, int df, double lambda) {
    if (!isNoncentrality(lambda)) {
        return reportFailure(kLambdaOutOfRange);
    }
    if (!isDegreesOfFreedom(df)) {
        return reportFailure("Df out of range. Limits: 1 <= Df <= 100000");
    }
    if (!isCumulativeProbability(cumP)) {
        return reportFailure(kCumPOutOfRange);
    }
    this->cumP = cumP;
    this->df = df;
    this->lambda = lambda;
    return searchPercentagePoint();
}

// Start: the Wilson–Hilferty cube approximation with the noncentral mean n + λ and variance
// 2(n + 2λ) (Abdel-Aty, Biometrika 41, 1954); then a secant search on the distribution function.
double NoncentralChiSquare::searchPercentagePoint() {
    // 2/9 to the digits the start uses.
    constexpr double kTwoNinths = 0.2222222222222222;
    const double p = cumP;
    const int n = df;
    const double noncentrality = lambda;
    const double z = calculators().normal().quantile(p);
    const double a = n + noncentrality;
    const double r = noncentrality / a;
    const double s = (1.0 + r) / a;
    const double v = kTwoNinths * s;
    const double root = std::sqrt(v) * z + 1.0 - v;
    double start = a * (root * root * root);
    if (start < 0.0) {
        start = 0.0;
    }
    return secantSearch(SearchedArgument::ChiSquare, start, noncentrality, n, p);
}

}  // namespace quorvel
