#include "gui/main/cmain_dlg.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStyle>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QWhatsThis>
#include <QWindow>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <memory>
#include <set>

#include "gui/dialog/control_ids.h"
#include "gui/dialog/dialog_template.h"
#include "gui/dialog/template_rows.h"
#include "gui/help/help_window.h"
#include "gui/help/program_resources.h"
#include "gui/plot/plot_pane.h"
#include "gui/widgets/chighlight_button.h"
#include "gui/widgets/cnum_edit.h"
#include "gui/widgets/cnum_spin_ctrl.h"
#include "gui/widgets/message_box_reporter.h"
#include "model/computation_listener.h"
#include "numerics/calculators.h"
#include "tests/gui/support/modal_watcher.h"
#include "tests/support/boost_oracle.h"
#include "tests/support/input_rule_table.h"
#include "tests/support/recording_reporter.h"
#include "tests/support/rendered_text.h"

using namespace quorvel;
using namespace quorvel::control;
using quorvel::testing::ModalWatcher;
using quorvel::testing::RecordingReporter;
using quorvel::testing::renderedTextSpan;

namespace {

// Records the Compute button's caption each time the button is painted.
class CaptionPaintRecorder : public QObject {
  public:
    QStringList painted;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted << static_cast<QPushButton*>(watched)->text();
        }
        return false;
    }
};

// Every computation the controller tells of, with the request as computed.
struct HeardComputations : ComputationListener {
    void quantityComputed(const ComputeRequest& request, const ComputeOutcome&) override {
        requests.push_back(request);
    }
    std::vector<ComputeRequest> requests;
};

const std::pair<int, const char*> kDistributionRows[] = {
    {kRadioF, "F"}, {kRadioT, "T"}, {kRadioChiSquare, "X2"}};
const std::pair<int, const char*> kQuantityRows[] = {{kRadioCumP, "Cum. P"},
                                                     {kRadioValue, "value"},
                                                     {kRadioNoncentrality, "noncentrality"},
                                                     {kRadioInterval90, "90% C.I."},
                                                     {kRadioInterval95, "95% C.I."},
                                                     {kRadioInterval99, "99% C.I."}};

struct IntervalCommandRow {
    int button;
    const char* name;
};

QWidget* whatsThisPopup() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->inherits("QWhatsThat")) {
            return widget;
        }
    }
    return nullptr;
}

}  // namespace

class MainDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsWithFAndCumP();
    void computesTheFCumulativeProbabilityFromTheKeyboard();
    void tAndNinetyNinePercentShowDeltaLimitsWithoutDf2();
    void badDfIsReportedOnceAndTheResultFails();
    void failuresAreWarningBoxesOwnedByTheDialog();
    void workingIsPaintedBeforeTheComputationRuns();
    void windowIsAFixedDialogWithCloseAndContextHelp();
    void layoutFollowsTheTemplate();
    void tabFollowsTheTemplateOrder();
    void enterAndEscapeEndTheDialog_data();
    void enterAndEscapeEndTheDialog();
    void enterOnComputeComputesAndStays();
    void enterComputesInEveryFieldOfEveryLayout_data();
    void enterComputesInEveryFieldOfEveryLayout();
    void inputsFollowTheCommandLinesRule_data();
    void inputsFollowTheCommandLinesRule();
    void probabilitiesShowTheirDigitsAndCopyWhole_data();
    void probabilitiesShowTheirDigitsAndCopyWhole();
    void switchingClearsTheResults();
    void aResultUsedAsAnInputKeepsItsFullPrecision();
    void aRestoredInputIsTheNumberRestored();
    void f1OpensHelpFromAnyControl_data();
    void f1OpensHelpFromAnyControl();
    void helpButtonOpensHelp();
    void contextMenuEndsWithAbout_data();
    void contextMenuEndsWithAbout();
    void aboutBoxClosesWithEnterOrEscape_data();
    void aboutBoxClosesWithEnterOrEscape();
    void contextHelpPopsUpForControlsWithAHelpId_data();
    void contextHelpPopsUpForControlsWithAHelpId();
    void everyHelpIdHasAPopupText();
    void everyResultShowsWhole_data();
    void everyResultShowsWhole();
    void aResultTurnedIntoAnInputShowsItsFirstDigit();
    void onlyAFocusedButtonIsTheDefault_data();
    void onlyAFocusedButtonIsTheDefault();
    void enterOnHelpOpensHelpAndStays();
    void noControlsOverlap_data();
    void noControlsOverlap();
    void hasATaskbarEntryOfItsOwn();

  private:
    template <class Widget = QWidget>
    Widget* control(int id) const {
        auto* widget = qobject_cast<Widget*>(dialog_->control(id));
        Q_ASSERT(widget != nullptr);
        return widget;
    }
    QString fieldText(int id) const { return control<QLineEdit>(id)->text(); }
    bool shown(int id) const { return control(id)->isVisibleTo(dialog_.get()); }
    void type(int fieldId, const QString& text);
    void showDialog();
    void captionsFit() const;
    void resultShowsWhole(int fieldId) const;
    QString nameOf(const QWidget* widget) const;

    QTemporaryDir settingsDir_;
    RecordingReporter reporter_;
    std::unique_ptr<Calculators> calculators_;
    std::unique_ptr<HelpWindow> help_;
    std::unique_ptr<CMainDlg> dialog_;
};

// The user's own settings (whether the plot is shown) stay out of the tests.
void MainDialogTest::initTestCase() {
    QVERIFY(settingsDir_.isValid());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir_.path());
}

void MainDialogTest::init() {
    reporter_.messages.clear();
    calculators_ = std::make_unique<Calculators>(reporter_);
    help_ = std::make_unique<HelpWindow>();
    dialog_ = std::make_unique<CMainDlg>(*calculators_, *help_);
}

void MainDialogTest::cleanup() {
    dialog_.reset();
    help_.reset();
    calculators_.reset();
}

void MainDialogTest::showDialog() {
    dialog_->show();
    dialog_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
}

