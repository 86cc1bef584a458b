#include "app/history_link.h"

#include "app/effects_window.h"

#include "app/cmain_dlg.h"
#include "app/history_model.h"
#include "app/history_window.h"
#include "numerics/number_text.h"
#include "numerics/foundations/failure_reporter.h"

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
                     [&dialog](const EffectRequest& request) {
                         dialog.showEffectsWindow();
                         dialog.effectsWindow()->restore(request);
                     });
}

}  // namespace quorvel
