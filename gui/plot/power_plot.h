#pragma once

#include <optional>

#include "gui/plot/power_curve.h"
#include "model/computation_listener.h"

namespace quorvel {

class Calculators;
class PlotPane;

// What the Effect Size and Power window's plot shows of a power or sample-size computation.
enum class PowerPicture {
    Densities,   // the central and the noncentral density, the power shaded (powerScene)
    OverN,       // the power curve over N (powerCurveOverN)
    OverEffect,  // the power curve over the effect at the N (powerCurveOverEffect)
};

// Keeps the Effect Size and Power window's plot in step with its power and sample-size
// computations: each draws the chosen picture, a failure clears the plot with the reason. An
// effect size has no power picture and leaves the plot as it is; the main window's
// computations have a plot of their own.
class PowerPlot : public ComputationListener {
  public:
    PowerPlot(Calculators& calculators, PlotPane& pane);

    void effectComputed(const EffectRequest& request, const EffectOutcome& outcome) override;

    // Draws the chosen picture of a computation (a tab's last one).
    void show(const EffectRequest& request, const EffectOutcome& outcome);
    // Draws a scene of no computation (a prompt); no curve is shown then.
    void showEmpty(const PlotScene& scene);
    // Chooses the picture and draws the last computation shown in it.
    void choose(PowerPicture picture);
    PowerPicture picture() const { return picture_; }
    // The curve drawn, when the picture is a curve of a computation.
    const std::optional<PowerCurve>& curve() const { return curve_; }

  private:
    struct Shown {
        EffectRequest request;
        EffectOutcome outcome;
    };

    void draw();

    Calculators& calculators_;
    PlotPane& pane_;
    PowerPicture picture_ = PowerPicture::Densities;
    std::optional<Shown> shown_;
    std::optional<PowerCurve> curve_;
};

}  // namespace quorvel
