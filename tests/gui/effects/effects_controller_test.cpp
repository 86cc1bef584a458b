#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "gui/effects/effects_controller.h"
#include "gui/widgets/num_edit_logic.h"
#include "model/effects/effects.h"
#include "numerics/calculators.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

using enum EffectInput;

// A group made of plain data.
class FakeEffectsView : public EffectsView {
  public:
    std::string text(EffectInput input) const override { return texts.at(input); }
    void setText(EffectInput input, std::string_view text) override { texts[input] = text; }
    void setInputShown(EffectInput input, bool shown) override {
        if (shown) {
            hidden.erase(input);
        } else {
            hidden.insert(input);
        }
    }
    int choice(EffectChoice choice) const override { return choices.at(choice); }
    void setChoice(EffectChoice choice, int position) override { choices[choice] = position; }
    void setResult(std::size_t index, std::string_view text) override {
        results.resize(std::max(results.size(), index + 1));
        results[index] = text;
    }
    void setResultCaption(std::size_t index, std::string_view caption) override {
        captions[index] = caption;
    }
    void setStatus(std::string_view text) override { status = text; }
    void setResultShown(std::size_t index, bool shown) override {
        if (shown) {
            hiddenResults.erase(index);
        } else {
            hiddenResults.insert(index);
        }
    }
    void setFormulaShown(bool shown) override { formulaShown = shown; }
    void setFormula(std::string_view text) override { formula = text; }

    std::map<EffectInput, std::string> texts;
    std::set<EffectInput> hidden;
    std::map<EffectChoice, int> choices;
    std::vector<std::string> results;
    std::map<std::size_t, std::string> captions;
    std::string status;
    std::set<std::size_t> hiddenResults;
    bool formulaShown = false;
    std::string formula;
};

class HeardRequests : public ComputationListener {
  public:
    void effectComputed(const EffectRequest& request, const EffectOutcome& outcome) override {
        heard.emplace_back(request, outcome);
    }
    std::vector<std::pair<EffectRequest, EffectOutcome>> heard;
};

class EffectsControllerTest : public ::testing::Test {
  protected:
    EffectsControllerTest() { listeners.add(heard); }

    // A group with the window's captions for `inputs`, each given its text.
    EffectsController& group(DistributionKind distribution, std::string_view command,
                             const std::vector<std::pair<EffectInput, std::string>>& inputs,
                             std::size_t resultCount) {
        controller.emplace(distribution, command, calculators, listeners, view);
        for (const auto& [input, text] : inputs) {
            controller->addInput(input, captionOf(input));
            view.texts[input] = text;
        }
        controller->addResults(resultCount);
        return *controller;
    }

    static std::string captionOf(EffectInput input) {
        const std::map<EffectInput, std::string> captions{
            {Value, "T &value:"},   {N, "&N:"},       {N1, "N&1:"},
            {N2, "N&2:"},           {Df1, "Df&1:"},   {Df2, "Df&2:"},
            {Confidence, "Confidence &level:"},       {Alpha, "&Alpha:"},
            {Power, "Ta&rget power:"},                {Effect, "Effect si&ze d:"},
            {Rows, "Table ro&ws:"},                   {Cols, "Ta&ble columns:"},
            {Groups, "Gro&ups:"},                     {Measurements, "&Measurements:"},
            {Correlation, "Correlat&ion:"},           {Epsilon, "Epsilon (&Df correction):"},
            {R2, "R² of the f&ull model:"},           {Predictors, "Num&ber of predictors:"},
            {Ratio, "&Ratio beta/alpha:"},            {Margin, "Equivalence &margin:"}};
        return captions.at(input);
    }

    std::vector<std::string> expectedNumbers(const EffectRequest& request) {
        return effectOutputNumbers(request.quantity, computeEffect(calculators, request));
    }

    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    ComputationListeners listeners;
    HeardRequests heard;
    FakeEffectsView view;
    std::optional<EffectsController> controller;
};

