#include "gui/widgets/num_edit_logic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace quorvel {
namespace {

constexpr double kFailureValue = -9999.0;
constexpr char kNotANumberMessage[] = "Characters must be a number.\n";

// The value logic on a plain string, recording the messages it would show.
class TextBox : public NumEditLogic {
  public:
    TextBox() : NumEditLogic(kFailureValue) {}

    std::string text;
    std::vector<std::string> messages;

  protected:
    std::string ReadText() const override { return text; }
    void WriteText(const std::string& newText) override { text = newText; }
    void ShowInvalidTextMessage(const std::string& message) override {
        messages.push_back(message);
    }
};

// A real field as the main window sets it up: 2 to 6 decimals.
void initRealField(TextBox& box) {
    box.Init(1.0, 0.0, 10000.0, 2, 6);
}

struct Shown {
    double value;
    const char* text;
    double delta;
};

void PrintTo(const Shown& shown, std::ostream* out) {
    *out << '"' << shown.text << '"';
}

class RealFieldShows : public ::testing::TestWithParam<Shown> {};

TEST_P(RealFieldShows, FewestDecimalsWithinTheLimitsAndTheMatchingStep) {
    TextBox box;
    initRealField(box);
    box.SetValue(GetParam().value);
    EXPECT_EQ(box.text, GetParam().text);
    box.AdaptDelta();
    EXPECT_EQ(box.GetDelta(), GetParam().delta);
}

INSTANTIATE_TEST_SUITE_P(
    TwoToSixDecimals, RealFieldShows,
    ::testing::Values(Shown{1.0, "1.00", 0.01}, Shown{12.0, "12.00", 0.01},
                      Shown{0.95, "0.95", 0.01}, Shown{0.123, "0.123", 0.001},
                      Shown{0.0001, "0.0001", 0.0001}, Shown{3.8414588206922367, "3.841459", 1e-6},
                      Shown{0.0000001, "0.00", 0.01}, Shown{-0.35, "-0.35", 0.01},
                      Shown{2.9999996, "3.00", 0.01}, Shown{-9998.5, "-9998.50", 0.01},
                      Shown{20000.0, "20000.00", 0.01}));

TEST(NumEditLogic, FailureValueShowsFailedAndReadsAsZero) {
    TextBox box;
    initRealField(box);
    EXPECT_TRUE(box.SetValue(kFailureValue));
    EXPECT_EQ(box.text, "-----Failed-----");
    EXPECT_EQ(box.GetValue(), 0.0);
}

TEST(NumEditLogic, NonFiniteValuesShowAsTextThatReadsAsZero) {
    TextBox box;
    initRealField(box);
    const double infinity = std::numeric_limits<double>::infinity();
    const std::pair<double, const char*> shown[] = {
        {std::numeric_limits<double>::quiet_NaN(), "nan"}, {infinity, "inf"}, {-infinity, "-inf"}};
    for (const auto& [value, text] : shown) {
        box.SetValue(value);
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.IsValid(), kTextNotANumber) << text;
        EXPECT_EQ(box.GetValue(), 0.0) << text;
    }
}

TEST(NumEditLogic, HugeValueShowsEveryDigitAndReadsBack) {
    TextBox box;
    initRealField(box);
    box.SetValue(1e300);
    EXPECT_EQ(box.text.size(), 301u + 3u);
    EXPECT_EQ(box.text.substr(box.text.size() - 3), ".00");
    EXPECT_EQ(box.GetValue(), 1e300);
}

TEST(NumEditLogic, InitClampsOnlyTheStartingValue) {
    TextBox box;
    box.Init(20000.0, 0.0, 10000.0, 2, 6);
    EXPECT_EQ(box.text, "10000.00");
    double min = 0.0;
    double max = 0.0;
    box.GetRange(min, max);
    EXPECT_EQ(min, 0.0);
    EXPECT_EQ(max, 10000.0);
    box.StepBy(1);
    EXPECT_EQ(box.text, "10000.01");
    box.Init(-5.0, 0.0, 10000.0, 2, 6);
    EXPECT_EQ(box.text, "0.00");
}

