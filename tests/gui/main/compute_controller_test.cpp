#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "gui/dialog/control_ids.h"
#include "gui/main/compute_controller.h"
#include "model/computation.h"
#include "model/request_model.h"
#include "numerics/calculators.h"
#include "numerics/chisquare/noncentral_chi_square.h"
#include "numerics/f/noncentral_f.h"
#include "numerics/t/noncentral_t.h"
#include "tests/gui/main/fake_compute_view.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

using namespace control;
using namespace radio;
using testing::FakeComputeView;

class ComputeControllerTest : public ::testing::Test {
  protected:
    ComputeControllerTest() {
        // The dialog gives every field its default before the controller starts.
        view.setValue(kValueField, 1.0);
        view.setValue(kDf1Field, 1.0);
        view.setValue(kDf2Field, 1.0);
        view.setValue(kNoncentralityField, 0.0);
        view.setValue(kCumPField, 0.95);
        view.setValue(kUpperField, 0.0);
        view.setValue(kLowerField, 0.0);
        view.onFieldChanged = [this] { controller.markNeedsCompute(); };
        controller.startUp();
    }

    void select(int distribution, int quantity) {
        view.checkPosition(RadioGroup::Distribution, distribution);
        view.checkPosition(RadioGroup::Quantity, quantity);
        if (quantity >= Interval90 && quantity <= Interval99) {
            const double levels[] = {0.90, 0.95, 0.99};
            controller.selectInterval(levels[quantity - Interval90]);
        } else {
            controller.updateLayout();
        }
    }

    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    FakeComputeView view;
    ComputeController controller{calculators, view};
};

TEST_F(ComputeControllerTest, StartsWithFAndCumulativeProbability) {
    EXPECT_EQ(view.checkedPosition(RadioGroup::Distribution), F);
    EXPECT_EQ(view.checkedPosition(RadioGroup::Quantity), CumP);
    EXPECT_EQ(controller.confidence(), 0.90);
    EXPECT_EQ(view.text(kRadioNoncentrality), "Lambda");
    EXPECT_EQ(view.text(kNoncentralityLabel), "Lambda");
    EXPECT_TRUE(view.visible(kTallPropertiesGroup));
    EXPECT_FALSE(view.visible(kShortPropertiesGroup));
    EXPECT_FALSE(view.visible(kConfidenceGroup));
    EXPECT_TRUE(view.isReadOnly(kCumPField));
    EXPECT_EQ(view.text(kCumPField), "");
    EXPECT_EQ(view.text(kValueField), "1");
    EXPECT_EQ(view.text(kNoncentralityField), "0");
    EXPECT_EQ(view.text(kDf1Field), "1");
    EXPECT_EQ(view.text(kDf2Field), "1");
    EXPECT_EQ(view.text(kComputeButton), "COMPUTE");
    EXPECT_TRUE(view.isHighlighted());
    EXPECT_EQ(controller.status(), ComputeStatus::NeedsCompute);
}

enum class Role { Input, Output, Hidden };

struct FieldExpectation {
    int field;
    int spin;
    int label;
};

void expectRole(const FakeComputeView& view, const FieldExpectation& f, Role role,
                const std::string& where) {
    switch (role) {
        case Role::Input:
            EXPECT_TRUE(view.visible(f.field) && view.visible(f.spin) && view.visible(f.label))
                << where;
            EXPECT_FALSE(view.isReadOnly(f.field)) << where;
            EXPECT_FALSE(view.text(f.field).empty()) << where << ": an input gets its default";
            break;
        case Role::Output:
            EXPECT_TRUE(view.visible(f.field) && view.visible(f.label)) << where;
            EXPECT_FALSE(view.visible(f.spin)) << where;
            EXPECT_TRUE(view.isReadOnly(f.field)) << where;
            EXPECT_EQ(view.text(f.field), "") << where;
            break;
        case Role::Hidden:
            EXPECT_FALSE(view.visible(f.field) || view.visible(f.spin) || view.visible(f.label))
                << where;
            break;
    }
}