// Replaces the whole text of a field by typing, as a user who selects all and types over it.
void MainDialogTest::type(int fieldId, const QString& text) {
    auto* field = control<QLineEdit>(fieldId);
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
}

// No caption is cut off, whatever the style's radio indicator and the font.
void MainDialogTest::captionsFit() const {
    for (QWidget* widget : dialog_->findChildren<QWidget*>()) {
        if (qobject_cast<QRadioButton*>(widget) || qobject_cast<QLabel*>(widget)) {
            QVERIFY2(widget->width() >= widget->sizeHint().width(),
                     qPrintable(widget->property("text").toString()));
        }
    }
}

// The whole result is on the screen: the cursor before its first character and the text drawn
// as wide as its own ink, inside the field's frame.
void MainDialogTest::resultShowsWhole(int fieldId) const {
    auto* field = control<QLineEdit>(fieldId);
    const QString text = field->text();
    QVERIFY2(field->isReadOnly(), qPrintable(text));
    QCOMPARE(field->cursorPosition(), 0);
    const std::optional<testing::InkSpan> ink = renderedTextSpan(*field);
    QVERIFY2(ink.has_value(), qPrintable(text));
    QVERIFY2(ink->width() >= testing::wholeTextInkWidth(*field) - 1,
             qPrintable(QStringLiteral("%1: %2 of %3 pixels drawn")
                            .arg(text)
                            .arg(ink->width())
                            .arg(testing::wholeTextInkWidth(*field))));
}

// The caption or title a message names a control by.
QString MainDialogTest::nameOf(const QWidget* widget) const {
    for (const char* property : {"text", "title"}) {
        const QString name = widget->property(property).toString();
        if (!name.isEmpty()) {
            return name;
        }
    }
    return QString::fromLatin1(widget->metaObject()->className());
}

void MainDialogTest::startsWithFAndCumP() {
    QVERIFY(control<QRadioButton>(kRadioF)->isChecked());
    QVERIFY(control<QRadioButton>(kRadioCumP)->isChecked());
    QCOMPARE(fieldText(kValueField), QStringLiteral("1.00"));
    QCOMPARE(fieldText(kNoncentralityField), QStringLiteral("0.00"));
    QCOMPARE(fieldText(kCumPField), QString());
    QVERIFY(control<QLineEdit>(kCumPField)->isReadOnly());
    QVERIFY(!shown(kCumPSpin));
    QCOMPARE(fieldText(kDf1Field), QStringLiteral("1"));
    QCOMPARE(fieldText(kDf2Field), QStringLiteral("1"));
    for (int id : {kConfidenceGroup, kLowerLabel, kLowerField, kUpperLabel, kUpperField}) {
        QVERIFY2(!shown(id), qPrintable(QString::number(id)));
    }
    QVERIFY(!shown(kShortPropertiesGroup));
    QVERIFY(shown(kTallPropertiesGroup));
    // The template's "Lamba" is replaced before the window is first shown.
    QVERIFY(!dialog_->isVisible());
    QCOMPARE(control<QRadioButton>(kRadioNoncentrality)->text(), QStringLiteral("Lambda"));
    auto* compute = control<CHighlightButton>(kComputeButton);
    QCOMPARE(compute->text(), QStringLiteral("COMPUTE"));
    QVERIFY(compute->IsHighlighted());
}

void MainDialogTest::computesTheFCumulativeProbabilityFromTheKeyboard() {
    showDialog();
    type(kValueField, QStringLiteral("3"));
    type(kDf1Field, QStringLiteral("5"));
    type(kDf2Field, QStringLiteral("10"));
    QTest::mouseClick(control(kComputeButton), Qt::LeftButton);

    // Central F(5, 10) at 3 from Boost.Math, shown with six decimals.
    const double expected = oracle::fisherFCdf(3.0, 5, 10);
    QCOMPARE(fieldText(kCumPField), QString::number(expected, 'f', 6));
    QCOMPARE(fieldText(kCumPField), QStringLiteral("0.934442"));
    auto* compute = control<CHighlightButton>(kComputeButton);
    QCOMPARE(compute->text(), QStringLiteral("Finished"));
    QVERIFY(!compute->IsHighlighted());
    QVERIFY(reporter_.messages.empty());

    // One keystroke in a field asks for a new computation.
    type(kNoncentralityField, QStringLiteral("1"));
    QCOMPARE(compute->text(), QStringLiteral("COMPUTE"));
    QVERIFY(compute->IsHighlighted());
}

void MainDialogTest::tAndNinetyNinePercentShowDeltaLimitsWithoutDf2() {
    showDialog();
    QTest::mouseClick(control(kRadioT), Qt::LeftButton);
    QTest::mouseClick(control(kRadioInterval99), Qt::LeftButton);

    QVERIFY(control<QRadioButton>(kRadioT)->isChecked());
    QVERIFY(control<QRadioButton>(kRadioInterval99)->isChecked());
    QCOMPARE(dialog_->controller().confidence(), 0.99);
    QVERIFY(shown(kConfidenceGroup));
    QCOMPARE(control<QGroupBox>(kConfidenceGroup)->title(),
             QStringLiteral("Confidence Limits for Delta"));
    for (int id : {kLowerField, kUpperField}) {
        QVERIFY(shown(id));
        QVERIFY(control<QLineEdit>(id)->isReadOnly());
    }
    for (int id : {kDf2Label, kDf2Field, kDf2Spin, kCumPField, kNoncentralityField}) {
        QVERIFY2(!shown(id), qPrintable(QString::number(id)));
    }
    QCOMPARE(control<QRadioButton>(kRadioValue)->text(), QStringLiteral("T Value"));
    QCOMPARE(control<QRadioButton>(kRadioNoncentrality)->text(), QStringLiteral("Delta"));
    QCOMPARE(control<QLabel>(kDf1Label)->text(), QStringLiteral("Df"));
    QVERIFY(shown(kShortPropertiesGroup));
    QVERIFY(!shown(kTallPropertiesGroup));

    QTest::mouseClick(control(kRadioChiSquare), Qt::LeftButton);
    QCOMPARE(control<QRadioButton>(kRadioValue)->text(), QStringLiteral("X2 Value"));
    captionsFit();
}

