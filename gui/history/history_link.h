#pragma once

namespace quorvel {

class CMainDlg;
class FailureReporter;
class HistoryModel;
class HistoryWindow;

// Makes the record of computations serve the main window: the model hears every computation
// of the dialog, the dialog's "History..." (Ctrl+H) shows the History window, and a main-window
// row double-clicked there puts its inputs back into the dialog, which comes to the front. A
// row whose interval level the dialog cannot choose is refused with a message through the
// reporter. The model must outlive the dialog.
void linkHistory(CMainDlg& dialog, HistoryModel& model, HistoryWindow& window,
                 FailureReporter& reporter);

}  // namespace quorvel