TEST_F(ComputeControllerTest, LaysOutAllEighteenCombinations) {
    const char* valueLabels[] = {"F Value", "T Value", "X2 Value"};
    const char* noncentralityLabels[] = {"Lambda", "Delta", "Lambda"};
    const char* groupCaptions[] = {"Confidence Limits for Lambda", "Confidence Limits for Delta",
                                   "Confidence Limits for Lambda"};
    const Role roles[6][3] = {
        {Role::Input, Role::Input, Role::Output},  {Role::Output, Role::Input, Role::Input},
        {Role::Input, Role::Output, Role::Input},  {Role::Input, Role::Hidden, Role::Hidden},
        {Role::Input, Role::Hidden, Role::Hidden}, {Role::Input, Role::Hidden, Role::Hidden},
    };
    const FieldExpectation value{kValueField, kValueSpin, kValueLabel};
    const FieldExpectation noncentrality{kNoncentralityField, kNoncentralitySpin,
                                         kNoncentralityLabel};
    const FieldExpectation cumP{kCumPField, kCumPSpin, kCumPLabel};
    for (int d = F; d <= ChiSquare; ++d) {
        for (int q = CumP; q <= Interval99; ++q) {
            select(d, q);
            const std::string where =
                "distribution " + std::to_string(d) + " quantity " + std::to_string(q);
            EXPECT_EQ(view.text(kValueLabel), valueLabels[d]) << where;
            EXPECT_EQ(view.text(kRadioValue), valueLabels[d]) << where;
            EXPECT_EQ(view.text(kNoncentralityLabel), noncentralityLabels[d]) << where;
            EXPECT_EQ(view.text(kRadioNoncentrality), noncentralityLabels[d]) << where;
            EXPECT_EQ(view.text(kDf1Label), d == F ? "Df1" : "Df") << where;
            for (int id : {kDf2Label, kDf2Field, kDf2Spin, kTallPropertiesGroup}) {
                EXPECT_EQ(view.visible(id), d == F) << where << " control " << id;
            }
            EXPECT_EQ(view.visible(kShortPropertiesGroup), d != F) << where;
            EXPECT_FALSE(view.isReadOnly(kDf1Field) || view.isReadOnly(kDf2Field)) << where;
            const bool interval = q >= Interval90;
            for (int id : {kConfidenceGroup, kLowerLabel, kUpperLabel, kLowerField, kUpperField}) {
                EXPECT_EQ(view.visible(id), interval) << where << " control " << id;
            }
            EXPECT_EQ(view.isReadOnly(kLowerField), interval) << where;
            EXPECT_EQ(view.isReadOnly(kUpperField), interval) << where;
            if (interval) {
                EXPECT_EQ(view.text(kConfidenceGroup), groupCaptions[d]) << where;
            }
            expectRole(view, value, roles[q][0], where + " Value field");
            expectRole(view, noncentrality, roles[q][1], where + " Noncentrality field");
            expectRole(view, cumP, roles[q][2], where + " CumP field");
            EXPECT_EQ(view.text(kComputeButton), "COMPUTE") << where;
            EXPECT_TRUE(view.isHighlighted()) << where;
        }
    }
}

TEST_F(ComputeControllerTest, SwitchingToValueLocksItAndRefillsTheFreedCumP) {
    select(F, Value);
    EXPECT_TRUE(view.isReadOnly(kValueField));
    EXPECT_EQ(view.text(kValueField), "");
    EXPECT_FALSE(view.isReadOnly(kCumPField));
    EXPECT_EQ(view.value(kCumPField), 0.95);
    select(F, CumP);
    EXPECT_EQ(view.text(kValueField), "1") << "the freed Value field gets its default again";
}