void MainDialogTest::badDfIsReportedOnceAndTheResultFails() {
    showDialog();
    type(kDf1Field, QStringLiteral("0"));
    QTest::mouseClick(control(kComputeButton), Qt::LeftButton);
    QVERIFY(reporter_.messages == std::vector<std::string>{"Df1 out of range."});
    QCOMPARE(fieldText(kCumPField), QStringLiteral("-----Failed-----"));
    QCOMPARE(control<QPushButton>(kComputeButton)->text(), QStringLiteral("Finished"));
}

// The whole chain with the real reporter: one warning box, owned by the dialog, with the
// application's name as caption and only OK.
void MainDialogTest::failuresAreWarningBoxesOwnedByTheDialog() {
    MessageBoxReporter boxes;
    Calculators calculators(boxes);
    HelpWindow help;
    CMainDlg dialog(calculators, help);
    boxes.setOwner(&dialog);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    auto* df1 = qobject_cast<QLineEdit*>(dialog.control(kDf1Field));
    df1->setFocus();
    df1->selectAll();
    QTest::keyClicks(df1, QStringLiteral("0"));
    ModalWatcher watcher;
    QTest::mouseClick(dialog.control(kComputeButton), Qt::LeftButton);

    QCOMPARE(watcher.seen().size(), std::size_t{1});
    const ModalWatcher::Seen& box = watcher.seen().front();
    QCOMPARE(box.className, QStringLiteral("QMessageBox"));
    QCOMPARE(box.text, QStringLiteral("Df1 out of range."));
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box.title, QStringLiteral("Quorvel"));
    QCOMPARE(box.parent, static_cast<QWidget*>(&dialog));
    QCOMPARE(qobject_cast<QLineEdit*>(dialog.control(kCumPField))->text(),
             QStringLiteral("-----Failed-----"));
}

// The computation runs without returning to the event loop, so a caption that is only
// scheduled for painting would never be seen: "Working" must be painted on its own.
void MainDialogTest::workingIsPaintedBeforeTheComputationRuns() {
    showDialog();
    auto* compute = control<QPushButton>(kComputeButton);
    CaptionPaintRecorder recorder;
    compute->installEventFilter(&recorder);
    QTest::mouseClick(compute, Qt::LeftButton);
    compute->removeEventFilter(&recorder);
    QVERIFY2(recorder.painted.contains(QStringLiteral("Working")),
             qPrintable(recorder.painted.join(u',')));
}

void MainDialogTest::windowIsAFixedDialogWithCloseAndContextHelp() {
    QCOMPARE(dialog_->windowTitle(),
             QStringLiteral("Noncentral Distributions with Interval Estimation"));
    const Qt::WindowFlags flags = dialog_->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowContextHelpButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    // With its plot the window may be enlarged (the plot grows), never made smaller.
    QVERIFY(dialog_->isPlotShown());
    QCOMPARE(dialog_->minimumSize(), dialog_->size());
    QVERIFY(dialog_->maximumWidth() > dialog_->minimumWidth());
    // A top-level window of its own (and so a taskbar entry).
    QVERIFY(dialog_->isWindow());
    QCOMPARE(dialog_->parentWidget(), nullptr);
    QVERIFY(!dialog_->windowIcon().isNull());
}

void MainDialogTest::layoutFollowsTheTemplate() {
    const dialog::DialogBaseUnits units = baseUnitsOf(dialog_->font());
    const QSize templateSize(dialog::horizontalPixels(296, units), dialog::verticalPixels(188, units));
    QVERIFY(dialog_->isPlotShown());
    QCOMPARE(dialog_->plotPane().geometry().left(), templateSize.width());
    dialog_->setPlotShown(false);
    QCOMPARE(dialog_->size(), templateSize);
    const dialog::DialogTemplate& main = dialog::mainDialogTemplate();
    for (std::size_t index = 0; index < main.controls.size(); ++index) {
        const dialog::ControlTemplate& control = main.controls[index];
        if (control.controlClass == dialog::ControlClass::UpDown) {
            continue;  // each spin button sits inside its field
        }
        if (control.id == -1) {
            continue;  // the two boxes nobody addresses
        }
        const QWidget* widget = dialog_->control(control.id);
        const dialog::PixelRect rect = dialog::toPixels(control.rect, units);
        QCOMPARE(widget->y(), rect.y);
        QCOMPARE(widget->height(), rect.height);
        QVERIFY(widget->width() >= rect.width);
        // A row keeps the template's places unless a caption in it is wider than its
        // rectangle; then it keeps the template's order (noControlsOverlap checks the rest).
        const std::vector<std::size_t> row = dialog::rowOf(main, index);
        const bool widened = std::any_of(row.begin(), row.end(), [&](std::size_t member) {
            return dialog_->control(main.controls[member].id)->width() >
                   dialog::horizontalPixels(main.controls[member].rect.width, units);
        });
        if (!widened) {
            QCOMPARE(widget->x(), rect.x);
        }
        for (std::size_t place = 1; place < row.size(); ++place) {
            QVERIFY(dialog_->control(main.controls[row[place - 1]].id)->x() <
                    dialog_->control(main.controls[row[place]].id)->x());
        }
    }
    captionsFit();

    const QRect shortBox = control(kShortPropertiesGroup)->geometry();
    const QRect tallBox = control(kTallPropertiesGroup)->geometry();
    QCOMPARE(shortBox.topLeft(), tallBox.topLeft());
    QVERIFY(tallBox.height() > shortBox.height());
    const QWidget* computeButton = control(kComputeButton);
    auto* statusBox = qobject_cast<QGroupBox*>(
        computeButton->parentWidget()->childAt(computeButton->geometry().topLeft() - QPoint(3, 3)));
    QVERIFY(statusBox != nullptr);
    QCOMPARE(statusBox->title(), QStringLiteral("Compute Status"));
    QVERIFY(statusBox->geometry().contains(computeButton->geometry()));

    // The spin buttons lie on top of their fields, where a click reaches them.
    for (int spin : {kValueSpin, kNoncentralitySpin, kDf1Spin, kDf2Spin}) {
        QVERIFY(dialog_->childAt(control(spin)->geometry().center()) == control(spin));
    }
}

