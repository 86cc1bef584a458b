#pragma once

#include <QApplication>
#include <memory>

#include "gui/widgets/message_box_reporter.h"

namespace quorvel {

class Calculators;
class HelpWindow;
class HistoryFile;
class HistoryModel;
class HistoryWindow;

// The application: it owns the calculators (and with them the failure value), the help
// window and the record of computations with its window and its file, runs the main dialog
// modally, and ends when the dialog ends. Its name is the
// executable's base name, which is also the caption of every message box.
class CCalculatorApp : public QApplication {
    Q_OBJECT

  public:
    CCalculatorApp(int& argc, char** argv);
    ~CCalculatorApp() override;

    // Start-up, the modal main dialog, shutdown; returns the program's exit status.
    int run();

    HelpWindow& helpWindow() const { return *helpWindow_; }
    HistoryModel& historyModel() const { return *historyModel_; }
    HistoryWindow& historyWindow() const { return *historyWindow_; }
    HistoryFile& historyFile() const { return *historyFile_; }
    // The calculators while the main dialog runs; nullptr before and after.
    Calculators* calculators() const { return calculators_.get(); }

  private:
    void InitInstance();
    int ExitInstance();

    MessageBoxReporter reporter_;
    std::unique_ptr<Calculators> calculators_;
    std::unique_ptr<HelpWindow> helpWindow_;
    std::unique_ptr<HistoryModel> historyModel_;
    std::unique_ptr<HistoryWindow> historyWindow_;
    std::unique_ptr<HistoryFile> historyFile_;
};

}  // namespace quorvel
