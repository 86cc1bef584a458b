#pragma once

#include <ostream>
#include <string_view>

#include "numerics/foundations/failure_reporter.h"

namespace quorvel::cli {

// Writes every calculation-error message as one line to a stream (standard error) and counts
// them, so that the exit status can tell whether any was shown.
class StreamReporter : public FailureReporter {
  public:
    explicit StreamReporter(std::ostream& stream) : stream_(stream) {}
    void show(std::string_view message) override;
    int count() const { return count_; }

  private:
    std::ostream& stream_;
    int count_ = 0;
};

}  // namespace quorvel::cli
