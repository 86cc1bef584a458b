#pragma once

#include <cmath>

#include "numerics/f/f_messages.h"
#include "numerics/foundations/tail_probability.h"

namespace quorvel::f_arguments {

// Inclusive bounds of the arguments that the F family's routines accept.
constexpr int kMaxDf = 10000;
constexpr double kMaxLambda = 10000.0;
constexpr double kMinCumP = 0.0001;
constexpr double kMaxCumP = 0.9999;

// The message for the first of Df1, Df2 and λ (in that order; a NaN λ is refused) that the
// distribution function and the density do not accept, or nullptr when all three are accepted.
inline const char* distributionArgumentProblem(int df1, int df2, double lambda) {
    if (df1 < 1 || df1 > kMaxDf) {
        return f_messages::kDf1OutOfRange;
    }
    if (df2 < 1 || df2 > kMaxDf) {
        return f_messages::kDf2OutOfRange;
    }
    if (lambda < 0.0 || lambda > kMaxLambda || std::isnan(lambda)) {
        return f_messages::kLambdaOutOfRange;
    }
    return nullptr;
}

// The `method` argument of the F routines: 0 the exact noncentral beta series, 1 Tiku's
// three-moment approximation; the distribution function gives the failure value, without a
// message, for any other number.
enum class FMethod : int { Exact = 0, ThreeMoment = 1 };
constexpr int methodNumber(FMethod method) {
    return static_cast<int>(method);
}

// The tail a cumulative probability is solved in: a cumP above 1/2 on the upper tail, whose
// probability 1 − cumP is exact there (Sterbenz's lemma), so that a search for a high cumP
// meets the tail's own digits instead of those of 1 − tail.
inline TailProbability tailOfCumP(double cumP) {
    return cumP > 0.5 ? TailProbability{Tail::Upper, 1.0 - cumP}
                      : TailProbability{Tail::Lower, cumP};
}

}  // namespace quorvel::f_arguments