// Only the sizes of the t design in use are read: a bad text in a hidden one is no error.
TEST_F(EffectsControllerTest, ReadsTheSizesOfTheTDesignInUse) {
    EffectsController& estimate = group(
        DistributionKind::T, "d",
        {{Value, "2.5"}, {N, "x"}, {N1, "10"}, {N2, "12"}, {Confidence, "0.9"}}, 3);
    estimate.setDesign({StudyDesign::Basic, true});
    EXPECT_EQ(view.hidden, std::set<EffectInput>{N});
    estimate.compute();
    ASSERT_EQ(heard.heard.size(), 1u);
    EffectRequest expected;
    expected.value = 2.5;
    expected.n1 = 10;
    expected.n2 = 12;
    expected.confidence = 0.9;
    const EffectRequest& twoGroups = heard.heard[0].first;
    EXPECT_EQ(std::tuple(twoGroups.n, twoGroups.n1, twoGroups.n2, twoGroups.confidence),
              std::tuple(0, 10, 12, 0.9));
    EXPECT_EQ(view.results, expectedNumbers(expected));
    EXPECT_EQ(view.status, "Finished");

    estimate.setDesign({StudyDesign::Basic, false});
    EXPECT_EQ(view.hidden, (std::set<EffectInput>{N1, N2}));
    EXPECT_EQ(view.results, std::vector<std::string>(3));
    EXPECT_EQ(view.status, "");
    estimate.compute();
    EXPECT_EQ(reporter.messages, std::vector<std::string>{"N: 'x' is not a finite decimal number"});
    view.texts[N] = "20";
    view.texts[N1] = "y";
    estimate.compute();
    ASSERT_EQ(heard.heard.size(), 2u);
    EXPECT_EQ(std::tuple(heard.heard[1].first.n, heard.heard[1].first.n1), std::tuple(20, 0));
}

// A design shows its own inputs and reads them with its name; each question shows the inputs
// its command reads, names its results, and shows the command line's numbers and the design's
// formula. Switching back to today's form reads the Df again.
TEST_F(EffectsControllerTest, ADesignAndItsQuestionsReadTheirOwnInputs) {
    EffectsController& power = group(DistributionKind::F, "power",
                                     {{Effect, "0.0625"},
                                      {R2, "0.2"},
                                      {Df1, "3"},
                                      {Df2, "40"},
                                      {Groups, "2"},
                                      {Measurements, "4"},
                                      {Correlation, "0.5"},
                                      {Epsilon, "0.8"},
                                      {Predictors, "3"},
                                      {N, "30"},
                                      {Power, "0.9"},
                                      {Ratio, "2"},
                                      {Alpha, "0.05"}},
                                     2);
    power.addQuestionChoice({"power", "sensitivity", "criterion", "compromise"});
    view.choices[EffectChoice::Question] = 0;
    power.setDesign({StudyDesign::RmWithin, true});
    EXPECT_EQ(view.hidden, (std::set<EffectInput>{R2, Df1, Df2, Predictors, Power, Ratio}));
    EXPECT_TRUE(view.formulaShown);

    struct Asked {
        int position;
        std::string command;
        std::set<EffectInput> hidden;
        std::vector<std::string> captions;
    };
    const std::vector<Asked> questions{
        {1, "sensitivity", {Effect, R2, Df1, Df2, Predictors, Ratio}, {"Smallest f²:"}},
        {2, "criterion", {R2, Df1, Df2, Predictors, Ratio, Alpha}, {"Alpha:"}},
        {3, "compromise", {R2, Df1, Df2, Predictors, Power, Alpha}, {"Alpha:", "Power:"}},
    };
    for (const Asked& asked : questions) {
        view.choices[EffectChoice::Question] = asked.position;
        power.commandChanged();
        EXPECT_EQ(view.hidden, asked.hidden) << asked.command;
        EXPECT_EQ(view.hiddenResults, asked.captions.size() == 1 ? std::set<std::size_t>{1}
                                                                  : std::set<std::size_t>{});
        for (std::size_t index = 0; index < asked.captions.size(); ++index) {
            EXPECT_EQ(view.captions[index], asked.captions[index]);
        }
        power.compute();
        ASSERT_FALSE(heard.heard.empty());
        const auto& [request, outcome] = heard.heard.back();
        ASSERT_FALSE(outcome.failed) << asked.command;
        EXPECT_EQ(request.design, StudyDesign::RmWithin);
        EXPECT_EQ(std::tuple(request.groups, request.measurements, request.epsilon, request.n),
                  std::tuple(2, 4, 0.8, 30));
        std::vector<std::string> shown = effectOutputNumbers(request, outcome);
        shown.resize(2);
        EXPECT_EQ(view.results, shown) << asked.command;
        EXPECT_EQ(view.formula, "Design: " + designFormula(request));
    }

    view.choices[EffectChoice::Question] = 0;
    power.setDesign({StudyDesign::Basic, true});
    EXPECT_FALSE(view.formulaShown);
    power.compute();
    const EffectRequest& basic = heard.heard.back().first;
    EXPECT_EQ(std::tuple(basic.design, basic.df1, basic.df2), std::tuple(StudyDesign::Basic, 3, 40));
    EXPECT_EQ(view.formula, "");
    EXPECT_TRUE(reporter.messages.empty());
}

