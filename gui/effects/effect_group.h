#pragma once

#include <QGroupBox>
#include <cstdint>
#include <string>
#include <vector>

#include "gui/effects/effects_controller.h"
#include "gui/effects/effects_view.h"
#include "model/effects/effect_request.h"

class QComboBox;
class QFormLayout;
class QHBoxLayout;
class QLabel;
class QPushButton;

namespace quorvel {

class Calculators;
class CNumEdit;
class ComputationListeners;

// A numeric input of a group: what it is, its caption (with its mnemonic), its starting value
// and the range that value is held to, and its What's This text's identifier.
struct EffectField {
    EffectInput input;
    const char* label;
    double value;
    double min;
    double max;
    bool integer;
    std::uint32_t popupId;
};

// One measure an estimate group may compute, or one question a power group may answer: its
// command ("eta2", "sensitivity") and its caption.
struct EffectMeasureOption {
    std::string_view command;
    const char* caption;
};

// One group of the Effect Size and Power window: the inputs of one quantity of one family, its
// Compute button, its results and a status line, on Qt widgets. What Compute reads, computes and
// shows is its EffectsController's; an input the rules refuse, and every calculation error, is
// shown through the calculators' reporter, a message box over this window. Changing an input
// clears the results. A result shows by its significant digits as the main window's do
// (shownNumber) and copies whole; the status line keeps its room, so nothing moves when it
// fills.
class EffectGroup : public QGroupBox, private EffectsView {
    Q_OBJECT

  public:
    // `command` names the quantity computed ("d", "power", "sample-size") unless a measure
    // choice is added.
    EffectGroup(const QString& title, DistributionKind distribution, std::string_view command,
                Calculators& calculators, ComputationListeners& listeners);

    // A choice between measures ("eta2", "f2"): the quantity computed follows the choice.
    void addMeasureChoice(const char* label, const std::vector<EffectMeasureOption>& measures,
                          std::uint32_t popupId);
    void addField(const EffectField& field);
    // Two-sided or one-sided test (t).
    void addSidesChoice(std::uint32_t popupId);
    // The question a power group answers: power, the smallest effect, α, or the compromise.
    void addQuestionChoice(const char* label, const std::vector<EffectMeasureOption>& questions,
                           std::uint32_t popupId);
    // Two-sided interval, or one bounded below or above (an estimate).
    void addAlternativeChoice(std::uint32_t popupId);
    // The Compute button, then one read-only result field per number of the output line (the
    // most its questions print), and under the status the line of a design's formula.
    void addResults(const char* computeCaption, const std::vector<const char*>& resultLabels,
                    std::uint32_t resultPopupId);

    // The design chosen for the whole tab: N for one sample, N1 and N2 for two groups; a power
    // or sample size also shows the design's inputs.
    void setDesign(const FormDesign& design);

    void compute();
    // Puts a request's inputs back (its measure, sides and numbers as the command line reads
    // them), clearing the results, ready to compute. The t design is the window's to set.
    void restore(const EffectRequest& request);

    EffectQuantity quantity() const { return controller_.quantity(); }
    CNumEdit* field(EffectInput input) const;
    // The question choice of a power group, or nothing.
    QComboBox* questionChoice() const { return question_; }
    QLabel& formula() const { return *formula_; }
    const std::vector<CNumEdit*>& results() const { return results_; }
    QPushButton& computeButton() const { return *computeButton_; }
    QLabel& status() const { return *status_; }

  protected:
    // The title's mnemonic moves the focus to the group's first input shown, wherever it was last.
    bool event(QEvent* event) override;

  private:
    struct Input {
        EffectInput input;
        CNumEdit* edit;
    };

    void addRow(const char* label, QWidget* field, std::uint32_t popupId);
    QComboBox* choiceBox(EffectChoice choice) const;

    std::string text(EffectInput input) const override;
    void setText(EffectInput input, std::string_view text) override;
    void setInputShown(EffectInput input, bool shown) override;
    int choice(EffectChoice choice) const override;
    void setChoice(EffectChoice choice, int position) override;
    void setResult(std::size_t index, std::string_view text) override;
    void setResultCaption(std::size_t index, std::string_view caption) override;
    void setResultShown(std::size_t index, bool shown) override;
    void setStatus(std::string_view text) override;
    void setFormulaShown(bool shown) override;
    void setFormula(std::string_view text) override;
    QComboBox* addCommandChoice(const char* label, const std::vector<EffectMeasureOption>& options,
                                std::uint32_t popupId);

    Calculators& calculators_;
    EffectsController controller_;
    QHBoxLayout* columns_;
    QFormLayout* inputs_;
    QFormLayout* outputs_ = nullptr;
    std::vector<Input> fields_;
    QComboBox* measure_ = nullptr;
    QComboBox* sides_ = nullptr;
    QComboBox* alternative_ = nullptr;
    QComboBox* question_ = nullptr;
    QPushButton* computeButton_ = nullptr;
    std::vector<CNumEdit*> results_;
    QLabel* status_ = nullptr;
    QLabel* formula_ = nullptr;
};

}  // namespace quorvel
