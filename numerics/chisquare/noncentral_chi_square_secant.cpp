#include <cmath>
#include <limits>
#include <optional>

#include "numerics/chisquare/chi_square_arguments.h"
#include "numerics/chisquare/noncentral_chi_square.h"
#include "numerics/foundations/roots/safeguarded_search.h"

namespace quorvel {

using namespace chi_square_arguments;

double NoncentralChiSquare::searchResidual(SearchedArgument searched, double value,
                                           double fixedArgument, int df, double target) {
    const double probability = searched == SearchedArgument::ChiSquare
                                   ? cdf(value, df, fixedArgument)
                                   : cdf(fixedArgument, df, value);
    return probability - target;
}

// The secant method on cdf − target, the first slope from a one-sided difference, with the
// bracketed fallback inside the accepted range: every x >= 0, on which cdf rises, or
// 0 <= λ <= 5000, on which it falls.
double NoncentralChiSquare::secantSearch(SearchedArgument searched, double start,
                                         double fixedArgument, int df, double target,
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
    const MonotoneRange range = searchingValue
                                    ? MonotoneRange{0.0, std::numeric_limits<double>::max(), true}
                                    : MonotoneRange{0.0, kMaxLambda, false};
    return searchAnswer(safeguardedSearch({start}, residual, rules, range), held,
                        "Percentage point convergence failure.");
}

}  // namespace quorvel