// A refused input is shown through the reporter and the status, named by its caption, and
// nothing is computed; the window holds an estimate's level to its own range.
TEST_F(EffectsControllerTest, RefusesAnInputWithItsMessageAndComputesNothing) {
    EffectsController& estimate = group(
        DistributionKind::T, "d", {{Value, "2"}, {N, "20"}, {Confidence, "0.5"}}, 3);
    estimate.setDesign({StudyDesign::Basic, false});
    estimate.compute();
    const std::string level = "Confidence level must lie from 0.80 to 0.9999";
    EXPECT_EQ(reporter.messages, std::vector<std::string>{level});
    EXPECT_EQ(view.status, "Failed: " + level);
    EXPECT_EQ(view.results, std::vector<std::string>(3, kFailedText));

    EffectsController& power =
        group(DistributionKind::T, "power", {{Effect, "0.5"}, {N, "20"}, {Alpha, "0.9"}}, 1);
    power.addSidesChoice();
    view.choices[EffectChoice::Sides] = sides_position::OneSided;
    power.setDesign({StudyDesign::Basic, false});
    power.compute();
    EXPECT_EQ(view.status, "Failed: Alpha must lie from 0.0001 to 0.5");
    EXPECT_TRUE(heard.heard.empty());

    view.texts[Alpha] = "0.05";
    power.compute();
    ASSERT_EQ(heard.heard.size(), 1u);
    EXPECT_EQ(heard.heard[0].first.sides, 1);
}

// F 100000 with Df 1 and 1000 needs λ beyond the F family's range: the family's messages end
// the status, every result says it failed, and the listeners hear of the failed outcome.
TEST_F(EffectsControllerTest, ShowsACalculationsFailureAndTellsTheListeners) {
    EffectsController& estimate = group(
        DistributionKind::F, "eta2",
        {{Value, "100000"}, {Df1, "1"}, {Df2, "1000"}, {Confidence, "0.95"}}, 3);
    estimate.compute();
    ASSERT_FALSE(reporter.messages.empty());
    std::string status = "Failed:";
    for (const std::string& message : reporter.messages) {
        status += ' ' + message;
    }
    EXPECT_EQ(view.status, status);
    EXPECT_EQ(view.results, std::vector<std::string>(3, kFailedText));
    ASSERT_EQ(heard.heard.size(), 1u);
    EXPECT_TRUE(heard.heard[0].second.failed);
    EXPECT_EQ(heard.heard[0].second.messages, reporter.messages);
}

