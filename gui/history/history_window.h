#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "model/computation.h"
#include "model/effects/effects.h"

class QLabel;
class QPushButton;
class QTableView;

namespace quorvel {

class FailureReporter;
class HelpWindow;
class HistoryModel;
class HistorySortModel;

// The History window: the record of computations as a table, newest first, sortable by any
// column (click its title), several rows selectable. Above the table a line says how many
// computations are kept and how many at most. Columns that no row uses are hidden.
//
// - Copy (Ctrl+C): the selected rows, as shown, on the clipboard as tab-separated text with the
//   column titles first, for a spreadsheet.
// - Export CSV...: the selected rows, or every row when none is selected, oldest first, into a
//   batch file (the button and the file dialog's title say which: "Export All as CSV...",
//   "Export 2 Selected as CSV...") (the batch's input columns, then its output columns) that
//   `quorvel-cli --batch` recomputes to the same digits.
// - Double-click (or Enter on) a row: its inputs go back into the window they came from, ready
//   to Compute: restoreRequested for the main window's rows, effectRestoreRequested for the
//   Effect Size and Power window's.
// - Clear: asks first, then empties the record.
// - Help (F1) opens the help on this window; Shift+F1 or the caption's "?" explains a button.
//
// Messages (an export that cannot be written) go through the reporter.
class HistoryWindow : public QWidget {
    Q_OBJECT

  public:
    HistoryWindow(HistoryModel& model, HelpWindow& helpWindow, FailureReporter& reporter,
                  QWidget* parent = nullptr);

    // Shows the window in front.
    void showWindow();

    // The rows (by record position, oldest first = 0) that are selected, in the order shown.
    std::vector<std::size_t> selectedPositions() const;
    // Puts the selected rows on the clipboard and returns the text (empty with no selection).
    QString copySelection();
    // Writes the selected rows, or all with none selected, as a batch file; false after the
    // message when the file cannot be written.
    bool exportTo(const QString& path);
    // Asks, then clears; true when the record was cleared.
    bool clearRecord();
    // Puts the inputs of the row shown at `viewRow` back into their window.
    void restoreRow(int viewRow);

    // Where Export CSV... asks for the file name (a save-file dialog by default; an empty name
    // cancels); for tests.
    void setFileChooser(std::function<QString()> chooser) { chooseFile_ = std::move(chooser); }

    QTableView& table() const { return *table_; }
    QLabel& countLabel() const { return *countLabel_; }
    QPushButton& copyButton() const { return *copyButton_; }
    QPushButton& exportButton() const { return *exportButton_; }
    QPushButton& clearButton() const { return *clearButton_; }
    QPushButton& helpButton() const { return *helpButton_; }
    QPushButton& closeButton() const { return *closeButton_; }

    // The page of the help that describes the window.
    static constexpr const char* kHelpPage = "history.html";

  signals:
    void restoreRequested(const quorvel::ComputeRequest& request);
    void effectRestoreRequested(const quorvel::EffectRequest& request);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildButtons();
    void attachWhatsThis();
    void updateCount();
    void updateColumns();
    void updateExportCaption();
    void exportWithChooser();
    QString defaultChooser();

    HistoryModel& model_;
    HelpWindow& helpWindow_;
    FailureReporter& reporter_;
    HistorySortModel* sorter_;
    QTableView* table_;
    QLabel* countLabel_;
    QPushButton* copyButton_ = nullptr;
    QPushButton* exportButton_ = nullptr;
    QPushButton* clearButton_ = nullptr;
    QPushButton* helpButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    std::function<QString()> chooseFile_;
};

}  // namespace quorvel
