#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "gui/effects/effects_view.h"
#include "model/computation_listener.h"
#include "model/effects/effect_request.h"

namespace quorvel {

class Calculators;

// The logic of one group of the Effect Size and Power window without any window system: the
// inputs of one quantity of one family, read by the command line's rules, computed through
// computeEffect and shown as the command line prints them. It drives its group only through
// EffectsView. The group is described first (inputs, choices, results), in the order shown.
class EffectsController {
  public:
    // `command` names the quantity computed ("d", "power", "sample-size") unless a measure
    // choice is added.
    EffectsController(DistributionKind distribution, std::string_view command,
                      Calculators& calculators, ComputationListeners& listeners,
                      EffectsView& view);

    // A choice between measures ("eta2", "f2"), by position: the quantity follows the choice,
    // and only the inputs its command reads are shown.
    void addMeasureChoice(const std::vector<std::string_view>& commands);
    // Two-sided or one-sided interval (the positions of Alternative).
    void addAlternativeChoice();
    // The chosen measure changed: shows the inputs it reads, hides the others, clears the
    // results.
    void measureChanged();
    // An input with its caption as shown ("N&1:"); its messages name it without the mnemonic
    // and the colon.
    void addInput(EffectInput input, std::string_view caption);
    // Two-sided or one-sided test (t).
    void addSidesChoice();
    void addResults(std::size_t count);

    // The t design: N for one sample, N1 and N2 for two groups. Shows the design's sizes,
    // names a sample size's result "N per group:" or "N:", and clears the results.
    void setTwoGroups(bool twoGroups);

    // Reads the request from the shown inputs (those of the t design in use and the measure
    // chosen), refuses it with the rules' message, or a confidence level outside the window's
    // range (.90 to .9999 one-sided), through the reporter, and otherwise computes it: the numbers and "Finished", or "Failed:" with the
    // calculation's messages. The listeners hear of every request computed.
    void compute();
    // Puts a request's inputs back (its measure, sides and numbers as the command line reads
    // them), clearing the results, ready to compute. Nothing for a request no command makes.
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
    // Whether an input is read: the chosen command takes it and it belongs to the t design.
    bool isRead(EffectInput input) const;
    void showFailure(const std::vector<std::string>& messages);

    DistributionKind distribution_;
    std::vector<std::string_view> commands_;
    EffectQuantity quantity_;
    Calculators& calculators_;
    ComputationListeners& listeners_;
    EffectsView& view_;
    std::vector<Input> inputs_;
    bool measureChoice_ = false;
    bool sidesChoice_ = false;
    bool alternativeChoice_ = false;
    bool twoGroups_ = true;
    std::size_t resultCount_ = 0;
};

}  // namespace quorvel
