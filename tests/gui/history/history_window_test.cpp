#include "gui/history/history_window.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "gui/dialog/control_ids.h"
#include "gui/effects/effect_group.h"
#include "gui/effects/effects_window.h"
#include "gui/widgets/cnum_edit.h"
#include "gui/help/help_window.h"
#include "gui/history/history_link.h"
#include "gui/history/history_model.h"
#include "gui/main/cmain_dlg.h"
#include "model/computation.h"
#include "model/number_text.h"
#include "numerics/calculators.h"
#include "tests/gui/support/modal_watcher.h"
#include "tests/support/recording_reporter.h"

using namespace quorvel;
using namespace quorvel::control;
using quorvel::testing::ModalWatcher;
using quorvel::testing::RecordingReporter;

namespace {

// One computation in the main window: the radio buttons to click and the field texts to type.
struct DialogCase {
    int distributionButton;
    int quantityButton;
    ComputeRequest request;
};

const std::vector<DialogCase>& tenCases() {
    using enum DistributionKind;
    using enum QuantityKind;
    // {distribution, quantity, value, noncentrality, cumP, df1, df2, confidence}
    static const std::vector<DialogCase> cases{
        {kRadioF, kRadioCumP, {F, CumP, 3.0, 0.0, 0.0, 5, 10, 0.95}},
        {kRadioF, kRadioCumP, {F, CumP, 3.0, 0.0, 0.0, 0, 10, 0.95}},  // Df1 out of range
        {kRadioT, kRadioValue, {T, Value, 0.0, 1.5, 0.975, 12, 0, 0.95}},
        {kRadioChiSquare, kRadioNoncentrality, {ChiSquare, Noncentrality, 20.0, 0.0, 0.05, 5, 0}},
        {kRadioF, kRadioInterval90, {F, Interval, 10.0, 0.0, 0.0, 3, 10, 0.90}},
        {kRadioChiSquare, kRadioInterval95, {ChiSquare, Interval, -1.0, 0.0, 0.0, 4, 0, 0.95}},
        {kRadioT, kRadioCumP, {T, CumP, 2.5, 1.0, 0.0, 7, 0, 0.95}},
        {kRadioT, kRadioInterval99, {T, Interval, 3.25, 0.0, 0.0, 20, 0, 0.99}},
        {kRadioChiSquare, kRadioCumP, {ChiSquare, CumP, 4.0, 0.5, 0.0, 2, 0, 0.95}},
        {kRadioF, kRadioValue, {F, Value, 0.0, 2.0, 0.5, 4, 30, 0.95}},
    };
    return cases;
}

QString timeAt(int second) {
    return QStringLiteral("2026-12-08 10:00:%1").arg(second, 2, 10, QLatin1Char('0'));
}

// A double-click on a row as the view receives it: press, release, double-click, release. (The
// offscreen platform does not turn QTest's two clicks into a double-click.)
void doubleClick(QTableView& table, int row) {
    QWidget* viewport = table.viewport();
    const QPoint at = table.visualRect(table.model()->index(row, 1)).center();
    const QPoint global = viewport->mapToGlobal(at);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, global, Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    }
}

int column(batch::InputColumn input) {
    return static_cast<int>(kFirstInputColumn + static_cast<std::size_t>(input));
}

int column(batch::OutputColumn output) {
    return static_cast<int>(kFirstOutputColumn + static_cast<std::size_t>(output));
}

}  // namespace

class HistoryWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void tenComputationsGiveTenRowsNewestFirstWithTheirMessages();
    void copyPutsTheSelectedRowsOnTheClipboardAsTabSeparatedText();
    void exportedFileIsRecomputedByTheBatchToTheSameDigits();
    void doubleClickPutsAMainWindowRowBackReadyToCompute();
    void doubleClickOnAnEffectRowAsksForTheEffectWindow();
    void aDesignRowComesBackWithItsDesignAndQuestion();
    void clearAsksFirst();
    void aFullRecordDropsTheOldestAndSaysHowManyItKeeps();
    void columnsSortAsNumbers();
    void theTimeIsShownWholeAndExportSaysWhichRowsItWrites();
    void contextMenuAndCtrlHOpenTheWindow();
    void buttonsExplainThemselvesAndHelpOpensItsPage();

  private:
    void compute(const DialogCase& computation);
    void computeTen();
    QString cell(int viewRow, int column) const;
    // The result the routine gives for the request, computed apart from any window.
    ComputeOutcome expected(const ComputeRequest& request);

    RecordingReporter reporter_;
    std::unique_ptr<Calculators> calculators_;
    std::unique_ptr<HelpWindow> help_;
    std::unique_ptr<HistoryModel> model_;
    std::unique_ptr<CMainDlg> dialog_;
    std::unique_ptr<HistoryWindow> window_;
    std::vector<std::vector<std::string>> shownMessages_;
};

void HistoryWindowTest::init() {
    reporter_.messages.clear();
    shownMessages_.clear();
    calculators_ = std::make_unique<Calculators>(reporter_);
    help_ = std::make_unique<HelpWindow>();
    model_ = std::make_unique<HistoryModel>();
    int second = 0;
    model_->setClock([second]() mutable { return timeAt(second++).toStdString(); });
    dialog_ = std::make_unique<CMainDlg>(*calculators_, *help_);
    window_ = std::make_unique<HistoryWindow>(*model_, *help_, reporter_);
    linkHistory(*dialog_, *model_, *window_, reporter_);
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
}

void HistoryWindowTest::cleanup() {
    window_.reset();
    dialog_.reset();
    model_.reset();
    help_.reset();
    calculators_.reset();
}

void HistoryWindowTest::compute(const DialogCase& computation) {
    QTest::mouseClick(dialog_->control(computation.distributionButton), Qt::LeftButton);
    QTest::mouseClick(dialog_->control(computation.quantityButton), Qt::LeftButton);
    const ComputeRequest& request = computation.request;
    const std::pair<int, QString> inputs[] = {
        {kValueField, QString::number(request.value)},
        {kNoncentralityField, QString::number(request.noncentrality)},
        {kCumPField, QString::number(request.cumP)},
        {kDf1Field, QString::number(request.df1)},
        {kDf2Field, QString::number(request.df2)},
    };
    for (const auto& [field, text] : inputs) {
        auto* edit = qobject_cast<QLineEdit*>(dialog_->control(field));
        if (!edit->isReadOnly()) {
            edit->setText(text);
        }
    }
    reporter_.messages.clear();
    QTest::mouseClick(dialog_->control(kComputeButton), Qt::LeftButton);
    shownMessages_.push_back(reporter_.messages);
}

void HistoryWindowTest::computeTen() {
    for (const DialogCase& computation : tenCases()) {
        compute(computation);
    }
}

QString HistoryWindowTest::cell(int viewRow, int column) const {
    return window_->table().model()->index(viewRow, column).data().toString();
}

ComputeOutcome HistoryWindowTest::expected(const ComputeRequest& request) {
    RecordingReporter apart;
    Calculators calculators(apart);
    return computeQuantity(calculators, request);
}

