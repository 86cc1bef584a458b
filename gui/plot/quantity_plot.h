#pragma once

#include <optional>

#include "model/computation_listener.h"

namespace quorvel {

class Calculators;
class PlotPane;

// Keeps a plot pane in step with the computations of the main window: each computation that
// ends draws its picture, or, for a failure, clears the pane with the reason. While the pane
// is hidden nothing is drawn; the last computation is drawn when it is shown again.
class QuantityPlot : public ComputationListener {
  public:
    QuantityPlot(Calculators& calculators, PlotPane& pane);

    void quantityComputed(const ComputeRequest& request, const ComputeOutcome& outcome) override;
    void setShown(bool shown);

  private:
    void draw();

    Calculators& calculators_;
    PlotPane& pane_;
    bool shown_ = true;
    bool drawn_ = true;
    std::optional<ComputeRequest> request_;
    ComputeOutcome outcome_;
};

}  // namespace quorvel
