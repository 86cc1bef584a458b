#include "gui/plot/power_plot.h"

#include "gui/plot/plot_pane.h"
#include "gui/plot/plot_scene.h"

namespace quorvel {

PowerPlot::PowerPlot(Calculators& calculators, PlotPane& pane)
    : calculators_(calculators), pane_(pane) {}

void PowerPlot::effectComputed(const EffectRequest& request, const EffectOutcome& outcome) {
    if (request.quantity != EffectQuantity::Estimate) {
        show(request, outcome);
    }
}

void PowerPlot::show(const EffectRequest& request, const EffectOutcome& outcome) {
    shown_ = Shown{request, outcome};
    draw();
}

void PowerPlot::showEmpty(const PlotScene& scene) {
    shown_.reset();
    curve_.reset();
    pane_.showScene(scene);
}

void PowerPlot::choose(PowerPicture picture) {
    picture_ = picture;
    if (shown_) {
        draw();
    }
}

void PowerPlot::draw() {
    curve_.reset();
    switch (picture_) {
        case PowerPicture::Densities:
            pane_.showScene(powerScene(calculators_, shown_->request, shown_->outcome));
            return;
        case PowerPicture::OverN:
            curve_ = powerCurveOverN(calculators_, shown_->request, shown_->outcome);
            break;
        case PowerPicture::OverEffect:
            curve_ = powerCurveOverEffect(calculators_, shown_->request, shown_->outcome);
            break;
    }
    pane_.showScene(powerCurveScene(*curve_));
}

}  // namespace quorvel