TEST_F(ComputeControllerTest, ReclickingTheSelectedQuantityClearsItsResult) {
    view.setValue(kDf1Field, 5);
    view.setValue(kDf2Field, 10);
    view.setValue(kValueField, 3);
    controller.compute();
    ASSERT_NE(view.text(kCumPField), "");
    select(F, CumP);
    EXPECT_EQ(view.text(kCumPField), "");
    EXPECT_EQ(view.text(kComputeButton), "COMPUTE");
}

TEST_F(ComputeControllerTest, IntervalChoiceStoresItsLevelAndOtherChoicesKeepIt) {
    select(T, Interval99);
    EXPECT_EQ(controller.confidence(), 0.99);
    EXPECT_EQ(view.text(kConfidenceGroup), "Confidence Limits for Delta");
    select(T, CumP);
    EXPECT_EQ(controller.confidence(), 0.99);
    view.setValue(kLowerField, 1.25);
    view.setValue(kUpperField, 7.5);
    select(F, Interval95);
    EXPECT_EQ(controller.confidence(), 0.95);
    EXPECT_EQ(view.text(kLowerField), "1.25") << "the layout never clears the limits";
    EXPECT_EQ(view.text(kUpperField), "7.5");
}

TEST_F(ComputeControllerTest, DistributionSwitchKeepsTheDf2ValueForALaterReturn) {
    view.setValue(kDf2Field, 12);
    select(T, CumP);
    EXPECT_FALSE(view.visible(kDf2Field));
    select(F, CumP);
    EXPECT_EQ(view.text(kDf2Field), "12");
}

TEST_F(ComputeControllerTest, ComputesTheFDistributionFunctionAndEndsFinished) {
    view.setValue(kValueField, 3.0);
    view.setValue(kDf1Field, 5);
    view.setValue(kDf2Field, 10);
    view.captions.clear();
    controller.compute();
    EXPECT_NEAR(view.value(kCumPField), 0.9344424, 5e-8);
    ASSERT_GE(view.captions.size(), 2u);
    EXPECT_EQ(view.captions.front(), "Working");
    EXPECT_EQ(view.captions.back(), "Finished");
    EXPECT_FALSE(view.isHighlighted());
    EXPECT_EQ(controller.status(), ComputeStatus::Finished);
    EXPECT_TRUE(reporter.messages.empty());

    view.setValue(kValueField, 3.5);  // typing into any field asks for a new computation
    EXPECT_EQ(view.text(kComputeButton), "COMPUTE");
    EXPECT_TRUE(view.isHighlighted());
}

TEST_F(ComputeControllerTest, ReadsTheArgumentsFromTheLastToTheFirstOnce) {
    view.reads.clear();
    controller.compute();
    const std::map<int, int> expected{
        {kValueField, 1}, {kDf1Field, 1}, {kDf2Field, 1}, {kNoncentralityField, 1}};
    EXPECT_EQ(view.reads, expected);
}

TEST_F(ComputeControllerTest, FailureIsWrittenAsTheFailureValueAndStillFinishes) {
    view.setValue(kDf1Field, 0);
    controller.compute();
    EXPECT_EQ(reporter.messages, std::vector<std::string>{"Df1 out of range."});
    EXPECT_EQ(view.text(kCumPField), FakeComputeView::kFailedText);
    EXPECT_EQ(view.text(kComputeButton), "Finished");
}