void MainDialogTest::tabFollowsTheTemplateOrder() {
    showDialog();
    control(kHelpButton)->setFocus();
    // Tab enters each radio group at its checked button; hidden fields are skipped.
    const QList<int> expected{kRadioF,    kRadioCumP, kValueField, kNoncentralityField,
                              kCumPField, kDf1Field,  kDf2Field,   kComputeButton,
                              kHelpButton};
    QList<int> visited;
    for (qsizetype step = 0; step < expected.size(); ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        int id = 0;
        for (int candidate : expected) {
            if (dialog_->control(candidate) == focus) {
                id = candidate;
            }
        }
        visited << id;
    }
    QCOMPARE(visited, expected);
}

// Enter computes and the window stays (no result: -1); Escape ends the dialog.
void MainDialogTest::enterAndEscapeEndTheDialog_data() {
    QTest::addColumn<int>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    QTest::newRow("Enter in a field") << kValueField << int(Qt::Key_Return) << -1;
    QTest::newRow("keypad Enter in Df2") << kDf2Field << int(Qt::Key_Enter) << -1;
    QTest::newRow("Enter on a radio button") << kRadioF << int(Qt::Key_Return) << -1;
    QTest::newRow("Escape in a field")
        << kValueField << int(Qt::Key_Escape) << int(QDialog::Rejected);
    QTest::newRow("Escape on Compute")
        << kComputeButton << int(Qt::Key_Escape) << int(QDialog::Rejected);
}

void MainDialogTest::enterAndEscapeEndTheDialog() {
    QFETCH(int, focus);
    QFETCH(int, key);
    QFETCH(int, result);
    showDialog();
    dialog_->setResult(-1);
    control(focus)->setFocus();
    QTest::keyClick(control(focus), Qt::Key(key));
    QCOMPARE(dialog_->result(), result);
    const bool ends = key == Qt::Key_Escape;
    QCOMPARE(dialog_->isVisible(), !ends);
    if (!ends) {
        QCOMPARE(control<QPushButton>(kComputeButton)->text(), QStringLiteral("Finished"));
        QVERIFY(!fieldText(kCumPField).isEmpty());
    }
}

void MainDialogTest::enterOnComputeComputesAndStays() {
    showDialog();
    control(kComputeButton)->setFocus();
    QTest::keyClick(control(kComputeButton), Qt::Key_Return);
    QCOMPARE(control<QPushButton>(kComputeButton)->text(), QStringLiteral("Finished"));
    QVERIFY(dialog_->isVisible());
}

void MainDialogTest::enterComputesInEveryFieldOfEveryLayout_data() {
    QTest::addColumn<int>("distribution");
    QTest::addColumn<int>("quantity");
    QTest::addColumn<int>("field");
    const std::pair<int, const char*> fields[] = {{kValueField, "Value"},
                                                  {kNoncentralityField, "noncentrality"},
                                                  {kCumPField, "Cum. P"},
                                                  {kDf1Field, "Df1"},
                                                  {kDf2Field, "Df2"}};
    for (const auto& [distribution, distributionName] : kDistributionRows) {
        for (const auto& [quantity, quantityName] : kQuantityRows) {
            for (const auto& [field, fieldName] : fields) {
                // An interval hides Cum. P and the noncentrality; only F has Df2.
                const bool interval = quantity == kRadioInterval90 ||
                                      quantity == kRadioInterval95 || quantity == kRadioInterval99;
                if ((interval && (field == kNoncentralityField || field == kCumPField)) ||
                    (field == kDf2Field && distribution != kRadioF)) {
                    continue;
                }
                QTest::addRow("%s %s, Enter in %s", distributionName, quantityName, fieldName)
                    << distribution << quantity << field;
            }
        }
    }
}

// Enter in any shown field, input or result, computes once with the layout's inputs, and the
// window stays with everything typed.
void MainDialogTest::enterComputesInEveryFieldOfEveryLayout() {
    QFETCH(int, distribution);
    QFETCH(int, quantity);
    QFETCH(int, field);
    showDialog();
    control<QAbstractButton>(distribution)->click();
    control<QAbstractButton>(quantity)->click();
    QVERIFY(shown(field));
    HeardComputations heard;
    dialog_->controller().listeners().add(heard);
    const QString typed = fieldText(kValueField);
    control(field)->setFocus();
    QTest::keyClick(control(field), Qt::Key_Return);
    dialog_->controller().listeners().remove(heard);

    QVERIFY(dialog_->isVisible());
    QCOMPARE(heard.requests.size(), std::size_t{1});
    QCOMPARE(static_cast<int>(heard.requests.front().distribution),
             dialog_->controller().distribution());
    QCOMPARE(control<QPushButton>(kComputeButton)->text(), QStringLiteral("Finished"));
    if (quantity != kRadioValue) {
        QCOMPARE(fieldText(kValueField), typed);
    }
}

void MainDialogTest::inputsFollowTheCommandLinesRule_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("degreesOfFreedom");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<double>("number");
    for (const testing::InputRuleRow& row : testing::inputRuleRows()) {
        QTest::newRow(row.name.c_str()) << QString::fromStdString(row.text) << row.degreesOfFreedom
                                        << QString::fromStdString(row.refusal) << row.number;
    }
}

