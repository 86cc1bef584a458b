#include <cmath>
#include <limits>
#include <optional>

#include "numerics/chisquare/chi_square_arguments.h"
#include "numerics/chisquare/chi_square_messages.h"
#include "numerics/chisquare/noncentral_chi_square.h"
#include "numerics/foundations/roots/safeguarded_search.h"

namespace quorvel {

using namespace chi_square_arguments;
using namespace chi_square_messages;

namespace {
// The residual is this multiple of ln(probability/target); see searchResidual.
constexpr double kLogResidualScale = 100.0;
}  // namespace

double NoncentralChiSquare::searchedTail(SearchedArgument searched, double value,
                                         double fixedArgument, int df, Tail tail) {
    const bool searchingValue = searched == SearchedArgument::ChiSquare;
    const double x = searchingValue ? value : fixedArgument;
    const double noncentrality = searchingValue ? fixedArgument : value;
    return tail == Tail::Lower ? cdf(x, df, noncentrality) : upper(x, df, noncentrality);
}

double NoncentralChiSquare::searchResidual(SearchedArgument searched, double value,
                                           double fixedArgument, int df, TailProbability target) {
    const double probability = searchedTail(searched, value, fixedArgument, df, target.tail);
    const double floored = std::fmax(probability, std::numeric_limits<double>::denorm_min());
    return kLogResidualScale * std::log(floored / target.probability);
}

// The secant method on the residual, the first slope from a one-sided difference, with the
// bracketed fallback inside the accepted range: every x >= 0, on which the lower tail rises and
// the upper tail falls, or 0 <= λ <= 5000, on which the lower tail falls and the upper rises.
double NoncentralChiSquare::secantSearch(SearchedArgument searched, double start,
                                         double fixedArgument, int df, TailProbability target,
                                         HeldMessages& held) {
    const bool searchingValue = searched == SearchedArgument::ChiSquare;
    auto residual = [&](double value) -> std::optional<double> {
        const double r = searchResidual(searched, value, fixedArgument, df, target);
        if (failed != 0) {
            return std::nullopt;
        }
        return r;
    };
    // A chi-square value below 0 has no probability; a λ iterate is left free, and the fallback
    // takes over when cdf rejects it.
    SecantRules rules;
    rules.nonNegative = searchingValue;
    const bool rising = searchingValue == (target.tail == Tail::Lower);
    const MonotoneRange range = searchingValue
                                    ? MonotoneRange{0.0, std::numeric_limits<double>::max(), rising}
                                    : MonotoneRange{0.0, kMaxLambda, rising};
    return answerOf(safeguardedSearch({start}, residual, rules, range),
                    SearchFailureMessages::always(kSearchNotConverged), &held);
}

}  // namespace quorvel
