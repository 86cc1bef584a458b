#pragma once

#include <optional>
#include <string>

#include "gui/main/compute_view.h"
#include "model/computation.h"
#include "model/computation_listener.h"
#include "model/request_model.h"

namespace quorvel {

class Calculators;

// Positions of the radio buttons in their groups, as the view reports them; the controller
// turns them into a DistributionKind and a QuantityKind through its own tables.
namespace radio {
inline constexpr int F = 0;
inline constexpr int T = 1;
inline constexpr int ChiSquare = 2;
inline constexpr int CumP = 0;
inline constexpr int Value = 1;
inline constexpr int Noncentrality = 2;
inline constexpr int Interval90 = 3;
inline constexpr int Interval95 = 4;
inline constexpr int Interval99 = 5;
}  // namespace radio
enum class ComputeStatus { NeedsCompute, Working, Finished };

// The logic of the main window without any window system: the selection of distribution and
// quantity, the role and label of every field for each of the 18 combinations, defaults for
// empty inputs, and Compute, which reads the inputs, calls one public routine and writes the
// result. It drives the dialog only through ComputeView.
class ComputeController {
  public:
    ComputeController(Calculators& calculators, ComputeView& view);

    // Dialog start, after the fields have their defaults and ranges: F, Cum. P, 90%, the
    // layout, and "COMPUTE".
    void startUp();
    // Reads the selection back from the radio buttons and lays out labels and fields; a change
    // of the distribution or the quantity clears the confidence limits.
    void updateLayout();
    // An interval button: stores its confidence level, then lays out.
    void selectInterval(double confidence);
    // Reads the inputs, calls the chosen routine, writes the result, tells the listeners; ends
    // "Finished". Each input is read by the rule of the command line (readInputNumber, blanks
    // around it ignored): the first one refused is reported through the calculators' reporter,
    // named by its label ("Df1: '2.9' is not a whole number of degrees of freedom"), nothing is
    // computed or told, the result fields are cleared and the status asks for Compute again.
    void compute();
    // Puts a computation's inputs back, ready to Compute: checks its distribution and its
    // quantity (an interval by its level, 0.90, 0.95 or 0.99), lays the fields out, writes every
    // input the quantity reads as a text that reads back as the same number, and clears the
    // results; the status asks for Compute. False, with nothing changed, for an interval at a
    // level the window cannot choose.
    bool restore(const ComputeRequest& request);
    // Every change of a field's text lands here.
    void markNeedsCompute();
    void setStatus(ComputeStatus status);

    int distribution() const { return distribution_; }
    int quantity() const { return quantity_; }
    double confidence() const { return confidence_; }
    ComputeStatus status() const { return status_; }
    // Told of every computation once its result is written.
    ComputationListeners& listeners() { return listeners_; }

  private:
    void readSelection();
    void labelForDistribution();
    void layoutConfidenceGroup();
    void assignFieldRoles();
    void fillEmptyInputs();
    std::optional<ComputeRequest> readRequest();
    std::string inputName(RequestInput input) const;
    void clearOutputs();
    void writeOutcome(QuantityKind quantity, const ComputeOutcome& outcome);

    Calculators& calculators_;
    ComputeView& view_;
    int distribution_ = -1;
    int quantity_ = -1;
    double confidence_ = 0.90;
    ComputeStatus status_ = ComputeStatus::NeedsCompute;
    ComputationListeners listeners_;
};

}  // namespace quorvel