// The table the command line's tests run too, pasted into the window and computed with Enter:
// what the command line refuses is refused with its reason, named by the field, and never
// computed or recorded; what it takes is computed with the same number.
void MainDialogTest::inputsFollowTheCommandLinesRule() {
    QFETCH(QString, text);
    QFETCH(bool, degreesOfFreedom);
    QFETCH(QString, refusal);
    QFETCH(double, number);
    showDialog();
    // A Df goes into Df1 of the F distribution function, a number into Cum. P of the F value.
    if (!degreesOfFreedom) {
        control<QAbstractButton>(kRadioValue)->click();
    }
    const int field = degreesOfFreedom ? kDf1Field : kCumPField;
    const int output = degreesOfFreedom ? kCumPField : kValueField;
    auto* edit = control<QLineEdit>(field);
    edit->selectAll();
    edit->insert(text);
    QCOMPARE(edit->text(), text);
    HeardComputations heard;
    dialog_->controller().listeners().add(heard);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    dialog_->controller().listeners().remove(heard);

    if (refusal.isEmpty()) {
        QVERIFY2(reporter_.messages.empty(), reporter_.messages.front().c_str());
        QCOMPARE(heard.requests.size(), std::size_t{1});
        const ComputeRequest& request = heard.requests.front();
        QCOMPARE(degreesOfFreedom ? double(request.df1) : request.cumP, number);
        QVERIFY(!fieldText(output).isEmpty());
        return;
    }
    const QString name = degreesOfFreedom ? QStringLiteral("Df1") : QStringLiteral("Cum. P");
    QCOMPARE(reporter_.messages.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(reporter_.messages.front()),
             name + QStringLiteral(": ") + refusal);
    QVERIFY(heard.requests.empty());
    QCOMPARE(fieldText(output), QString());
    QCOMPARE(control<QPushButton>(kComputeButton)->text(), QStringLiteral("COMPUTE"));
    QCOMPARE(edit->text(), text);
}

void MainDialogTest::probabilitiesShowTheirDigitsAndCopyWhole_data() {
    QTest::addColumn<int>("distribution");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("df");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    // P(X <= x) and P(X > x) from Boost.Math.
    using oracle::chiSquareCdf, oracle::chiSquareUpper, oracle::fisherFCdf, oracle::fisherFUpper;
    QTest::newRow("F(10, 10) at 0.001") << kRadioF << "0.001"
                                        << "10" << fisherFCdf(0.001, 10, 10)
                                        << fisherFUpper(0.001, 10, 10);
    QTest::newRow("F(10, 10) at 0.01") << kRadioF << "0.01"
                                       << "10" << fisherFCdf(0.01, 10, 10)
                                       << fisherFUpper(0.01, 10, 10);
    QTest::newRow("chi-square(1) at 30")
        << kRadioChiSquare << "30"
        << "1" << chiSquareCdf(30.0, 1) << chiSquareUpper(30.0, 1);
    QTest::newRow("chi-square(1) at 3")
        << kRadioChiSquare << "3"
        << "1" << chiSquareCdf(3.0, 1) << chiSquareUpper(3.0, 1);
}

// On the screen at least six significant digits of the probability, in scientific notation
// below 1e-4, and near 1 enough decimals that its distance from 1 keeps five digits; copied,
// the whole value.
void MainDialogTest::probabilitiesShowTheirDigitsAndCopyWhole() {
    QFETCH(int, distribution);
    QFETCH(QString, value);
    QFETCH(QString, df);
    QFETCH(double, lower);
    QFETCH(double, upper);
    showDialog();
    control<QAbstractButton>(distribution)->click();
    type(kValueField, value);
    type(kDf1Field, df);
    if (distribution == kRadioF) {
        type(kDf2Field, df);
    }
    QTest::keyClick(control(kDf1Field), Qt::Key_Return);

    const QString shown = fieldText(kCumPField);
    const double read = shown.toDouble();
    QCOMPARE(shown.contains(u'e'), lower < 1e-4);
    if (lower < 0.5) {
        QVERIFY2(std::fabs(read - lower) <= 5e-6 * lower, qPrintable(shown));
    } else {
        QVERIFY2(std::fabs((1.0 - read) - upper) <= 5e-5 * upper, qPrintable(shown));
    }
    auto* field = control<QLineEdit>(kCumPField);
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
    const double copied = QApplication::clipboard()->text().toDouble();
    QVERIFY2(std::fabs(copied - lower) <= 1e-12 * lower,
             qPrintable(QApplication::clipboard()->text()));
    QVERIFY(QApplication::clipboard()->text().size() > shown.size());
}

// No limits of another distribution under the new caption, none before the first interval,
// and no result of another quantity.
void MainDialogTest::switchingClearsTheResults() {
    showDialog();
    control<QAbstractButton>(kRadioInterval95)->click();
    QCOMPARE(fieldText(kLowerField), QString());
    QCOMPARE(fieldText(kUpperField), QString());
    type(kValueField, QStringLiteral("5"));
    QTest::keyClick(control(kValueField), Qt::Key_Return);
    QVERIFY(!fieldText(kUpperField).isEmpty());
    control<QAbstractButton>(kRadioT)->click();
    QCOMPARE(control<QGroupBox>(kConfidenceGroup)->title(),
             QStringLiteral("Confidence Limits for Delta"));
    QCOMPARE(fieldText(kLowerField), QString());
    QCOMPARE(fieldText(kUpperField), QString());

    QTest::keyClick(control(kValueField), Qt::Key_Return);
    QVERIFY(!fieldText(kUpperField).isEmpty());
    control<QAbstractButton>(kRadioInterval99)->click();
    QCOMPARE(fieldText(kUpperField), QString());
    control<QAbstractButton>(kRadioCumP)->click();
    QTest::keyClick(control(kValueField), Qt::Key_Return);
    QVERIFY(!fieldText(kCumPField).isEmpty());
    control<QAbstractButton>(kRadioChiSquare)->click();
    QCOMPARE(fieldText(kCumPField), QString());
}

