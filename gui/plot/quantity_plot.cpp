#include "gui/plot/quantity_plot.h"

#include "gui/plot/plot_pane.h"
#include "gui/plot/plot_scene.h"

namespace quorvel {

QuantityPlot::QuantityPlot(Calculators& calculators, PlotPane& pane)
    : calculators_(calculators), pane_(pane) {}

void QuantityPlot::quantityComputed(const ComputeRequest& request, const ComputeOutcome& outcome) {
    request_ = request;
    outcome_ = outcome;
    drawn_ = false;
    if (shown_) {
        draw();
    }
}

void QuantityPlot::setShown(bool shown) {
    shown_ = shown;
    if (shown_ && !drawn_) {
        draw();
    }
}

void QuantityPlot::draw() {
    if (request_) {
        pane_.showScene(quantityScene(calculators_, *request_, outcome_));
    }
    drawn_ = true;
}

}  // namespace quorvel
