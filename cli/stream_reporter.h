#pragma once

#include <ostream>
#include <string_view>

#include "numerics/foundations/failure/failure_reporter.h"

namespace quorvel::cli {

// Writes every calculation-error message as one line to a stream (standard error).
class StreamReporter : public FailureReporter {
  public:
    explicit StreamReporter(std::ostream& stream) : stream_(stream) {}
    void show(std::string_view message) override;

  private:
    std::ostream& stream_;
};

}  // namespace quorvel::cli