// F = 3 gives a Cum. P shown with six digits; the F value computed back from it is 3, as the
// whole probability, not its rounded text, is the input.
void MainDialogTest::aResultUsedAsAnInputKeepsItsFullPrecision() {
    showDialog();
    type(kValueField, QStringLiteral("3"));
    type(kDf1Field, QStringLiteral("5"));
    type(kDf2Field, QStringLiteral("10"));
    QTest::keyClick(control(kDf2Field), Qt::Key_Return);
    QCOMPARE(fieldText(kCumPField), QStringLiteral("0.934442"));
    control<QAbstractButton>(kRadioValue)->click();
    QCOMPARE(fieldText(kCumPField), QStringLiteral("0.934442"));
    QCOMPARE(fieldText(kValueField), QString());
    QTest::keyClick(control(kCumPField), Qt::Key_Return);
    const std::optional<double> value = control<CNumEdit>(kValueField)->WrittenValue();
    QVERIFY(value.has_value());
    QVERIFY2(std::fabs(*value - 3.0) <= 1e-12, qPrintable(QString::number(*value, 'g', 17)));
}

// A history row put back over a result that shows the same text computes with the row's number,
// not with the whole result hidden behind that text.
void MainDialogTest::aRestoredInputIsTheNumberRestored() {
    showDialog();
    type(kValueField, QStringLiteral("3"));
    type(kDf1Field, QStringLiteral("5"));
    type(kDf2Field, QStringLiteral("10"));
    QTest::keyClick(control(kDf2Field), Qt::Key_Return);
    QCOMPARE(fieldText(kCumPField), QStringLiteral("0.934442"));
    ComputeRequest row;
    row.distribution = DistributionKind::F;
    row.quantity = QuantityKind::Value;
    row.cumP = 0.934442;
    row.df1 = 5;
    row.df2 = 10;
    QVERIFY(dialog_->controller().restore(row));
    QCOMPARE(fieldText(kCumPField), QStringLiteral("0.934442"));
    HeardComputations heard;
    dialog_->controller().listeners().add(heard);
    QTest::keyClick(control(kCumPField), Qt::Key_Return);
    dialog_->controller().listeners().remove(heard);
    QCOMPARE(heard.requests.size(), std::size_t{1});
    QCOMPARE(heard.requests.front().cumP, 0.934442);
}

void MainDialogTest::f1OpensHelpFromAnyControl_data() {
    QTest::addColumn<int>("focus");
    QTest::newRow("Value field") << kValueField;
    QTest::newRow("Compute") << kComputeButton;
    QTest::newRow("read-only CumP field") << kCumPField;
    QTest::newRow("F radio") << kRadioF;
}

// F1 opens the contents even on a control that has a popup: it never asks for context help.
void MainDialogTest::f1OpensHelpFromAnyControl() {
    QFETCH(int, focus);
    showDialog();
    control(focus)->setFocus();
    QTest::keyClick(control(focus), Qt::Key_F1);
    QVERIFY(help_->isVisible());
    QVERIFY(!help_->page().source().isEmpty());
    QVERIFY(!QWhatsThis::inWhatsThisMode());
    QCOMPARE(whatsThisPopup(), nullptr);
}

void MainDialogTest::helpButtonOpensHelp() {
    showDialog();
    QTest::mouseClick(control(kHelpButton), Qt::LeftButton);
    QVERIFY(help_->isVisible());
}

void MainDialogTest::contextMenuEndsWithAbout_data() {
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("reason");
    QTest::newRow("right mouse button on the dialog") << 0 << int(QContextMenuEvent::Mouse);
    QTest::newRow("Menu key in a field") << kValueField << int(QContextMenuEvent::Keyboard);
    QTest::newRow("Menu key on a radio button") << kRadioT << int(QContextMenuEvent::Keyboard);
}

void MainDialogTest::contextMenuEndsWithAbout() {
    QFETCH(int, target);
    QFETCH(int, reason);
    showDialog();
    QWidget* receiver = target == 0 ? static_cast<QWidget*>(dialog_.get()) : control(target);
    QContextMenuEvent event(QContextMenuEvent::Reason(reason), QPoint(5, 5),
                            receiver->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(receiver, &event);

    QMenu& menu = dialog_->contextMenu();
    QVERIFY(menu.isVisible());
    const QList<QAction*> actions = menu.actions();
    QVERIFY(actions.size() >= 2);
    QVERIFY(actions.at(actions.size() - 2)->isSeparator());
    QCOMPARE(actions.last()->text(), QStringLiteral("&About Quorvel..."));
    menu.hide();
}

void MainDialogTest::aboutBoxClosesWithEnterOrEscape_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::newRow("Escape") << int(Qt::Key_Escape) << int(QDialog::Rejected);
}

void MainDialogTest::aboutBoxClosesWithEnterOrEscape() {
    QFETCH(int, key);
    QFETCH(int, result);
    showDialog();
    QStringList labels;
    int closedWith = -1;
    ModalWatcher watcher([&](QWidget* about) {
        for (auto* label : about->findChildren<QLabel*>()) {
            labels << label->text();
        }
        QTest::keyClick(about, Qt::Key(key));
        closedWith = static_cast<QDialog*>(about)->result();
    });
    dialog_->contextMenu().actions().last()->trigger();

    QCOMPARE(watcher.seen().size(), std::size_t{1});
    QCOMPARE(watcher.seen().front().className, QStringLiteral("quorvel::CAboutDlg"));
    QCOMPARE(watcher.seen().front().title, QStringLiteral("About Quorvel"));
    QCOMPARE(watcher.seen().front().parent, static_cast<QWidget*>(dialog_.get()));
    QVERIFY2(labels.contains(QStringLiteral("Quorvel Version " QUORVEL_VERSION)),
             qPrintable(labels.join(u'|')));
    QCOMPARE(closedWith, result);
    QVERIFY(dialog_->isVisible());
}

