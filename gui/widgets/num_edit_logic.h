#pragma once

#include <optional>
#include <string>

namespace quorvel {

// Validity flags of a numeric text. Bit 1 marks a value out of range and bit 2 a text that is
// not a number; both together mark a lone sign, a number that has only begun.
inline constexpr int kTextValid = 0;
inline constexpr int kTextOutOfRange = 1;
inline constexpr int kTextNotANumber = 2;
inline constexpr int kTextLoneSign = 3;

// The text shown for the numerical routines' failure value.
inline constexpr const char* kFailedText = "-----Failed-----";

// The message for invalid text: "Given value is out of range.\n" when bit 1 of `flags` is set,
// then "Characters must be a number.\n" when bit 2 is set; empty for flags 0.
std::string InvalidTextMessage(int flags);

// The value logic of a single-line numeric edit box, free of any window system. The box's text
// is the store of the number: every operation reads it or writes it afresh through the hooks
// that a concrete box implements. The one exception is a number written with SetValue: while
// the text is the one written, the number reads back whole, not as its rounded text, so that a
// result used as an input keeps its full precision. An input is shown in fixed notation with
// the fewest decimals, between the two decimal limits, that represent it to within half a unit
// of the last allowed decimal; an output (IsOutput) by its significant digits (shownNumber).
// The step of a spin button follows the last decimal of the value.
class NumEditLogic {
  public:
    // `failureValue` is the number that the numerical routines return after a failure; it is
    // shown as kFailedText.
    explicit NumEditLogic(double failureValue);
    virtual ~NumEditLogic() = default;
    NumEditLogic(const NumEditLogic&) = delete;
    NumEditLogic& operator=(const NumEditLogic&) = delete;

    // Initialisers. The first clamps `value` into [min, max] (raised to min, then lowered to
    // max), sets the decimal limits and the bounds, then shows the value with its own step.
    // The bounds only clamp this starting value; typed, stepped and set values are not held to
    // them.
    void Init(double value, double min, double max, int minDecimals, int maxDecimals);
    // Integer field: value clamped into [min, max], no decimals (the minimum is kept).
    void Init(int value, int min, int max);
    // Integer field over the whole double range.
    void Init(int value);
    // Shows the value with its own step; limits and bounds stay.
    void Init(double value);
    void Init(double value, int maxDecimals);

    // Shows `value`: kFailedText for exactly the failure value, otherwise, in an output, its
    // significant digits (shownNumber), in an input fixed notation with DecimalsFor(value)
    // decimals. Always true.
    bool SetValue(double value);
    // The number in the text; 0.0 for any text that IsValid() does not accept and for a lone
    // "-" or "."; the whole number written while its text is unchanged (WrittenValue).
    double GetValue();
    // The number SetValue wrote, while the text is still the one it wrote (not for the failure
    // value); nothing once the text has changed.
    std::optional<double> WrittenValue() const;
    // Forgets the number SetValue wrote: a text that arrives otherwise is read as it stands,
    // even where it equals the one written.
    void ForgetWrittenValue() { m_writtenText.reset(); }
    // The number in the text as GetValue reads it, without the verbose message: for the
    // control's own bookkeeping, so that one bad keystroke is reported once.
    double PeekValue() const;
    // Shows GetValue() + steps times the step; the bounds are not applied.
    void StepBy(int steps);
    // Sets the step to the last decimal of the value now shown (the change handler's step).
    void AdaptDelta();

    double GetDelta() const { return m_dDelta; }
    void SetDelta(double delta) { m_dDelta = delta; }
    void GetRange(double& min, double& max) const;
    void SetRange(double min, double max);
    bool GetVerbose() const { return m_bVerbose; }
    void SetVerbose(bool verbose) { m_bVerbose = verbose; }
    // Decimal limits, each clamped to 0..15.
    void SetMaxDecimals(int decimals);
    void SetMinDecimals(int decimals);

    // Validity flags of a given text: a lone "+" or "-" gives kTextLoneSign, one decimal number
    // in the usual notation (white space around it allowed) kTextValid, anything else
    // kTextNotANumber. In verbose mode kTextNotANumber also shows InvalidTextMessage.
    int IsValid(const std::string& text);
    // Validity flags of the current text: a lone "-" or "." is valid (a number being typed),
    // otherwise as above, where a lone "+" is not a number. In verbose mode any invalid text
    // shows InvalidTextMessage.
    int IsValid();

    // Decimals shown for `value`: the minimum for a whole number; otherwise the fewest i up to
    // the maximum for which 10^i·value lies within half a unit of the maximum's last place of
    // a whole number, but at least the minimum. NaN gets the maximum.
    int DecimalsFor(double value) const;
    // 10^-d for d = DecimalsFor(value): the step that changes the last decimal shown.
    double DeltaForValue(double value) const;
    // The printf format of the value's text, "%.2f" for two decimals.
    std::string GetFormat(double value) const;
    // Whether a typed character is dropped before it reaches the text: a blank, which no
    // number holds.
    bool IgnoresKeystroke(char32_t character) const;
    // Whether a keyboard edit that leaves `text` is taken: a number, a lone "-" or "." (as
    // IsValid() says), or a number still being typed ("+", "2.", "2.5e", "1e-"). An empty text
    // is not taken, so a field never silently reads as 0.
    static bool TakesTypedText(const std::string& text);

  protected:
    virtual std::string ReadText() const = 0;
    virtual void WriteText(const std::string& text) = 0;
    virtual void ShowInvalidTextMessage(const std::string& message) = 0;
    // Whether the box is an output, whose values are results; an input by default.
    virtual bool IsOutput() const { return false; }

  private:
    void ShowInitialValue(double value);
    int ReportInvalid(int flags);

    const double m_failureValue;
    int m_nMaxDecimals = 0;
    int m_nMinDecimals = 0;
    bool m_bVerbose = false;
    double m_dDelta = 1.0;
    double m_dMinValue;
    double m_dMaxValue;
    // The last number SetValue wrote and the text it wrote for it.
    double m_writtenValue = 0.0;
    std::optional<std::string> m_writtenText;
};

}  // namespace quorvel
