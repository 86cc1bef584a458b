#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "numerics/foundations/failure/failure_reporter.h"

namespace quorvel {

// Keeps every message in the order shown instead of showing it: the command line's batch mode
// collects a row's messages with it, and a search holds back the messages of an attempt that a
// fallback may still recover.
class RecordingReporter : public FailureReporter {
  public:
    void show(std::string_view message) override { messages.emplace_back(message); }
    std::vector<std::string> messages;
};

}  // namespace quorvel
