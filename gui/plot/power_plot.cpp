#include "gui/plot/power_plot.h"

#include "gui/plot/plot_pane.h"
#include "gui/plot/plot_scene.h"

namespace quorvel {

PowerPlot::PowerPlot(Calculators& calculators, PlotPane& pane)
    : calculators_(calculators), pane_(pane) {}

void PowerPlot::effectComputed(const EffectRequest& request, const EffectOutcome& outcome) {
    if (request.quantity != EffectQuantity::Estimate) {
        pane_.showScene(powerScene(calculators_, request, outcome));
    }
}

}  // namespace quorvel
