#include "app/ccalculator_app.h"

#include "app/cmain_dlg.h"
#include "app/help_window.h"
#include "app/program_resources.h"
#include "numerics/calculators.h"

namespace quorvel {

CCalculatorApp::CCalculatorApp(int& argc, char** argv)
    : QApplication(argc, argv), helpWindow_(std::make_unique<HelpWindow>()) {
    setApplicationVersion(QStringLiteral(QUORVEL_VERSION));
    setDesktopFileName(QStringLiteral(QUORVEL_APP_ID));
    setWindowIcon(programIcon());
}

CCalculatorApp::~CCalculatorApp() = default;

int CCalculatorApp::run() {
    InitInstance();
    return ExitInstance();
}

// The calculators are created in their fixed order (Calculators), then the main dialog runs
// modally; when it ends there is no further event loop.
void CCalculatorApp::InitInstance() {
    calculators_ = std::make_unique<Calculators>(reporter_);
    CMainDlg dialog(*calculators_, *helpWindow_);
    reporter_.setOwner(&dialog);
    dialog.exec();
    reporter_.setOwner(nullptr);
}

// The calculators go in their order of creation; the help window closes with the program.
int CCalculatorApp::ExitInstance() {
    calculators_.reset();
    helpWindow_->close();
    return 0;
}

}  // namespace quorvel
