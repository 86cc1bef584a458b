#include "gui/history/history_link.h"

#include "gui/effects/effects_window.h"

#include "gui/history/history_model.h"
#include "gui/history/history_window.h"
#include "gui/main/cmain_dlg.h"
#include "model/number_text.h"
#include "numerics/foundations/failure/failure_reporter.h"

namespace quorvel {

void linkHistory(CMainDlg& dialog, HistoryModel& model, HistoryWindow& window,
                 FailureReporter& reporter) {
    dialog.controller().listeners().add(model);
    QObject::connect(&dialog, &CMainDlg::historyRequested, &window, &HistoryWindow::showWindow);
    QObject::connect(&window, &HistoryWindow::restoreRequested, &dialog,
                     [&dialog, &reporter](const ComputeRequest& request) {
                         if (!dialog.controller().restore(request)) {
                             reporter.show(
                                 "The window computes intervals at 90%, 95% and 99% "
                                 "only; this row's level is " +
                                 formatShortest(request.confidence) + ".");
                             return;
                         }
                         dialog.raise();
                         dialog.activateWindow();
                     });
    QObject::connect(&window, &HistoryWindow::effectRestoreRequested, &dialog,
                     [&dialog, &reporter](const EffectRequest& request) {
                         dialog.showEffectsWindow();
                         if (!dialog.effectsWindow()->restore(request)) {
                             reporter.show(
                                 "The window searches the RMSEA1 of a close or exact fit only; "
                                 "this row's sensitivity searches a not-close fit. The command "
                                 "line computes it: quorvel-cli chisq sensitivity --design rmsea "
                                 "--alternative less.");
                         }
                     });
}

}  // namespace quorvel
