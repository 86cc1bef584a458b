#pragma once

#include "numerics/foundations/failure/recording_reporter.h"

namespace quorvel {

class FailureContext;
class FailureReporter;

// Holds back the calculation-error messages of a search attempt that a fallback may still
// recover, so that a request that ends with an answer shows no message. While it lives, every
// message sent through the failure context is recorded; release() shows each recorded message once, in the
// order first recorded, through the reporter that was in place before and ends the hold. Messages
// never released are dropped when the hold ends. Holds nest: an inner hold releases into the outer
// one.
class HeldMessages {
  public:
    explicit HeldMessages(FailureContext& failures);
    ~HeldMessages();
    HeldMessages(const HeldMessages&) = delete;
    HeldMessages& operator=(const HeldMessages&) = delete;

    // Shows the held messages and lets every later message through.
    void release();
    // Whether a message has been held since the hold began.
    bool anyHeld() const { return !recorder_.messages.empty(); }

  private:
    FailureContext& failures_;
    FailureReporter& previous_;
    RecordingReporter recorder_;
    bool holding_ = true;
};

}  // namespace quorvel
