#include <cmath>

#include "numerics/calculators.h"
#include "numerics/f/f_arguments.h"
#include "numerics/f/noncentral_beta.h"
#include "numerics/f/noncentral_f.h"
#include "numerics/f/three_moment.h"
#include "numerics/foundations/failure/failure_value.h"

namespace quorvel {

using namespace f_arguments;

namespace {
constexpr double kUnknownMethodResult = kFailureValue;
constexpr const char* kParameterOutOfRange = "F distribution parameter out of range.";
}  // namespace

double NoncentralF::cdf(double fValue, int df1, int df2, double lambda, int method) {
    if (const char* problem = distributionArgumentProblem(df1, df2, lambda)) {
        return reportFailure(problem);
    }
    this->fValue = fValue;
    this->df1 = df1;
    this->df2 = df2;
    this->lambda = lambda;
    this->method = method;
    return evaluateCdf();
}

double NoncentralF::evaluateCdf() {
    switch (method) {
        case methodNumber(FMethod::Exact):
            return exactCdf(fValue, df1, df2, lambda);
        case methodNumber(FMethod::ThreeMoment):
            return approximateCdf(fValue, df1, df2, lambda);
        default:
            return kUnknownMethodResult;
    }
}

// P(F' <= f) = I_y(ν1/2, ν2/2; λ) with y = (ν1/2)f / ((ν1/2)f + ν2/2).
double NoncentralF::exactCdf(double f, double nu1, double nu2, double lambda) {
    if (!(nu1 > 0.0) || !(nu2 > 0.0) || !(lambda >= 0.0) || !(lambda <= kMaxLambda) ||
        !(nu1 <= kMaxDf) || !(nu2 <= kMaxDf)) {
        return reportFailure(kParameterOutOfRange);
    }
    if (!(f > 0.0)) {
        return 0.0;
    }
    const double h1 = nu1 / 2.0;
    const double h2 = nu2 / 2.0;
    // For an F value so large that h1·f overflows, y is 1 (not inf/inf).
    const double scaledF = h1 * f;
    const double y = std::isinf(scaledF) ? 1.0 : scaledF / (scaledF + h2);
    NoncentralBeta& beta = calculators().beta();
    beta.setA(h1);
    beta.setB(h2);
    beta.setX(y);
    beta.setLambda(lambda);
    const double result = beta.evaluateCdf();
    if (beta.failed) {
        failed = 1;
        return failureValue();
    }
    return result;
}

double NoncentralF::approximateCdf(double f, int df1, int df2, double lambda) {
    failed = 0;
    if (df1 <= 0 || df2 <= 0 || lambda < 0.0) {
        return reportFailure(kParameterOutOfRange);
    }
    const double n = df2;
    const ThreeMomentParameters tiku = threeMomentParameters(df1, n, lambda);
    return exactCdf((f + tiku.d) / tiku.c, tiku.nu, n, 0.0);
}

}  // namespace quorvel