void HistoryWindowTest::tenComputationsGiveTenRowsNewestFirstWithTheirMessages() {
    computeTen();
    QCOMPARE(window_->table().model()->rowCount(), 10);
    for (int row = 0; row < 10; ++row) {
        const int computed = 9 - row;
        const ComputeRequest& request = tenCases()[static_cast<std::size_t>(computed)].request;
        const ComputeOutcome outcome = expected(request);
        const QString where = QStringLiteral("row %1").arg(row);
        QCOMPARE(cell(row, static_cast<int>(kTimeColumn)), timeAt(computed));
        QCOMPARE(cell(row, column(batch::InputColumn::Distribution)),
                 QString::fromLatin1(distributionName(request.distribution)));
        QCOMPARE(cell(row, column(batch::InputColumn::Df1)), QString::number(request.df1));
        if (request.quantity == QuantityKind::Interval) {
            QCOMPARE(cell(row, column(batch::OutputColumn::Lower)),
                     QString::fromStdString(formatNumber(outcome.lower)));
            QCOMPARE(cell(row, column(batch::OutputColumn::Upper)),
                     QString::fromStdString(formatNumber(outcome.upper)));
        } else {
            QCOMPARE(cell(row, column(batch::OutputColumn::Result)),
                     QString::fromStdString(formatNumber(outcome.result)));
        }
        const std::vector<std::string>& shown = shownMessages_[static_cast<std::size_t>(computed)];
        QCOMPARE(cell(row, column(batch::OutputColumn::Status)),
                 shown.empty() ? QStringLiteral("ok") : QStringLiteral("failed"));
        QCOMPARE(cell(row, column(batch::OutputColumn::Messages)),
                 QString::fromStdString(batch::joinedMessages(shown)));
        QVERIFY2(outcome.failed == !shown.empty(), qPrintable(where));
    }
    QCOMPARE(shownMessages_[1], std::vector<std::string>{"Df1 out of range."});
    QVERIFY(!shownMessages_[5].empty());
    QVERIFY(window_->countLabel().text().startsWith(QStringLiteral("10 computations kept")));
}

