#include <cmath>

#include "numerics/calculators.h"
#include "numerics/f/f_arguments.h"
#include "numerics/f/f_messages.h"
#include "numerics/f/noncentral_beta.h"
#include "numerics/f/noncentral_f.h"
#include "numerics/f/three_moment.h"
#include "numerics/foundations/failure/failure_value.h"

namespace quorvel {

using namespace f_arguments;
using namespace f_messages;

namespace {
constexpr double kUnknownMethodResult = kFailureValue;
}  // namespace

double NoncentralF::cdf(double fValue, int df1, int df2, double lambda, int method) {
    return checkedTail(fValue, df1, df2, lambda, method, Tail::Lower);
}

double NoncentralF::upper(double fValue, int df1, int df2, double lambda, int method) {
    return checkedTail(fValue, df1, df2, lambda, method, Tail::Upper);
}

double NoncentralF::checkedTail(double fValue, int df1, int df2, double lambda, int method,
                                Tail tail) {
    if (const char* problem = distributionArgumentProblem(df1, df2, lambda)) {
        return reportFailure(problem);
    }
    this->fValue = fValue;
    this->df1 = df1;
    this->df2 = df2;
    this->lambda = lambda;
    this->method = method;
    return evaluateTail(tail);
}

double NoncentralF::evaluateCdf() {
    return evaluateTail(Tail::Lower);
}

double NoncentralF::evaluateTail(Tail tail) {
    switch (method) {
        case methodNumber(FMethod::Exact):
            return exactTail(fValue, df1, df2, lambda, tail);
        case methodNumber(FMethod::ThreeMoment):
            return approximateTail(fValue, df1, df2, lambda, tail);
        default:
            return kUnknownMethodResult;
    }
}

double NoncentralF::exactCdf(double f, double nu1, double nu2, double lambda) {
    return exactTail(f, nu1, nu2, lambda, Tail::Lower);
}

// P(F' <= f) = I_y(ν1/2, ν2/2; λ) with y = (ν1/2)f / ((ν1/2)f + ν2/2), and P(F' > f) the
// mixture of the complements, at y and 1 − y = (ν2/2) / ((ν1/2)f + ν2/2) each formed from f
// (1 − y by subtraction would lose the digits of the upper tail for a large f).
double NoncentralF::exactTail(double f, double nu1, double nu2, double lambda, Tail tail) {
    if (!(nu1 > 0.0) || !(nu2 > 0.0) || !(lambda >= 0.0) || !(lambda <= kMaxLambda) ||
        !(nu1 <= kMaxDf) || !(nu2 <= kMaxDf)) {
        return reportFailure(kParameterOutOfRange);
    }
    if (!(f > 0.0)) {
        return tail == Tail::Lower ? 0.0 : 1.0;
    }
    const double h1 = nu1 / 2.0;
    const double h2 = nu2 / 2.0;
    // For an F value so large that h1·f overflows, y is 1 (not inf/inf) and 1 − y is 0.
    const double scaledF = h1 * f;
    const double y = std::isinf(scaledF) ? 1.0 : scaledF / (scaledF + h2);
    const double complement = h2 / (scaledF + h2);
    NoncentralBeta& beta = calculators().beta();
    const double result = beta.tailProbability(y, complement, h1, h2, lambda, tail);
    if (beta.failed) {
        failed = 1;
        return failureValue();
    }
    return result;
}

double NoncentralF::approximateCdf(double f, int df1, int df2, double lambda) {
    return approximateTail(f, df1, df2, lambda, Tail::Lower);
}

double NoncentralF::approximateTail(double f, int df1, int df2, double lambda, Tail tail) {
    failed = 0;
    if (df1 <= 0 || df2 <= 0 || lambda < 0.0) {
        return reportFailure(kParameterOutOfRange);
    }
    const double n = df2;
    const ThreeMomentParameters tiku = threeMomentParameters(df1, n, lambda);
    return exactTail((f + tiku.d) / tiku.c, tiku.nu, n, 0.0, tail);
}

}  // namespace quorvel