// The listeners hear of each ended computation once, after "Finished" is shown, with the
// request as computed and the messages it showed; removed listeners hear nothing more.
TEST_F(ComputeControllerTest, ListenersHearEachEndedComputationWithItsMessages) {
    struct Heard : ComputationListener {
        explicit Heard(const FakeComputeView& view) : view(view) {}
        void quantityComputed(const ComputeRequest& request,
                              const ComputeOutcome& outcome) override {
            requests.push_back(request);
            outcomes.push_back(outcome);
            statuses.push_back(view.text(kComputeButton));
        }
        const FakeComputeView& view;
        std::vector<ComputeRequest> requests;
        std::vector<ComputeOutcome> outcomes;
        std::vector<std::string> statuses;
    } heard(view);
    controller.listeners().add(heard);
    select(T, Interval95);
    view.setValue(kValueField, 2.5);
    view.setValue(kDf1Field, 12.0);
    controller.compute();
    view.setValue(kDf1Field, 0.0);
    controller.compute();
    const std::vector<std::string> shown = reporter.messages;
    controller.listeners().remove(heard);
    controller.compute();

    ASSERT_EQ(heard.requests.size(), 2u);
    EXPECT_EQ(heard.requests[0].distribution, DistributionKind::T);
    EXPECT_EQ(heard.requests[0].quantity, QuantityKind::Interval);
    EXPECT_EQ(heard.requests[0].df1, 12);
    EXPECT_DOUBLE_EQ(heard.requests[0].confidence, 0.95);
    EXPECT_FALSE(heard.outcomes[0].failed);
    EXPECT_GT(heard.outcomes[0].lower, 0.0);
    EXPECT_GT(heard.outcomes[0].upper, heard.outcomes[0].lower);
    EXPECT_TRUE(heard.outcomes[0].messages.empty());
    EXPECT_TRUE(heard.outcomes[1].failed);
    EXPECT_FALSE(shown.empty());
    EXPECT_EQ(heard.outcomes[1].messages, shown);
    EXPECT_EQ(heard.statuses, (std::vector<std::string>{"Finished", "Finished"}));
}

TEST_F(ComputeControllerTest, InvalidFieldTextReadsAsZeroAndTheRoutineJudgesIt) {
    view.setText(kDf1Field, "abc");
    controller.compute();
    EXPECT_EQ(reporter.messages, std::vector<std::string>{"Df1 out of range."});
}

TEST_F(ComputeControllerTest, AbsurdDfIsSaturatedSoTheRoutineRejectsIt) {
    for (const char* typed : {"1e12", "-1e12", "1e999"}) {
        reporter.messages.clear();
        view.setText(kDf1Field, typed);
        controller.compute();
        EXPECT_EQ(reporter.messages, std::vector<std::string>{"Df1 out of range."}) << typed;
    }
}

TEST_F(ComputeControllerTest, WithoutASelectionComputeCallsNothing) {
    view.checkPosition(RadioGroup::Distribution, -1);
    view.checkPosition(RadioGroup::Quantity, -1);
    view.texts.erase(kCumPField);
    controller.compute();
    EXPECT_EQ(view.text(kCumPField), "");
    EXPECT_EQ(view.text(kComputeButton), "Finished");
}

// Each combination must call its routine with the fields in the right argument slots: the
// field values are all different, so a swapped argument gives another number.
TEST_F(ComputeControllerTest, EveryCombinationCallsItsRoutineWithTheFieldsInOrder) {
    const double value = 8.0, noncentrality = 1.5, cumP = 0.4;
    const int df1 = 5, df2 = 12;
    NoncentralF& f = calculators.f();
    NoncentralT& t = calculators.t();
    NoncentralChiSquare& x2 = calculators.chiSquare();
    const double expected[3][3] = {
        {f.cdf(value, df1, df2, noncentrality, 0),
         f.percentagePoint(cumP, df1, df2, noncentrality, 0),
         f.noncentrality(value, df1, df2, cumP, 0)},
        {t.cdf(value, df1, noncentrality), t.percentagePoint(cumP, df1, noncentrality),
         t.noncentrality(value, df1, cumP)},
        {x2.cdf(value, df1, noncentrality), x2.percentagePoint(cumP, df1, noncentrality),
         x2.noncentrality(value, df1, cumP)},
    };
    const int outputs[3] = {kCumPField, kValueField, kNoncentralityField};
    for (int d = F; d <= ChiSquare; ++d) {
        for (int q = CumP; q <= Interval99; ++q) {
            select(d, q);
            for (int field : {kValueField, kNoncentralityField, kCumPField}) {
                if (!view.isReadOnly(field)) {
                    view.setValue(field, field == kValueField           ? value
                                         : field == kNoncentralityField ? noncentrality
                                                                        : cumP);
                }
            }
            view.setValue(kDf1Field, df1);
            view.setValue(kDf2Field, df2);
            controller.compute();
            const std::string where = std::to_string(d) + "/" + std::to_string(q);
            if (q < Interval90) {
                EXPECT_EQ(view.value(outputs[q]), expected[d][q]) << where;
                continue;
            }
            const double level = q == Interval90 ? 0.90 : q == Interval95 ? 0.95 : 0.99;
            double lower = 0.0, upper = 0.0;
            if (d == F) {
                f.confidenceLimits(value, df1, df2, level, 0, lower, upper);
            } else if (d == T) {
                t.confidenceLimits(value, df1, level, lower, upper);
            } else {
                x2.confidenceLimits(value, df1, level, lower, upper);
            }
            EXPECT_EQ(view.value(kLowerField), lower) << where;
            EXPECT_EQ(view.value(kUpperField), upper) << where;
            EXPECT_LT(lower, upper) << where;
        }
    }
    EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
}