void HistoryWindowTest::copyPutsTheSelectedRowsOnTheClipboardAsTabSeparatedText() {
    compute(tenCases()[0]);
    compute(tenCases()[1]);
    compute(tenCases()[4]);
    window_->table().selectRow(0);
    window_->table().selectionModel()->select(
        window_->table().model()->index(2, 0),
        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QString text = window_->copySelection();
    QCOMPARE(QGuiApplication::clipboard()->text(), text);

    // The columns no row uses (Cum. P, the effect sizes') are hidden and not copied.
    const QString interval =
        QString::fromStdString(formatNumber(expected(tenCases()[4].request).lower)) +
        QLatin1Char('\t') +
        QString::fromStdString(formatNumber(expected(tenCases()[4].request).upper));
    const QString cdf =
        QString::fromStdString(formatNumber(expected(tenCases()[0].request).result));
    const QString wanted = QStringLiteral(
                               "Time\tDistribution\tQuantity\tValue\tDf1\tDf2\tNoncentrality\t"
                               "Confidence\tResult\tLower\tUpper\tStatus\tMessages\n") +
                           timeAt(2) + QStringLiteral("\tf\tinterval\t10\t3\t10\t\t0.9\t\t") +
                           interval + QStringLiteral("\tok\t\n") + timeAt(0) +
                           QStringLiteral("\tf\tcdf\t3\t5\t10\t0\t\t") + cdf +
                           QStringLiteral("\t\t\tok\t\n");
    QCOMPARE(text, wanted);

    // Moving a column moves it in the copy; nothing selected copies nothing.
    QHeaderView* header = window_->table().horizontalHeader();
    header->moveSection(header->visualIndex(column(batch::OutputColumn::Status)), 0);
    QVERIFY(window_->copySelection().startsWith(QStringLiteral("Status\tTime\t")));
    window_->table().clearSelection();
    QCOMPARE(window_->copySelection(), QString());
}

void HistoryWindowTest::exportedFileIsRecomputedByTheBatchToTheSameDigits() {
    computeTen();
    // Effect rows as the Effect Size and Power window reports them.
    EffectRequest d;
    d.value = 2.5;
    d.n1 = 11;
    d.n2 = 11;
    EffectRequest size;
    size.distribution = DistributionKind::ChiSquare;
    size.quantity = EffectQuantity::SampleSize;
    size.measure = EffectMeasure::CohensW;
    size.effect = 0.3;
    size.df1 = 2;
    for (const EffectRequest& request : {d, size}) {
        model_->effectComputed(request, computeEffect(*calculators_, request));
    }

    QTemporaryDir folder;
    const QString all = folder.filePath(QStringLiteral("all.csv"));
    window_->setFileChooser([&all] { return all; });
    window_->exportButton().click();
    QFile file(all);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray exported = file.readAll();
    QCOMPARE(exported.count('\n'), 13);

    QProcess cli;
    cli.start(QStringLiteral(QUORVEL_CLI_PATH), {QStringLiteral("--batch"), all});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 1);  // two rows failed, as they did in the window
    QCOMPARE(cli.readAllStandardOutput(), exported);

    // A selection exports only its rows, oldest first.
    window_->table().selectRow(0);
    window_->table().selectionModel()->select(
        window_->table().model()->index(11, 0),
        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QString some = folder.filePath(QStringLiteral("some.csv"));
    QVERIFY(window_->exportTo(some));
    QFile selected(some);
    QVERIFY(selected.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = selected.readAll().split('\n');
    QCOMPARE(lines.size(), 4);  // header, two rows, the empty text after the last line end
    QVERIFY(lines[1].startsWith("f,cdf,3,5,10,"));
    QVERIFY(lines[2].startsWith("chisq,sample-size,"));

    QVERIFY(!window_->exportTo(folder.filePath(QStringLiteral("no/such/folder/x.csv"))));
    QCOMPARE(reporter_.messages.size(), std::size_t{1});
    QVERIFY(
        QString::fromStdString(reporter_.messages[0]).startsWith(QStringLiteral("Cannot write")));
}

void HistoryWindowTest::doubleClickPutsAMainWindowRowBackReadyToCompute() {
    computeTen();
    // The F interval at 90% is the sixth row from the top.
    QTableView& table = window_->table();
    window_->showWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    doubleClick(table, 5);

    auto text = [this](int id) { return qobject_cast<QLineEdit*>(dialog_->control(id))->text(); };
    QVERIFY(qobject_cast<QAbstractButton*>(dialog_->control(kRadioF))->isChecked());
    QVERIFY(qobject_cast<QAbstractButton*>(dialog_->control(kRadioInterval90))->isChecked());
    QCOMPARE(text(kValueField), QStringLiteral("10"));
    QCOMPARE(text(kDf1Field), QStringLiteral("3"));
    QCOMPARE(text(kDf2Field), QStringLiteral("10"));
    QCOMPARE(text(kLowerField), QString());
    QCOMPARE(qobject_cast<QAbstractButton*>(dialog_->control(kComputeButton))->text(),
             QStringLiteral("COMPUTE"));

    QTest::mouseClick(dialog_->control(kComputeButton), Qt::LeftButton);
    QCOMPARE(table.model()->rowCount(), 11);
    for (int c = 1; c < static_cast<int>(kRecordColumnCount); ++c) {
        QCOMPARE(cell(0, c), cell(6, c));
    }
}

void HistoryWindowTest::doubleClickOnAnEffectRowAsksForTheEffectWindow() {
    compute(tenCases()[0]);
    EffectRequest power;
    power.quantity = EffectQuantity::Power;
    power.effect = 0.45;
    power.n = 30;
    power.sides = 1;
    model_->effectComputed(power, computeEffect(*calculators_, power));
    std::vector<EffectRequest> asked;
    int mainWindowAsks = 0;
    connect(window_.get(), &HistoryWindow::effectRestoreRequested, this,
            [&asked](const EffectRequest& request) { asked.push_back(request); });
    connect(window_.get(), &HistoryWindow::restoreRequested, this,
            [&mainWindowAsks] { ++mainWindowAsks; });
    window_->showWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    QTableView& table = window_->table();
    doubleClick(table, 0);
    QCOMPARE(asked.size(), std::size_t{1});
    QCOMPARE(mainWindowAsks, 0);
    QCOMPARE(asked[0].quantity, EffectQuantity::Power);
    QCOMPARE(asked[0].effect, 0.45);
    QCOMPARE(asked[0].n, 30);
    QCOMPARE(asked[0].sides, 1);

    // Enter on a row does what a double-click does.
    table.setCurrentIndex(table.model()->index(1, 0));
    QTest::keyClick(&table, Qt::Key_Return);
    QCOMPARE(mainWindowAsks, 1);
}

// A study design's row reopens the Effect Size and Power window on its design, question and
// inputs; a not-close-fit sensitivity, which the window does not search, says so instead.
void HistoryWindowTest::aDesignRowComesBackWithItsDesignAndQuestion() {
    const EffectRequest sensitivity{.distribution = DistributionKind::F,
                                    .quantity = EffectQuantity::Power,
                                    .measure = EffectMeasure::CohensFSquared,
                                    .n = 40,
                                    .design = StudyDesign::RmWithin,
                                    .question = PowerQuestion::Sensitivity,
                                    .groups = 2,
                                    .measurements = 4,
                                    .correlation = 0.6,
                                    .epsilon = 0.75};
    const EffectRequest notClose{.distribution = DistributionKind::ChiSquare,
                                 .quantity = EffectQuantity::Power,
                                 .measure = EffectMeasure::CohensW,
                                 .n = 500,
                                 .df1 = 30,
                                 .alternative = Alternative::Less,
                                 .design = StudyDesign::Rmsea,
                                 .question = PowerQuestion::Sensitivity,
                                 .rmsea0 = 0.05};
    for (const EffectRequest& request : {sensitivity, notClose}) {
        model_->effectComputed(request, computeEffect(*calculators_, request));
    }
    QVERIFY(reporter_.messages.empty());
    window_->showWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    doubleClick(window_->table(), 1);
    EffectsWindow* effects = dialog_->effectsWindow();
    QVERIFY(effects != nullptr && effects->isVisible());
    QCOMPARE(effects->chosenDesign(DistributionKind::F).design, StudyDesign::RmWithin);
    EffectGroup& power = effects->group(DistributionKind::F, EffectQuantity::Power);
    QCOMPARE(power.questionChoice()->currentIndex(), 1);
    QCOMPARE(power.field(EffectInput::Epsilon)->text(), QStringLiteral("0.75"));
    QCOMPARE(power.field(EffectInput::N)->text(), QStringLiteral("40"));
    QVERIFY(power.field(EffectInput::Effect)->isHidden());

    doubleClick(window_->table(), 0);
    QCOMPARE(reporter_.messages.size(), std::size_t{1});
    QVERIFY(reporter_.messages[0].find("not-close fit") != std::string::npos);
    QCOMPARE(effects->chosenDesign(DistributionKind::ChiSquare).design, StudyDesign::Basic);
}

void HistoryWindowTest::clearAsksFirst() {
    compute(tenCases()[0]);
    compute(tenCases()[2]);
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        ModalWatcher watcher(
            [answer](QWidget* box) { qobject_cast<QMessageBox*>(box)->button(answer)->click(); });
        const bool cleared = window_->clearRecord();
        QCOMPARE(watcher.seen().size(), std::size_t{1});
        QVERIFY(watcher.seen()[0].text.contains(QStringLiteral("2 computations")));
        QCOMPARE(cleared, answer == QMessageBox::Yes);
        QCOMPARE(model_->rowCount(), cleared ? 0 : 2);
    }
    QVERIFY(window_->countLabel().text().startsWith(QStringLiteral("0 computations")));
}

void HistoryWindowTest::aFullRecordDropsTheOldestAndSaysHowManyItKeeps() {
    HistoryModel small(3);
    int second = 0;
    small.setClock([&second] { return timeAt(second++).toStdString(); });
    HistoryWindow window(small, *help_, reporter_);
    for (int i = 0; i < 5; ++i) {
        small.quantityComputed(tenCases()[0].request, expected(tenCases()[0].request));
    }
    QCOMPARE(window.table().model()->rowCount(), 3);
    QCOMPARE(window.table().model()->index(0, 0).data().toString(), timeAt(4));
    QCOMPARE(window.table().model()->index(2, 0).data().toString(), timeAt(2));
    QCOMPARE(window.countLabel().text(),
             QStringLiteral("3 computations kept, newest first; the record keeps the newest 3."));
}

void HistoryWindowTest::columnsSortAsNumbers() {
    computeTen();
    QTableView& table = window_->table();
    const int value = column(batch::InputColumn::Value);
    table.horizontalHeader()->setSortIndicator(value, Qt::AscendingOrder);
    std::vector<double> values;
    for (int row = 0; row < 10; ++row) {
        const QString text = cell(row, value);
        if (!text.isEmpty()) {
            QVERIFY2(values.empty() || values.back() <= text.toDouble(), qPrintable(text));
            values.push_back(text.toDouble());
        } else {
            QVERIFY2(values.empty(), "empty cells come first");
        }
    }
    QCOMPARE(values.size(), std::size_t{8});
    QCOMPARE(values.back(), 20.0);  // after 4, as a number; before it as text

    // Time, descending again: newest first, also among computations of the same second.
    model_->setClock([] { return timeAt(59).toStdString(); });
    compute(tenCases()[0]);
    compute(tenCases()[2]);
    table.horizontalHeader()->setSortIndicator(static_cast<int>(kTimeColumn), Qt::DescendingOrder);
    QCOMPARE(cell(0, column(batch::InputColumn::Distribution)), QStringLiteral("t"));
    QCOMPARE(cell(1, column(batch::InputColumn::Distribution)), QStringLiteral("f"));
}

void HistoryWindowTest::theTimeIsShownWholeAndExportSaysWhichRowsItWrites() {
    computeTen();
    window_->showWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    QTableView& table = window_->table();
    const QModelIndex time = table.model()->index(0, static_cast<int>(kTimeColumn));
    const int needed = table.fontMetrics().horizontalAdvance(time.data().toString());
    QVERIFY2(table.columnWidth(static_cast<int>(kTimeColumn)) > needed,
             qPrintable(QStringLiteral("%1 <= %2")
                            .arg(table.columnWidth(static_cast<int>(kTimeColumn)))
                            .arg(needed)));

    QCOMPARE(window_->exportButton().text(), QStringLiteral("&Export All as CSV..."));
    table.selectRow(0);
    table.selectionModel()->select(table.model()->index(3, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QCOMPARE(window_->exportButton().text(), QStringLiteral("&Export 2 Selected as CSV..."));
    table.clearSelection();
    QCOMPARE(window_->exportButton().text(), QStringLiteral("&Export All as CSV..."));
}

void HistoryWindowTest::contextMenuAndCtrlHOpenTheWindow() {
    QAction* history = nullptr;
    for (QAction* action : dialog_->contextMenu().actions()) {
        if (action->text() == QStringLiteral("&History...")) {
            history = action;
        }
    }
    QVERIFY(history != nullptr);
    QCOMPARE(history->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
    history->trigger();
    QVERIFY(window_->isVisible());
    window_->close();

    dialog_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
    QTest::keyClick(dialog_->control(kValueField), Qt::Key_H, Qt::ControlModifier);
    QVERIFY(window_->isVisible());
}

void HistoryWindowTest::buttonsExplainThemselvesAndHelpOpensItsPage() {
    std::set<QString> texts;
    for (QPushButton* button :
         {&window_->copyButton(), &window_->exportButton(), &window_->clearButton(),
          &window_->helpButton(), &window_->closeButton()}) {
        QVERIFY2(!button->whatsThis().isEmpty(), qPrintable(button->text()));
        texts.insert(button->whatsThis());
    }
    QCOMPARE(texts.size(), std::size_t{5});
    QVERIFY(!window_->table().whatsThis().isEmpty());

    window_->helpButton().click();
    QVERIFY(help_->isVisible());
    QCOMPARE(help_->page().source().fileName(), QStringLiteral("history.html"));
    QVERIFY(!help_->page().toPlainText().isEmpty());
}

QTEST_MAIN(HistoryWindowTest)
#include "history_window_test.moc"
