#pragma once

#include <cstdint>
#include <string_view>

namespace quorvel {

class Calculators;
class FailureContext;
class HeldMessages;
struct RootSearchResult;

// The messages of a search that found no root, by how it ended (an evaluation that failed has
// shown its own).
struct SearchFailureMessages {
    std::string_view notBracketed;
    std::string_view notConverged;
    std::string_view outsideTolerance;
    // One message whatever the way the search ended.
    static constexpr SearchFailureMessages always(std::string_view message) {
        return {message, message, message};
    }
};

// Base of every calculator object that can fail. A failing routine shows its message at once
// through the application's FailureReporter, sets `failed` and hands the failure value back to
// its caller as an ordinary number; nothing unwinds. It reaches the other calculators through
// its owner and reports through the failure context (the owner's own).
class ReportingCalculator {
  public:
    ReportingCalculator(Calculators& owner, FailureContext& failures)
        : owner_(owner), failures_(failures) {}
    virtual ~ReportingCalculator() = default;
    ReportingCalculator(const ReportingCalculator&) = delete;
    ReportingCalculator& operator=(const ReportingCalculator&) = delete;

    // 1 after a routine of this object has reported a calculation error; which operations
    // clear it is said at each of them.
    std::int32_t failed = 0;

  protected:
    // Shows the message, sets `failed` to 1 and returns the failure value.
    double reportFailure(std::string_view message);
    double failureValue() const;
    // The one conversion of a search's result: its root with `failed` cleared; when it found
    // none, the held messages of its attempts (if any) are shown and the failure value returned
    // with `failed` set, after the message for how it ended unless an evaluation failed (which
    // has shown its own message).
    double answerOf(const RootSearchResult& search, const SearchFailureMessages& messages,
                    HeldMessages* held = nullptr);
    Calculators& calculators() const { return owner_; }
    FailureContext& failures() const { return failures_; }

  private:
    Calculators& owner_;
    FailureContext& failures_;
};

}  // namespace quorvel