TEST_F(ComputeControllerTest, RejectedIntervalShowsBothLimitsAsFailed) {
    select(ChiSquare, Interval95);
    view.setValue(kValueField, -1.0);
    controller.compute();
    EXPECT_EQ(reporter.messages, std::vector<std::string>{"Chi-Square must be nonnegative."});
    EXPECT_EQ(view.text(kLowerField), FakeComputeView::kFailedText);
    EXPECT_EQ(view.text(kUpperField), FakeComputeView::kFailedText);
}

// The t interval for t 10 with Df 1 at 90% lost its secant search to a zig-zag in the flat
// tail; the window shows both limits and no message box, and the status ends "Finished".
TEST_F(ComputeControllerTest, RecoveredSearchShowsItsAnswerWithoutAMessageBox) {
    select(T, Interval90);
    view.setValue(kValueField, 10.0);
    view.setValue(kDf1Field, 1.0);
    controller.compute();
    EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
    EXPECT_GT(view.value(kLowerField), 0.0);
    EXPECT_GT(view.value(kUpperField), view.value(kLowerField));
    EXPECT_EQ(view.text(kComputeButton), "Finished");
}

// Hears the requests the controller computes.
struct HeardRequests : ComputationListener {
    void quantityComputed(const ComputeRequest& request, const ComputeOutcome&) override {
        requests.push_back(request);
    }
    std::vector<ComputeRequest> requests;
};

// What a request reads, in the order of its routine's arguments, then its level.
std::vector<double> readInputs(const ComputeRequest& request) {
    std::vector<double> inputs;
    const InputNeeds needs = inputsFor(request.distribution, request.quantity);
    for (RequestInput input : needs.required) {
        switch (input) {
            case RequestInput::Value:
                inputs.push_back(request.value);
                break;
            case RequestInput::Df1:
                inputs.push_back(request.df1);
                break;
            case RequestInput::Df2:
                inputs.push_back(request.df2);
                break;
            case RequestInput::Noncentrality:
                inputs.push_back(request.noncentrality);
                break;
            case RequestInput::CumP:
                inputs.push_back(request.cumP);
                break;
            case RequestInput::Confidence:
            case RequestInput::PLower:
            case RequestInput::PUpper:
                break;
        }
    }
    if (needs.takesConfidence) {
        inputs.push_back(request.confidence);
    }
    return inputs;
}

