#include "gui/app/ccalculator_app.h"

#include <QTimer>

#include "gui/help/help_window.h"
#include "gui/help/program_resources.h"
#include "gui/history/history_file.h"
#include "gui/history/history_link.h"
#include "gui/history/history_model.h"
#include "gui/history/history_window.h"
#include "gui/main/cmain_dlg.h"
#include "numerics/calculators.h"

namespace quorvel {

CCalculatorApp::CCalculatorApp(int& argc, char** argv)
    : QApplication(argc, argv), helpWindow_(std::make_unique<HelpWindow>()) {
    setApplicationVersion(QStringLiteral(QUORVEL_VERSION));
    setDesktopFileName(QStringLiteral(QUORVEL_APP_ID));
    setWindowIcon(programIcon());
    historyModel_ = std::make_unique<HistoryModel>();
    historyWindow_ = std::make_unique<HistoryWindow>(*historyModel_, *helpWindow_, reporter_);
    historyFile_ = std::make_unique<HistoryFile>(*historyModel_, reporter_);
}

CCalculatorApp::~CCalculatorApp() = default;

int CCalculatorApp::run() {
    InitInstance();
    return ExitInstance();
}

// The calculators are created in their fixed order (Calculators), then the main dialog runs
// modally; when it ends there is no further event loop. The record of computations is read
// once the dialog runs, so that a message about a damaged file is owned by the dialog.
void CCalculatorApp::InitInstance() {
    calculators_ = std::make_unique<Calculators>(reporter_);
    CMainDlg dialog(*calculators_, *helpWindow_);
    reporter_.setOwner(&dialog);
    linkHistory(dialog, *historyModel_, *historyWindow_, reporter_);
    QTimer::singleShot(0, &dialog, [this] { historyFile_->load(); });
    dialog.exec();
    reporter_.setOwner(nullptr);
}

// The calculators go in their order of creation; the help and history windows close with the
// program.
int CCalculatorApp::ExitInstance() {
    calculators_.reset();
    helpWindow_->close();
    historyWindow_->close();
    return 0;
}

}  // namespace quorvel
