// Fuzz target for the numeric edit's value logic: validation and reading of arbitrary text,
// formatting of arbitrary doubles under arbitrary decimal limits, and stepping.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "gui/widgets/num_edit_logic.h"

namespace {
class TextBox : public quorvel::NumEditLogic {
  public:
    TextBox() : NumEditLogic(-9999.0) {}
    std::string text;

  protected:
    std::string ReadText() const override { return text; }
    void WriteText(const std::string& newText) override { text = newText; }
    void ShowInvalidTextMessage(const std::string&) override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < sizeof(double) + 3) {
        return 0;
    }
    double value = 0.0;
    std::memcpy(&value, data, sizeof value);
    const int minDecimals = static_cast<int8_t>(data[sizeof value]);
    const int maxDecimals = static_cast<int8_t>(data[sizeof value + 1]);
    const int steps = static_cast<int8_t>(data[sizeof value + 2]);
    const std::string text(reinterpret_cast<const char*>(data) + sizeof value + 3,
                           size - sizeof value - 3);

    TextBox box;
    box.SetVerbose(true);
    box.Init(value, -1e300, 1e300, minDecimals, maxDecimals);
    box.StepBy(steps);
    box.text = text;
    box.IsValid();
    box.IsValid(text);
    const double read = box.GetValue();
    box.SetValue(read);
    // A finite value that the box wrote itself must read back as a number.
    const bool finite = read - read == 0.0;
    if (finite && read != -9999.0 && box.IsValid() != quorvel::kTextValid) {
        __builtin_trap();
    }
    return 0;
}
