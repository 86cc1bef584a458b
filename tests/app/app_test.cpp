#include "app/ccalculator_app.h"

#include <QLabel>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "app/cmain_dlg.h"
#include "app/control_ids.h"
#include "app/effect_group.h"
#include "app/effects_window.h"
#include "app/help_window.h"

using namespace quorvel;

namespace {

CMainDlg* runningDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<CMainDlg*>(widget); dialog && dialog->isVisible()) {
            return dialog;
        }
    }
    return nullptr;
}

}  // namespace

// The application object as the program runs it: run() shows the main dialog modally and
// returns when it ends.
class ApplicationTest : public QObject {
    Q_OBJECT

  public:
    explicit ApplicationTest(CCalculatorApp& app) : app_(app) {}

  private slots:
    void namesAndVersionForTheDesktop();
    void runsTheDialogUntilItEndsThenClosesHelp();
    void theEffectsWindowWorksBesideTheModalDialog();

  private:
    CCalculatorApp& app_;
};

void ApplicationTest::namesAndVersionForTheDesktop() {
    // The executable's base name, which is the caption of every message box.
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("app_test"));
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral(QUORVEL_VERSION));
    QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral(QUORVEL_APP_ID));
    QVERIFY(!QApplication::windowIcon().isNull());
}

void ApplicationTest::runsTheDialogUntilItEndsThenClosesHelp() {
    QVERIFY(app_.calculators() == nullptr);
    bool modal = false;
    bool calculatorsWhileRunning = false;
    bool helpShown = false;
    QString pageAfterClick;
    QTimer::singleShot(0, [&] {
        CMainDlg* dialog = runningDialog();
        QVERIFY(dialog != nullptr);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        modal = dialog->isModal();
        calculatorsWhileRunning = app_.calculators() != nullptr;
        QTest::keyClick(dialog->control(control::kValueField), Qt::Key_F1);

        // The help window takes clicks while the modal dialog runs. The click goes through the
        // window system, where input to a window blocked by a modal one is dropped.
        HelpWindow& help = app_.helpWindow();
        helpShown = help.isVisible();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        QTreeWidget& contents = help.contents();
        const QPoint second = contents.visualItemRect(contents.topLevelItem(1)).center();
        QTest::mouseClick(help.windowHandle(), Qt::LeftButton, {},
                          contents.viewport()->mapTo(&help, second));
        pageAfterClick = help.page().source().fileName();

        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QTest::keyClick(dialog->control(control::kValueField), Qt::Key_Escape);
    });

    QCOMPARE(app_.run(), 0);
    QVERIFY(modal);
    QVERIFY(calculatorsWhileRunning);
    QVERIFY(helpShown);
    QCOMPARE(pageAfterClick, QStringLiteral("using.html"));
    QVERIFY(runningDialog() == nullptr);
    QVERIFY(!app_.helpWindow().isVisible());
    QVERIFY(app_.calculators() == nullptr);
}

// Ctrl+E opens the Effect Size and Power window while the main dialog runs modally, and the
// window takes keys through the window system: Enter computes its current group.
void ApplicationTest::theEffectsWindowWorksBesideTheModalDialog() {
    QString status;
    QTimer::singleShot(0, [&] {
        CMainDlg* dialog = runningDialog();
        QVERIFY(dialog != nullptr);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QTest::keyClick(dialog->control(control::kValueField), Qt::Key_E, Qt::ControlModifier);
        EffectsWindow* effects = dialog->effectsWindow();
        QVERIFY(effects != nullptr);
        QVERIFY(QTest::qWaitForWindowActive(effects));
        QTest::keyClick(effects->windowHandle(), Qt::Key_Return);
        status = effects->group(DistributionKind::T, EffectQuantity::Estimate).status().text();

        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QTest::keyClick(dialog->control(control::kValueField), Qt::Key_Escape);
    });

    QCOMPARE(app_.run(), 0);
    QCOMPARE(status, QStringLiteral("Finished"));
}

int main(int argc, char** argv) {
    // The record of computations goes to a test folder, never to the user's.
    QStandardPaths::setTestModeEnabled(true);
    CCalculatorApp app(argc, argv);
    ApplicationTest test(app);
    return QTest::qExec(&test, argc, argv);
}

#include "app_test.moc"
