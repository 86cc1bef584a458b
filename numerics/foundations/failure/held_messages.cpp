#include "numerics/foundations/failure/held_messages.h"

#include <algorithm>
#include <string>
#include <vector>

#include "numerics/foundations/failure/failure_context.h"

namespace quorvel {

HeldMessages::HeldMessages(FailureContext& failures)
    : failures_(failures), previous_(failures.redirectReporter(recorder_)) {}

HeldMessages::~HeldMessages() {
    if (holding_) {
        failures_.redirectReporter(previous_);
    }
}

void HeldMessages::release() {
    if (!holding_) {
        return;
    }
    failures_.redirectReporter(previous_);
    holding_ = false;
    // Each attempt that fails on the same cause (a rejected argument, a step out of range)
    // records the same message again; the user is told each cause once.
    std::vector<std::string> shown;
    for (const std::string& message : recorder_.messages) {
        if (std::find(shown.begin(), shown.end(), message) == shown.end()) {
            previous_.show(message);
            shown.push_back(message);
        }
    }
    recorder_.messages.clear();
}

}  // namespace quorvel