// Every combination goes back into the dialog from another one with results showing, and
// Compute then computes exactly the request restored: inputs with more decimals than a field
// shows of a number it writes, and tiny numbers, come back to the last bit.
TEST_F(ComputeControllerTest, RestorePutsEveryCombinationBackReadyToCompute) {
    HeardRequests heard;
    controller.listeners().add(heard);
    const DistributionKind distributions[] = {DistributionKind::F, DistributionKind::T,
                                              DistributionKind::ChiSquare};
    const std::pair<QuantityKind, double> quantities[] = {
        {QuantityKind::CumP, 0.9},          {QuantityKind::Value, 0.9},
        {QuantityKind::Noncentrality, 0.9}, {QuantityKind::Interval, 0.90},
        {QuantityKind::Interval, 0.95},     {QuantityKind::Interval, 0.99}};
    const int quantityPositions[] = {CumP,       Value,      Noncentrality,
                                     Interval90, Interval95, Interval99};
    for (int d = 0; d < 3; ++d) {
        for (int q = 0; q < 6; ++q) {
            select(d == ChiSquare ? F : ChiSquare, Interval99);
            view.setValue(kValueField, 2.0);
            controller.compute();
            ComputeRequest request;
            request.distribution = distributions[d];
            request.quantity = quantities[q].first;
            request.confidence = quantities[q].second;
            request.value = q == 0 ? 3.14159265358979 : 1e-300;
            request.noncentrality = 1.2345678901234567;
            request.cumP = 0.123456789012345678;
            request.df1 = 7;
            request.df2 = 11;
            const std::string where = std::to_string(d) + "/" + std::to_string(q);

            ASSERT_TRUE(controller.restore(request)) << where;
            EXPECT_EQ(view.checkedPosition(RadioGroup::Distribution), d) << where;
            EXPECT_EQ(view.checkedPosition(RadioGroup::Quantity), quantityPositions[q]) << where;
            EXPECT_EQ(view.text(kComputeButton), "COMPUTE") << where;
            EXPECT_TRUE(view.isHighlighted()) << where;
            if (request.quantity == QuantityKind::Interval) {
                EXPECT_EQ(controller.confidence(), request.confidence) << where;
                EXPECT_EQ(view.text(kLowerField), "") << where;
                EXPECT_EQ(view.text(kUpperField), "") << where;
            } else {
                const int result = q == 0 ? kCumPField : q == 1 ? kValueField : kNoncentralityField;
                EXPECT_EQ(view.text(result), "") << where;
            }

            controller.compute();
            ASSERT_FALSE(heard.requests.empty());
            const ComputeRequest& computed = heard.requests.back();
            EXPECT_EQ(computed.distribution, request.distribution) << where;
            EXPECT_EQ(computed.quantity, request.quantity) << where;
            EXPECT_EQ(readInputs(computed), readInputs(request)) << where;
        }
    }
    EXPECT_EQ(view.text(kValueField), "1e-300");
    controller.listeners().remove(heard);
}

TEST_F(ComputeControllerTest, RestoreRefusesAnIntervalLevelWithoutAButton) {
    select(T, Value);
    view.setValue(kCumPField, 0.3);
    ComputeRequest request;
    request.distribution = DistributionKind::F;
    request.quantity = QuantityKind::Interval;
    request.confidence = 0.8;
    request.value = 5.0;
    request.df1 = 3;
    request.df2 = 9;
    const auto checked = view.checked;
    const auto texts = view.texts;
    EXPECT_FALSE(controller.restore(request));
    EXPECT_EQ(view.checked, checked);
    EXPECT_EQ(view.texts, texts);
}

TEST(TruncateDegreesOfFreedom, TruncatesTowardZeroAndSaturatesToTheIntRange) {
    EXPECT_EQ(truncateDegreesOfFreedom(2.9), 2);
    EXPECT_EQ(truncateDegreesOfFreedom(0.5), 0);
    EXPECT_EQ(truncateDegreesOfFreedom(-2.5), -2);
    EXPECT_EQ(truncateDegreesOfFreedom(1e12), INT_MAX);
    EXPECT_EQ(truncateDegreesOfFreedom(INFINITY), INT_MAX);
    EXPECT_EQ(truncateDegreesOfFreedom(-1e12), INT_MIN);
    EXPECT_EQ(truncateDegreesOfFreedom(std::nan("")), 0);
}

}  // namespace
}  // namespace quorvel
