#pragma once

#include "model/computation_listener.h"

namespace quorvel {

class Calculators;
class PlotPane;

// Keeps the Effect Size and Power window's plot in step with its power and sample-size
// computations: each draws its power picture, a failure clears the plot with the reason. An
// effect size has no power picture and leaves the plot as it is; the main window's
// computations have a plot of their own.
class PowerPlot : public ComputationListener {
  public:
    PowerPlot(Calculators& calculators, PlotPane& pane);

    void effectComputed(const EffectRequest& request, const EffectOutcome& outcome) override;

  private:
    Calculators& calculators_;
    PlotPane& pane_;
};

}  // namespace quorvel