// A restored request is shown as the command line reads it, its measure chosen, and computes
// back to itself.
TEST_F(EffectsControllerTest, RestoresARequestWithItsMeasure) {
    EffectsController& estimate = group(
        DistributionKind::F, "eta2",
        {{Value, "1"}, {Df1, "1"}, {Df2, "1"}, {Confidence, "0.95"}}, 3);
    estimate.addMeasureChoice({"eta2", "f2"});
    view.choices[EffectChoice::Measure] = 0;
    view.results = {"1", "2", "3"};
    EffectRequest request;
    request.distribution = DistributionKind::F;
    request.measure = EffectMeasure::CohensFSquared;
    request.value = 4.25;
    request.df1 = 3;
    request.df2 = 40;
    request.confidence = 0.99;
    estimate.restore(request);
    EXPECT_EQ(view.choices[EffectChoice::Measure], 1);
    EXPECT_EQ(view.results, std::vector<std::string>(3));
    estimate.compute();
    ASSERT_EQ(heard.heard.size(), 1u);
    const EffectRequest& back = heard.heard[0].first;
    EXPECT_EQ(std::tuple(back.measure, back.value, back.df1, back.df2, back.confidence),
              std::tuple(request.measure, request.value, request.df1, request.df2,
                         request.confidence));
    EXPECT_EQ(view.results, expectedNumbers(request));
}

// A t sample size reads its design from the window and names its N by it.
TEST_F(EffectsControllerTest, ASampleSizeFollowsTheTDesign) {
    EffectsController& sampleSize = group(
        DistributionKind::T, "sample-size", {{Effect, "0.5"}, {Power, "0.8"}, {Alpha, "0.05"}}, 2);
    sampleSize.addSidesChoice();
    view.choices[EffectChoice::Sides] = sides_position::TwoSided;
    for (const bool twoGroups : {true, false}) {
        sampleSize.setDesign({StudyDesign::Basic, twoGroups});
        EXPECT_EQ(view.captions[0], twoGroups ? "N per group:" : "N:");
        sampleSize.compute();
        EXPECT_EQ(heard.heard.back().first.twoSample, twoGroups);
        EXPECT_EQ(heard.heard.back().first.sides, 2);
    }
}

// The measure chosen decides the inputs shown and read (Df for w, the table for V); a one-sided
// interval refuses a level below .90 and is restored with its alternative.
TEST_F(EffectsControllerTest, FollowsTheMeasureAndTheAlternative) {
    EffectsController& estimate =
        group(DistributionKind::ChiSquare, "w",
              {{Value, "20"}, {Df1, "4"}, {Rows, "x"}, {Cols, "4"}, {N, "100"}, {Confidence, "0.85"}},
              3);
    estimate.addMeasureChoice({"w", "v"});
    estimate.addAlternativeChoice();
    view.choices[EffectChoice::Measure] = 0;
    view.choices[EffectChoice::Alternative] = static_cast<int>(Alternative::TwoSided);
    estimate.commandChanged();
    EXPECT_EQ(view.hidden, (std::set<EffectInput>{Rows, Cols}));
    estimate.compute();  // the bad rows text is not read
    EXPECT_EQ(view.status, "Finished");

    view.choices[EffectChoice::Alternative] = static_cast<int>(Alternative::Less);
    estimate.compute();
    EXPECT_EQ(reporter.messages.back(), "Confidence level must lie from 0.90 to 0.9999 one-sided");

    EffectRequest request{.distribution = DistributionKind::ChiSquare,
                          .measure = EffectMeasure::CramersV,
                          .value = 20.0,
                          .n = 100,
                          .confidence = 0.95,
                          .rows = 3,
                          .cols = 4,
                          .alternative = Alternative::Greater};
    estimate.restore(request);
    EXPECT_EQ(view.choices[EffectChoice::Measure], 1);
    EXPECT_EQ(view.choices[EffectChoice::Alternative], static_cast<int>(Alternative::Greater));
    EXPECT_EQ(view.hidden, (std::set<EffectInput>{Df1}));
    estimate.compute();
    EXPECT_EQ(view.status, "Finished");
    EXPECT_EQ(view.results, expectedNumbers(request));
    EXPECT_EQ(view.results.back(), "inf");
}

}  // namespace
}  // namespace quorvel
