#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gui/effects/effects_view.h"
#include "model/computation_listener.h"
#include "model/effects/effect_request.h"

namespace quorvel {

class Calculators;

// The study design a tab of the window has chosen: Basic or one of the family's designs, and
// for t one sample (or pairs) or two groups.
struct FormDesign {
    StudyDesign design = StudyDesign::Basic;
    bool twoGroups = true;
};

// The logic of one group of the Effect Size and Power window without any window system: the
// inputs of one quantity of one family, read by the command line's rules, computed through
// computeEffect and shown as the command line prints them. It drives its group only through
// EffectsView. The group is described first (inputs, choices, results), in the order shown.
class EffectsController {
  public:
    // `command` names the quantity computed ("d", "power", "sample-size") unless a measure or
    // question choice is added.
    EffectsController(DistributionKind distribution, std::string_view command,
                      Calculators& calculators, ComputationListeners& listeners,
                      EffectsView& view);

    // A choice between measures ("eta2", "f2"), by position: the quantity follows the choice,
    // and only the inputs its command reads are shown.
    void addMeasureChoice(const std::vector<std::string_view>& commands);
    // A choice between the questions of a power group ("power", "sensitivity", "criterion",
    // "compromise"), by position, shown as a measure choice is; the results' captions follow.
    void addQuestionChoice(const std::vector<std::string_view>& commands);
    // Two-sided or one-sided interval (the positions of Alternative).
    void addAlternativeChoice();
    // The chosen measure or question changed: shows the inputs it reads under the design,
    // hides the others, names the results and clears them.
    void commandChanged();
    // An input with its caption as shown ("N&1:"); its messages name it without the mnemonic
    // and the colon.
    void addInput(EffectInput input, std::string_view caption);
    // Two-sided or one-sided test (t).
    void addSidesChoice();
    void addResults(std::size_t count);

    // The tab's design. An estimate follows only the t design's samples (N, or N1 and N2); a
    // power or sample size shows the inputs of the design and names its results by it ("N per
    // group:" for two equal groups).
    void setDesign(const FormDesign& design);

    // Reads the request from the shown inputs (those of the design in use and the command
    // chosen), refuses it with the rules' message, or a confidence level outside the window's
    // range (.90 to .9999 one-sided), through the reporter, and otherwise computes it: the
    // numbers, "Finished" and a design's formula, or "Failed:" with the calculation's messages.
    // The listeners hear of every request computed.
    void compute();
    // Puts a request's inputs back (its measure or question, sides and numbers as the command
    // line reads them), clearing the results, ready to compute. The design is the tab's to set
    // first. Nothing for a request no command makes.
    void restore(const EffectRequest& request);
    // Every change of an input or a choice lands here.
    void clearResults();

    EffectQuantity quantity() const { return quantity_; }

  private:
    struct Input {
        EffectInput input;
        std::string name;
    };

    const EffectCommand& command() const;
    EffectTexts texts() const;
    std::string nameOf(EffectInput input) const;
    bool hasInput(EffectInput input) const;
    // Whether an input is read: the chosen command's form under the design shows it, and it
    // belongs to the t design's samples.
    bool isRead(EffectInput input) const;
    // The results' captions for the command and design chosen; empty for an estimate, whose
    // captions are fixed.
    std::vector<std::string> resultCaptions() const;
    void showFailure(const std::vector<std::string>& messages);

    DistributionKind distribution_;
    std::vector<std::string_view> commands_;
    EffectQuantity quantity_;
    Calculators& calculators_;
    ComputationListeners& listeners_;
    EffectsView& view_;
    std::vector<Input> inputs_;
    // The choice that picks the command among commands_, if there is one.
    std::optional<EffectChoice> commandChoice_;
    bool sidesChoice_ = false;
    bool alternativeChoice_ = false;
    FormDesign design_;
    std::size_t resultCount_ = 0;
    // The results the chosen command prints, the first of the group's.
    std::size_t shownResults_ = 0;
};

}  // namespace quorvel
