#include "gui/app/ccalculator_app.h"

#include <QLabel>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "gui/dialog/control_ids.h"
#include "gui/effects/effect_group.h"
#include "gui/effects/effects_window.h"
#include "gui/help/help_window.h"
#include "gui/history/history_file.h"
#include "gui/history/history_model.h"
#include "gui/main/cmain_dlg.h"
#include "tests/gui/support/modal_watcher.h"

using namespace quorvel;
using quorvel::testing::ModalWatcher;

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
    void aDamagedHistoryIsToldOnceInABoxOwnedByTheDialog();

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

// The history is read once the dialog runs; a damaged file shows one warning box owned by the
// dialog, keeps its copy and leaves a history that computations add to.
void ApplicationTest::aDamagedHistoryIsToldOnceInABoxOwnedByTheDialog() {
    const QString path = app_.historyFile().path();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path + QStringLiteral(".bad"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(
            "time,distribution,quantity,value,df1,df2,noncentrality,status,result\n"
            "2026-12-08 09:00:00,f,cdf,3,5,10,0,ok,0.93444243790615589\n"
            "2026-12-08 09:00:01,f,cdf,3,5,1");
    }
    std::vector<ModalWatcher::Seen> seen;
    int rowsAfterCompute = 0;
    bool ownedByDialog = false;
    QTimer::singleShot(0, [&] {
        CMainDlg* dialog = runningDialog();
        QVERIFY(dialog != nullptr);
        ModalWatcher watcher;
        QTRY_COMPARE(watcher.seen().size(), std::size_t{1});
        seen = watcher.seen();
        ownedByDialog = seen[0].parent == dialog;
        QCOMPARE(app_.historyModel().rowCount(), 1);
        QTest::mouseClick(dialog->control(control::kComputeButton), Qt::LeftButton);
        rowsAfterCompute = app_.historyModel().rowCount();
        QTest::keyClick(dialog->control(control::kValueField), Qt::Key_Escape);
    });
    QCOMPARE(app_.run(), 0);
    QCOMPARE(seen.size(), std::size_t{1});
    QCOMPARE(seen[0].icon, QMessageBox::Warning);
    QVERIFY(ownedByDialog);
    QVERIFY2(seen[0].text.contains(QStringLiteral("damaged")), qPrintable(seen[0].text));
    QVERIFY(QFile::exists(path + QStringLiteral(".bad")));
    QCOMPARE(rowsAfterCompute, 2);
}

int main(int argc, char** argv) {
    // The record of computations goes to a test folder, never to the user's.
    QStandardPaths::setTestModeEnabled(true);
    CCalculatorApp app(argc, argv);
    QFile::remove(app.historyFile().path());
    ApplicationTest test(app);
    return QTest::qExec(&test, argc, argv);
}

#include "app_test.moc"
