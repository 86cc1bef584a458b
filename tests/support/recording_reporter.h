#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "numerics/foundations/failure_reporter.h"

namespace quorvel::testing {

// Keeps every message shown, in order, instead of showing a box.
class RecordingReporter : public FailureReporter {
  public:
    void show(std::string_view message) override { messages.emplace_back(message); }
    std::vector<std::string> messages;
};

}  // namespace quorvel::testing