TEST(NumEditLogic, IntegerInitsUseNoDecimalsAndAWholeStep) {
    TextBox box;
    box.Init(1, 1, 10000);
    EXPECT_EQ(box.text, "1");
    EXPECT_EQ(box.GetDelta(), 1.0);
    box.Init(0, 1, 10000);
    EXPECT_EQ(box.text, "1");
    box.Init(20000, 1, 10000);
    EXPECT_EQ(box.text, "10000");
    box.Init(7);
    double min = 0.0;
    double max = 0.0;
    box.GetRange(min, max);
    EXPECT_EQ(min, std::numeric_limits<double>::lowest());
    EXPECT_EQ(max, std::numeric_limits<double>::max());
}

TEST(NumEditLogic, InitWithMaximumDecimalsKeepsTheMinimum) {
    TextBox box;
    box.Init(0.123456789, 3);
    EXPECT_EQ(box.text, "0.123");
    EXPECT_EQ(box.GetDelta(), 0.001);
    box.Init(0.5);
    EXPECT_EQ(box.text, "0.5");
    EXPECT_EQ(box.GetDelta(), 0.1);
}

TEST(NumEditLogic, DecimalLimitsAreClampedToZeroToFifteen) {
    TextBox box;
    box.SetMaxDecimals(40);
    EXPECT_EQ(box.GetFormat(1.0 / 3.0), "%.15f");
    box.SetMaxDecimals(-1);
    EXPECT_EQ(box.GetFormat(1.0 / 3.0), "%.0f");
    box.SetMinDecimals(99);
    EXPECT_EQ(box.GetFormat(2.0), "%.15f");
    box.SetMinDecimals(-5);
    EXPECT_EQ(box.GetFormat(2.0), "%.0f");
}

struct Validity {
    const char* text;
    int ofGivenText;
    int ofCurrentText;
    double value;
};

void PrintTo(const Validity& validity, std::ostream* out) {
    *out << '"' << validity.text << '"';
}

class ValidityTest : public ::testing::TestWithParam<Validity> {};

// The two forms differ only for the lone characters a number is begun with.
TEST_P(ValidityTest, GivenTextAndCurrentText) {
    TextBox box;
    box.text = GetParam().text;
    EXPECT_EQ(box.IsValid(std::string(GetParam().text)), GetParam().ofGivenText);
    EXPECT_EQ(box.IsValid(), GetParam().ofCurrentText);
    EXPECT_EQ(box.GetValue(), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, ValidityTest,
                         ::testing::Values(Validity{"-", kTextLoneSign, kTextValid, 0.0},
                                           Validity{"+", kTextLoneSign, kTextNotANumber, 0.0},
                                           Validity{".", kTextNotANumber, kTextValid, 0.0},
                                           Validity{"", kTextNotANumber, kTextNotANumber, 0.0},
                                           Validity{" 2.5e3 ", kTextValid, kTextValid, 2500.0},
                                           Validity{"12x", kTextNotANumber, kTextNotANumber, 0.0}));

TEST(NumEditLogic, VerboseModeReportsTextThatIsNotANumberOnce) {
    TextBox box;
    box.text = "abc";
    EXPECT_EQ(box.GetValue(), 0.0);
    EXPECT_TRUE(box.messages.empty());

    box.SetVerbose(true);
    EXPECT_EQ(box.GetValue(), 0.0);
    ASSERT_EQ(box.messages.size(), 1u);
    EXPECT_EQ(box.messages[0], kNotANumberMessage);

    box.messages.clear();
    box.PeekValue();
    EXPECT_EQ(box.IsValid(std::string("-")), kTextLoneSign);
    box.text = "-";
    EXPECT_EQ(box.IsValid(), kTextValid);
    EXPECT_TRUE(box.messages.empty());
}

TEST(NumEditLogic, InvalidTextMessageComposesTheFlagBits) {
    EXPECT_EQ(InvalidTextMessage(kTextValid), "");
    EXPECT_EQ(InvalidTextMessage(kTextOutOfRange), "Given value is out of range.\n");
    EXPECT_EQ(InvalidTextMessage(kTextNotANumber), kNotANumberMessage);
    EXPECT_EQ(InvalidTextMessage(kTextLoneSign),
              std::string("Given value is out of range.\n") + kNotANumberMessage);
}

}  // namespace
}  // namespace quorvel