void MainDialogTest::contextHelpPopsUpForControlsWithAHelpId_data() {
    QTest::addColumn<int>("target");
    QTest::addColumn<bool>("popup");
    QTest::newRow("Compute") << kComputeButton << true;
    QTest::newRow("Distribution box") << kDistributionGroup << true;
    QTest::newRow("Value field") << kValueField << false;
    QTest::newRow("Help button") << kHelpButton << false;
}

// Shift+F1, then a click on the control.
void MainDialogTest::contextHelpPopsUpForControlsWithAHelpId() {
    QFETCH(int, target);
    QFETCH(bool, popup);
    showDialog();
    QTest::keyClick(dialog_.get(), Qt::Key_F1, Qt::ShiftModifier);
    QVERIFY(QWhatsThis::inWhatsThisMode());
    QWidget* widget = control(target);
    // A point of the control not covered by another one (a group box's own frame).
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(3, widget->height() - 3));
    QVERIFY(!QWhatsThis::inWhatsThisMode());
    QWidget* shownPopup = whatsThisPopup();
    QCOMPARE(shownPopup != nullptr, popup);
    QVERIFY(!help_->isVisible());
    QWhatsThis::hideText();
}

void MainDialogTest::everyHelpIdHasAPopupText() {
    std::set<std::uint32_t> templateIds;
    for (const dialog::ControlTemplate& control : dialog::mainDialogTemplate().controls) {
        if (control.helpId != 0) {
            templateIds.insert(control.helpId);
        }
    }
    // The dialog's identifiers are 0x8066xxxx; other windows' popups have ranges of their own.
    std::set<std::uint32_t> popupIds;
    for (const auto& [id, text] : popupTexts()) {
        QVERIFY(!text.empty());
        if ((id & 0xFFFF0000U) == 0x80660000U) {
            popupIds.insert(id);
        }
    }
    QVERIFY(popupIds == templateIds);
    QCOMPARE(control(kComputeButton)->whatsThis(),
             QString::fromStdString(popupTexts().at(0x80660409U)));
}

void MainDialogTest::everyResultShowsWhole_data() {
    QTest::addColumn<int>("distribution");
    QTest::addColumn<int>("quantity");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("df1");
    QTest::addColumn<QString>("df2");
    QTest::addColumn<QString>("cumP");
    // Fewer characters than this would mean the row no longer gives a wide result (a value
    // shows only the decimals it needs).
    QTest::addColumn<int>("shortestResult");

    // The widest result of each combination: a value at the extremes of CumP and Df with the
    // default noncentrality, a noncentrality or limit with four digits before the point (the
    // routines stop at 10000 for F and 5000 for t and chi-square), negative where t allows it.
    const QList<IntervalCommandRow> intervals{
        {kRadioInterval90, "90%"}, {kRadioInterval95, "95%"}, {kRadioInterval99, "99%"}};
    QTest::newRow("F Cum. P") << kRadioF << kRadioCumP << "0.5"
                              << "1"
                              << "1"
                              << "" << 6;
    QTest::newRow("F Cum. P far below 1e-4") << kRadioF << kRadioCumP << "0.001"
                                             << "10"
                                             << "10"
                                             << "" << 11;
    QTest::newRow("X2 Cum. P near 1") << kRadioChiSquare << kRadioCumP << "60"
                                      << "1"
                                      << ""
                                      << "" << 17;
    QTest::newRow("F Cum. P failed") << kRadioF << kRadioCumP << "0.5"
                                     << "0"
                                     << "1"
                                     << "" << 16;
    QTest::newRow("F value") << kRadioF << kRadioValue << ""
                             << "1"
                             << "1"
                             << "0.9999" << 8;
    QTest::newRow("F Lambda") << kRadioF << kRadioNoncentrality << "4000"
                              << "1"
                              << "10000"
                              << "0.0001" << 7;
    QTest::newRow("T Cum. P") << kRadioT << kRadioCumP << "0.5"
                              << "1"
                              << ""
                              << "" << 6;
    QTest::newRow("T value") << kRadioT << kRadioValue << ""
                             << "1"
                             << ""
                             << "0.0001" << 7;
    QTest::newRow("T Delta") << kRadioT << kRadioNoncentrality << "-4000"
                             << "10000"
                             << ""
                             << "0.9999" << 8;
    QTest::newRow("X2 Cum. P") << kRadioChiSquare << kRadioCumP << "0.5"
                               << "1"
                               << ""
                               << "" << 6;
    QTest::newRow("X2 value") << kRadioChiSquare << kRadioValue << ""
                              << "10000"
                              << ""
                              << "0.9999" << 7;
    QTest::newRow("X2 Lambda") << kRadioChiSquare << kRadioNoncentrality << "14000"
                               << "10000"
                               << ""
                               << "0.0001" << 6;
    for (const IntervalCommandRow& interval : intervals) {
        QTest::addRow("F %s C.I.", interval.name) << kRadioF << interval.button << "4000"
                                                  << "1"
                                                  << "10000"
                                                  << "" << 7;
        QTest::addRow("T %s C.I.", interval.name) << kRadioT << interval.button << "-4000"
                                                  << "10000"
                                                  << ""
                                                  << "" << 7;
        QTest::addRow("X2 %s C.I.", interval.name) << kRadioChiSquare << interval.button << "14000"
                                                   << "10000"
                                                   << ""
                                                   << "" << 6;
    }
}

