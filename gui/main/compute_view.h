#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// The two radio-button groups of the main dialog; each is exchanged as the position of its
// checked button (−1 when none is checked).
enum class RadioGroup { Distribution, Quantity };

// What the compute controller asks of the main dialog, by control identifier (control_ids.h).
// The window implements it on real widgets; tests implement it on plain data.
class ComputeView {
  public:
    virtual ~ComputeView() = default;

    virtual int checkedPosition(RadioGroup group) const = 0;
    virtual void checkPosition(RadioGroup group, int position) = 0;

    virtual void setVisible(int controlId, bool visible) = 0;
    virtual void setText(int controlId, std::string_view text) = 0;

    // Numeric fields.
    virtual void setReadOnly(int fieldId, bool readOnly) = 0;
    virtual bool isReadOnly(int fieldId) const = 0;
    virtual std::string text(int fieldId) const = 0;
    // The field's number, 0 for text that is not a number.
    virtual double value(int fieldId) = 0;
    // Shows a number; the failure value shows as "-----Failed-----".
    virtual void setValue(int fieldId, double value) = 0;

    // The Compute button's highlight (its caption is set with setText).
    virtual bool isHighlighted() const = 0;
    virtual void setHighlight(bool on) = 0;
};

}  // namespace quorvel
