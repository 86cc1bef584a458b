#pragma once

#include "numerics/foundations/failure/failure_reporter.h"
#include "numerics/foundations/failure/failure_value.h"

namespace quorvel {

// Where the calculators' failures go: the failure value every routine returns after a failure
// and the reporter that shows its message, which a search may redirect for a while to hold its
// attempts' messages back.
class FailureContext {
  public:
    explicit FailureContext(FailureReporter& reporter) : reporter_(&reporter) {}

    // Returned by every numerical routine after a failure; a numeric field shows it as
    // "-----Failed-----".
    double failureValue = kFailureValue;

    FailureReporter& reporter() const { return *reporter_; }
    // Sends every later message to `reporter` and returns the one that was in place.
    FailureReporter& redirectReporter(FailureReporter& reporter) {
        FailureReporter& previous = *reporter_;
        reporter_ = &reporter;
        return previous;
    }

  private:
    FailureReporter* reporter_;
};

}  // namespace quorvel
