#include "gui/widgets/num_edit_logic.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "gui/widgets/decimal_text.h"
#include "model/shown_number.h"

namespace quorvel {

namespace {

// Exact powers of ten for the decimal limits 0..15; a quotient by one of them is the correctly
// rounded negative power.
constexpr std::array<double, kMaxFixedDecimals + 1> kPowersOfTen = {
    1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

constexpr double kLowestDouble = std::numeric_limits<double>::lowest();
constexpr double kHighestDouble = std::numeric_limits<double>::max();

bool isSingleCharacter(const std::string& text, char a, char b) {
    return text.size() == 1 && (text[0] == a || text[0] == b);
}

}  // namespace

std::string InvalidTextMessage(int flags) {
    std::string message;
    if ((flags & kTextOutOfRange) != 0) {
        message += "Given value is out of range.\n";
    }
    if ((flags & kTextNotANumber) != 0) {
        message += "Characters must be a number.\n";
    }
    return message;
}

NumEditLogic::NumEditLogic(double failureValue)
    : m_failureValue(failureValue), m_dMinValue(kLowestDouble), m_dMaxValue(kHighestDouble) {}

void NumEditLogic::Init(double value, double min, double max, int minDecimals, int maxDecimals) {
    if (value < min) {
        value = min;
    }
    if (value > max) {
        value = max;
    }
    SetMaxDecimals(maxDecimals);
    SetMinDecimals(minDecimals);
    SetRange(min, max);
    ShowInitialValue(value);
}

void NumEditLogic::Init(int value, int min, int max) {
    if (value < min) {
        value = min;
    }
    if (value > max) {
        value = max;
    }
    SetMaxDecimals(0);
    SetRange(min, max);
    ShowInitialValue(value);
}

void NumEditLogic::Init(int value) {
    SetMaxDecimals(0);
    SetRange(kLowestDouble, kHighestDouble);
    ShowInitialValue(value);
}

void NumEditLogic::Init(double value) {
    ShowInitialValue(value);
}

void NumEditLogic::Init(double value, int maxDecimals) {
    SetMaxDecimals(maxDecimals);
    ShowInitialValue(value);
}

void NumEditLogic::ShowInitialValue(double value) {
    SetDelta(DeltaForValue(value));
    SetValue(value);
}

bool NumEditLogic::SetValue(double value) {
    const bool failed = value == m_failureValue;
    const std::string text = failed       ? std::string(kFailedText)
                             : IsOutput() ? shownNumber(value)
                                          : formatFixed(value, DecimalsFor(value));
    // Remembered before the text is written: writing it tells the change listener, which may
    // read the value back.
    m_writtenValue = value;
    m_writtenText = failed ? std::nullopt : std::optional<std::string>(text);
    WriteText(text);
    return true;
}

double NumEditLogic::GetValue() {
    if (IsValid() != kTextValid) {
        return 0.0;
    }
    if (const std::optional<double> written = WrittenValue()) {
        return *written;
    }
    return parseDecimal(ReadText());
}

std::optional<double> NumEditLogic::WrittenValue() const {
    if (m_writtenText && *m_writtenText == ReadText()) {
        return m_writtenValue;
    }
    return std::nullopt;
}

// parseDecimal gives 0.0 for every text that is not a number, a lone "-" or "." included.
double NumEditLogic::PeekValue() const {
    return parseDecimal(ReadText());
}

void NumEditLogic::StepBy(int steps) {
    SetValue(GetValue() + steps * m_dDelta);
}

void NumEditLogic::AdaptDelta() {
    SetDelta(DeltaForValue(PeekValue()));
}

void NumEditLogic::GetRange(double& min, double& max) const {
    min = m_dMinValue;
    max = m_dMaxValue;
}

void NumEditLogic::SetRange(double min, double max) {
    m_dMinValue = min;
    m_dMaxValue = max;
}

void NumEditLogic::SetMaxDecimals(int decimals) {
    m_nMaxDecimals = std::clamp(decimals, 0, kMaxFixedDecimals);
}

void NumEditLogic::SetMinDecimals(int decimals) {
    m_nMinDecimals = std::clamp(decimals, 0, kMaxFixedDecimals);
}

int NumEditLogic::IsValid(const std::string& text) {
    if (isSingleCharacter(text, '+', '-')) {
        return kTextLoneSign;
    }
    return ReportInvalid(isDecimalNumber(text) ? kTextValid : kTextNotANumber);
}

int NumEditLogic::IsValid() {
    const std::string text = ReadText();
    if (isSingleCharacter(text, '-', '.')) {
        return kTextValid;
    }
    return ReportInvalid(isDecimalNumber(text) ? kTextValid : kTextNotANumber);
}

// A lone sign is a number still being typed and is never reported.
int NumEditLogic::ReportInvalid(int flags) {
    if (m_bVerbose && flags != kTextValid && flags != kTextLoneSign) {
        ShowInvalidTextMessage(InvalidTextMessage(flags));
    }
    return flags;
}

int NumEditLogic::DecimalsFor(double value) const {
    if (std::floor(value) == value) {
        return m_nMinDecimals;
    }
    double tolerance = 0.5 / kPowersOfTen[m_nMaxDecimals];
    for (int i = 1; i <= m_nMaxDecimals; ++i) {
        value *= 10.0;
        tolerance *= 10.0;
        const double fraction = std::fabs(value - std::floor(value));
        if (fraction < tolerance || 1.0 - fraction < tolerance) {
            return std::max(i, m_nMinDecimals);
        }
    }
    return m_nMaxDecimals;
}

double NumEditLogic::DeltaForValue(double value) const {
    return 1.0 / kPowersOfTen[DecimalsFor(value)];
}

std::string NumEditLogic::GetFormat(double value) const {
    return "%." + std::to_string(DecimalsFor(value)) + "f";
}

bool NumEditLogic::IgnoresKeystroke(char32_t character) const {
    return character == U' ';
}

bool NumEditLogic::TakesTypedText(const std::string& text) {
    return isSingleCharacter(text, '-', '.') || isNumberBeingTyped(text);
}

}  // namespace quorvel
