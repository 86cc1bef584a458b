#pragma once

#include <string_view>

namespace quorvel {

// Shows the message of a calculation error to the user. The application supplies the
// implementation: a modal message box in the window, a line on standard error in the
// command-line program, a recording list in tests. A call returns once the user has seen it.
class FailureReporter {
  public:
    virtual ~FailureReporter() = default;
    virtual void show(std::string_view message) = 0;
};

}  // namespace quorvel
