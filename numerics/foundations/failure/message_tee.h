#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "numerics/foundations/failure/failure_reporter.h"

namespace quorvel {

// Passes every message on to the reporter it was made with and keeps a copy in the order
// shown, so that a request knows which calculation errors it showed: it failed exactly when
// it showed one.
class MessageTee : public FailureReporter {
  public:
    explicit MessageTee(FailureReporter& next) : next_(next) {}
    FailureReporter& next() const { return next_; }
    void show(std::string_view message) override {
        messages.emplace_back(message);
        next_.show(message);
    }
    std::vector<std::string> messages;

  private:
    FailureReporter& next_;
};

}  // namespace quorvel
