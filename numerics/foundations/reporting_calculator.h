#pragma once

#include <cstdint>
#include <string_view>

namespace quorvel {

class Calculators;

// Base of every calculator object that can fail. A failing routine shows its message at once
// through the application's FailureReporter, sets `failed` and hands the failure value back to
// its caller as an ordinary number; nothing unwinds.
class ReportingCalculator {
  public:
    explicit ReportingCalculator(Calculators& owner) : owner_(owner) {}
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
    Calculators& calculators() const { return owner_; }

  private:
    Calculators& owner_;
};

}  // namespace quorvel
