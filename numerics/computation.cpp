#include "numerics/computation.h"

#include <cmath>
#include <limits>
#include <string_view>

#include "numerics/calculators.h"
#include "numerics/chisquare/noncentral_chi_square.h"
#include "numerics/f/f_quantities.h"
#include "numerics/foundations/failure_reporter.h"
#include "numerics/single_df_quantities.h"
#include "numerics/t/noncentral_t.h"

namespace quorvel {

namespace {
// Passes every message on and counts them: every calculation error is shown, so a request
// failed exactly when its count is not 0.
class CountingReporter : public FailureReporter {
  public:
    explicit CountingReporter(FailureReporter& next) : next_(next) {}
    FailureReporter& next() const { return next_; }
    void show(std::string_view message) override {
        ++shown;
        next_.show(message);
    }
    int shown = 0;

  private:
    FailureReporter& next_;
};

ComputeOutcome computeOf(Calculators& calculators, const ComputeRequest& request) {
    switch (request.distribution) {
        case DistributionKind::F:
            return computeF(calculators, request);
        case DistributionKind::T:
            return computeSingleDf(calculators.t(), calculators.failureValue, request);
        case DistributionKind::ChiSquare:
            break;
    }
    return computeSingleDf(calculators.chiSquare(), calculators.failureValue, request);
}
}  // namespace

ComputeOutcome computeQuantity(Calculators& calculators, const ComputeRequest& request) {
    CountingReporter counter(calculators.reporter());
    calculators.redirectReporter(counter);
    ComputeOutcome outcome = computeOf(calculators, request);
    calculators.redirectReporter(counter.next());
    outcome.failed = counter.shown > 0;
    return outcome;
}

const char* distributionName(DistributionKind distribution) {
    switch (distribution) {
        case DistributionKind::F:
            return "f";
        case DistributionKind::T:
            return "t";
        case DistributionKind::ChiSquare:
            break;
    }
    return "chisq";
}

int truncateDegreesOfFreedom(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    constexpr int kLargest = std::numeric_limits<int>::max();
    constexpr int kSmallest = std::numeric_limits<int>::min();
    if (value >= static_cast<double>(kLargest)) {
        return kLargest;
    }
    if (value <= static_cast<double>(kSmallest)) {
        return kSmallest;
    }
    return static_cast<int>(value);
}

}  // namespace quorvel