// Typed into the inputs, computed with the Compute button, every result field is read with
// the eye: no digit of it may be scrolled away or hidden.
void MainDialogTest::everyResultShowsWhole() {
    QFETCH(int, distribution);
    QFETCH(int, quantity);
    QFETCH(QString, value);
    QFETCH(QString, df1);
    QFETCH(QString, df2);
    QFETCH(QString, cumP);
    QFETCH(int, shortestResult);
    showDialog();
    QTest::mouseClick(control(distribution), Qt::LeftButton);
    QTest::mouseClick(control(quantity), Qt::LeftButton);
    for (const auto& [field, text] : {std::pair{kValueField, value}, std::pair{kDf1Field, df1},
                                      std::pair{kDf2Field, df2}, std::pair{kCumPField, cumP}}) {
        if (!text.isEmpty()) {
            QVERIFY(!control<QLineEdit>(field)->isReadOnly());
            type(field, text);
        }
    }
    QTest::mouseClick(control(kComputeButton), Qt::LeftButton);

    QList<int> results;
    if (quantity == kRadioCumP) {
        results = {kCumPField};
    } else if (quantity == kRadioValue) {
        results = {kValueField};
    } else if (quantity == kRadioNoncentrality) {
        results = {kNoncentralityField};
    } else {
        results = {kLowerField, kUpperField};
    }
    for (int result : results) {
        QVERIFY2(fieldText(result).size() >= shortestResult, qPrintable(fieldText(result)));
        resultShowsWhole(result);
    }
}

// An input keeps the spin button's room and its own font, so a wide value left in it by a
// computation may run under the button: it still shows from its first digit, and its tooltip
// carries the whole value.
void MainDialogTest::aResultTurnedIntoAnInputShowsItsFirstDigit() {
    // A probability near 1 shows its distance from 1, in many digits.
    showDialog();
    QTest::mouseClick(control(kRadioChiSquare), Qt::LeftButton);
    type(kValueField, QStringLiteral("60"));
    QTest::mouseClick(control(kComputeButton), Qt::LeftButton);
    const QString result = fieldText(kCumPField);
    resultShowsWhole(kCumPField);

    QTest::mouseClick(control(kRadioValue), Qt::LeftButton);
    auto* field = control<QLineEdit>(kCumPField);
    QVERIFY(!field->isReadOnly());
    QCOMPARE(field->text(), result);
    QCOMPARE(field->cursorPosition(), 0);
    QCOMPARE(field->font(), dialog_->font());
    QCOMPARE(field->toolTip(), result);
}

void MainDialogTest::onlyAFocusedButtonIsTheDefault_data() {
    QTest::addColumn<int>("focus");
    QTest::newRow("Value field") << kValueField;
    QTest::newRow("read-only CumP field") << kCumPField;
    QTest::newRow("F radio") << kRadioF;
    QTest::newRow("Compute") << kComputeButton;
    QTest::newRow("Help") << kHelpButton;
}

// Enter presses a focused push button and ends the dialog anywhere else, so the default frame
// is on the focused button only, also after Compute and Help have had the focus.
void MainDialogTest::onlyAFocusedButtonIsTheDefault() {
    QFETCH(int, focus);
    showDialog();
    control(kHelpButton)->setFocus();
    QTest::mouseClick(control(kComputeButton), Qt::LeftButton);
    control(focus)->setFocus();
    for (QPushButton* button : dialog_->findChildren<QPushButton*>()) {
        QVERIFY2(button->isDefault() == (button == control(focus)), qPrintable(button->text()));
    }
}

void MainDialogTest::enterOnHelpOpensHelpAndStays() {
    showDialog();
    control(kHelpButton)->setFocus();
    QTest::keyClick(control(kHelpButton), Qt::Key_Return);
    QVERIFY(help_->isVisible());
    QVERIFY(dialog_->isVisible());
}

void MainDialogTest::noControlsOverlap_data() {
    QTest::addColumn<int>("distribution");
    QTest::addColumn<int>("quantity");
    for (const auto& [distribution, distributionName] : kDistributionRows) {
        for (const auto& [quantity, quantityName] : kQuantityRows) {
            QTest::addRow("%s %s", distributionName, quantityName) << distribution << quantity;
        }
    }
}

// Whatever the captions of the combination: no two visible controls share a pixel (a spin
// button lies on its own field by design), and a control in a group box stays inside the
// box's frame.
void MainDialogTest::noControlsOverlap() {
    QFETCH(int, distribution);
    QFETCH(int, quantity);
    control<QAbstractButton>(distribution)->click();
    control<QAbstractButton>(quantity)->click();

    QList<QWidget*> boxes;
    QList<QWidget*> others;
    for (QWidget* widget : dialog_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (widget->isVisibleTo(dialog_.get())) {
            (qobject_cast<QGroupBox*>(widget) != nullptr ? boxes : others) << widget;
        }
    }
    for (qsizetype first = 0; first < others.size(); ++first) {
        for (qsizetype second = first + 1; second < others.size(); ++second) {
            QWidget* one = others[first];
            QWidget* other = others[second];
            auto* spin = qobject_cast<CNumSpinCtrl*>(one) ? qobject_cast<CNumSpinCtrl*>(one)
                                                          : qobject_cast<CNumSpinCtrl*>(other);
            if (spin != nullptr && (spin->GetBuddy() == one || spin->GetBuddy() == other)) {
                continue;
            }
            QVERIFY2(!one->geometry().intersects(other->geometry()),
                     qPrintable(nameOf(one) + QStringLiteral(" overlaps ") + nameOf(other)));
        }
    }
    for (QWidget* box : boxes) {
        const int line = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
        const QRect inside = box->geometry().adjusted(line, line, -line, -line);
        for (QWidget* widget : others) {
            QVERIFY2(!widget->geometry().intersects(box->geometry()) ||
                         inside.contains(widget->geometry()),
                     qPrintable(nameOf(widget) + QStringLiteral(" crosses ") + nameOf(box)));
        }
        for (QWidget* other : boxes) {
            QVERIFY(other == box || !other->geometry().intersects(box->geometry()));
        }
    }
    captionsFit();
}

// Window systems list a top-level window in their taskbars, not one transient for another
// (which is what a dialog without an owner becomes on X11).
void MainDialogTest::hasATaskbarEntryOfItsOwn() {
    QCOMPARE(dialog_->windowType(), Qt::Window);
    showDialog();
    QVERIFY(dialog_->windowHandle() != nullptr);
    QCOMPARE(dialog_->windowHandle()->transientParent(), nullptr);
    QVERIFY(dialog_->isModal());
}

QTEST_MAIN(MainDialogTest)
#include "cmain_dlg_test.moc"
