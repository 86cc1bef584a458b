#include "gui/effects/effects_window.h"

#include <QAction>
#include <QAreaSeries>
#include <QChart>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QPushButton>
#include <QScatterSeries>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>
#include <array>
#include <cmath>
#include <memory>
#include <set>
#include <tuple>
#include <variant>

#include "gui/effects/effect_group.h"
#include "gui/effects/power_protocol.h"
#include "gui/help/help_window.h"
#include "gui/help/program_resources.h"
#include "gui/main/cmain_dlg.h"
#include "gui/plot/plot_pane.h"
#include "gui/widgets/cnum_edit.h"
#include "gui/widgets/message_box_reporter.h"
#include "gui/widgets/num_edit_logic.h"
#include "model/computation_listener.h"
#include "model/effects/effect_request.h"
#include "model/effects/effects.h"
#include "model/number_text.h"
#include "numerics/calculators.h"
#include "tests/gui/support/modal_watcher.h"
#include "tests/support/recording_reporter.h"

using namespace quorvel;
using quorvel::testing::ModalWatcher;
using quorvel::testing::RecordingReporter;

namespace {

class RecordingListener : public ComputationListener {
  public:
    void effectComputed(const EffectRequest& request, const EffectOutcome& outcome) override {
        heard.emplace_back(request, outcome);
    }
    std::vector<std::pair<EffectRequest, EffectOutcome>> heard;
};

// A keystroke step in a group: text typed over a field's whole text, "down" for the next
// choice of a choice box, or "" to leave the widget as it is; each step ends with Tab.
using Steps = QStringList;

// The result fields a group shows (a question shows as many as its command line prints).
std::vector<const CNumEdit*> shownResults(const EffectGroup& group) {
    std::vector<const CNumEdit*> shown;
    for (const CNumEdit* result : group.results()) {
        if (!result->isHidden()) {
            shown.push_back(result);
        }
    }
    return shown;
}

// The numbers a group shows, in the order of the command line's output.
QStringList shownNumbers(const EffectGroup& group) {
    QStringList numbers;
    for (const CNumEdit* result : shownResults(group)) {
        numbers << result->text();
    }
    return numbers;
}

// The whole numbers a group holds, as the command line prints them (17 significant digits);
// any other text as it shows.
QStringList wholeNumbers(const EffectGroup& group) {
    QStringList numbers;
    for (const CNumEdit* result : shownResults(group)) {
        const std::optional<double> written = result->WrittenValue();
        numbers << (written ? QString::fromStdString(formatNumber(*written)) : result->text());
    }
    return numbers;
}

// Where every group of the current tab, its fields and its plot lie.
QList<QRect> placesOf(const EffectsWindow& window) {
    QList<QRect> places{window.plot().geometry()};
    for (QWidget* widget : window.tabs().currentWidget()->findChildren<QWidget*>()) {
        if (widget->isVisible()) {
            places << QRect(widget->mapTo(&window, QPoint(0, 0)), widget->size());
        }
    }
    return places;
}

}  // namespace

Q_DECLARE_METATYPE(quorvel::EffectRequest)

class EffectsWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void opensFromTheMenuAndCtrlEAsOneWindow();
    void showsTheCommandLineNumbers_data();
    void showsTheCommandLineNumbers();
    void aFailedComputationShowsItsMessageAndSaysSo();
    void aRefusedInputIsShownAndNotComputed();
    void nothingMovesWhenAStatusAppears();
    void eachTabShowsItsOwnPicture();
    void theCurveShowsSavesAndTheProtocolCopies();
    void failureBoxesBelongToTheWindow();
    void enterComputesTheFocusedOrTheLastFocusedGroup();
    void everyCaptionHasAMnemonicUniqueInItsGroup();
    void everyFieldHasAWhatsThisAndF1OpensItsPage();
    void aWidgetAddedBesideTheTabsShowsToTheirRight();
    void opensAndClosesAHundredTimes();
    void aRestoredRequestComputesAgainToTheSameNumbers();
    void aDesignChosenByKeysComputesWithItsFormula();

  private:
    EffectsWindow& openWindow();
    void runSteps(EffectsWindow& window, Qt::Key tab, Qt::Key group, const Steps& steps);

    RecordingReporter reporter_;
    RecordingListener listener_;
    std::unique_ptr<Calculators> calculators_;
    std::unique_ptr<HelpWindow> help_;
    std::unique_ptr<CMainDlg> dialog_;
};

void EffectsWindowTest::init() {
    reporter_.messages.clear();
    listener_.heard.clear();
    calculators_ = std::make_unique<Calculators>(reporter_);
    help_ = std::make_unique<HelpWindow>();
    dialog_ = std::make_unique<CMainDlg>(*calculators_, *help_);
    dialog_->controller().listeners().add(listener_);
}

void EffectsWindowTest::cleanup() {
    dialog_->controller().listeners().remove(listener_);
    dialog_.reset();
    help_.reset();
    calculators_.reset();
}

// Ctrl+E in the main dialog, as a user opens the window.
EffectsWindow& EffectsWindowTest::openWindow() {
    dialog_->show();
    dialog_->activateWindow();
    [&] { QVERIFY(QTest::qWaitForWindowActive(dialog_.get())); }();
    QTest::keyClick(dialog_.get(), Qt::Key_E, Qt::ControlModifier);
    EffectsWindow* window = dialog_->effectsWindow();
    Q_ASSERT(window != nullptr);
    [&] { QVERIFY(QTest::qWaitForWindowActive(window)); }();
    return *window;
}

// Alt+tab letter, Alt+group letter, then each step and Tab; then Enter.
void EffectsWindowTest::runSteps(EffectsWindow& window, Qt::Key tab, Qt::Key group,
                                 const Steps& steps) {
    QTest::keyClick(&window, tab, Qt::AltModifier);
    QTest::keyClick(&window, group, Qt::AltModifier);
    for (const QString& step : steps) {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus != nullptr);
        if (step.startsWith(QLatin1String("down"))) {
            // "down down": as many presses as words.
            QVERIFY(qobject_cast<QComboBox*>(focus) != nullptr);
            for (qsizetype presses = step.count(QLatin1Char(' ')) + 1; presses > 0; --presses) {
                QTest::keyClick(focus, Qt::Key_Down);
            }
        } else if (!step.isEmpty()) {
            QVERIFY2(qobject_cast<CNumEdit*>(focus) != nullptr, qPrintable(step));
            // The field was entered by Tab or a mnemonic, so its text is selected: typing
            // replaces it.
            QVERIFY(static_cast<QLineEdit*>(focus)->hasSelectedText());
            QTest::keyClicks(focus, step);
        }
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

void EffectsWindowTest::opensFromTheMenuAndCtrlEAsOneWindow() {
    QVERIFY(dialog_->effectsWindow() == nullptr);
    QAction* open = nullptr;
    for (QAction* action : dialog_->contextMenu().actions()) {
        if (action->text().startsWith(QStringLiteral("&Effect Size and Power..."))) {
            open = action;
        }
    }
    QVERIFY(open != nullptr);
    open->trigger();
    EffectsWindow* window = dialog_->effectsWindow();
    QVERIFY(window != nullptr);
    QVERIFY(window->isVisible());
    QVERIFY(!window->isModal());
    QVERIFY(window->isWindow());
    QTest::keyClick(window, Qt::Key_Escape);
    QVERIFY(!window->isVisible());

    QCOMPARE(&openWindow(), window);
    QVERIFY(window->isVisible());
}

void EffectsWindowTest::showsTheCommandLineNumbers_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("group");
    QTest::addColumn<bool>("oneSample");
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<EffectRequest>("request");
    // The check values as printed: each shown number lies within half a unit of the last
    // printed digit (empty: none printed for this example).
    QTest::addColumn<QStringList>("printed");

    using enum EffectQuantity;
    const auto t = DistributionKind::T;
    const auto f = DistributionKind::F;
    const auto x2 = DistributionKind::ChiSquare;
    QTest::newRow("t d, two groups")
        << int(Qt::Key_T) << int(Qt::Key_E) << false << Steps{"2.5", "11", "11", "0.95"}
        << EffectRequest{.distribution = t,
                         .quantity = Estimate,
                         .measure = EffectMeasure::CohensD,
                         .value = 2.5,
                         .n1 = 11,
                         .n2 = 11}
        << QStringList{"1.0660", "0.1566", "1.9524"};
    QTest::newRow("t d, one sample, 90%")
        << int(Qt::Key_T) << int(Qt::Key_E) << true << Steps{"2.5", "20", "0.9"}
        << EffectRequest{.distribution = t,
                         .quantity = Estimate,
                         .measure = EffectMeasure::CohensD,
                         .value = 2.5,
                         .n = 20,
                         .confidence = 0.9}
        << QStringList{};
    QTest::newRow("t power")
        << int(Qt::Key_T) << int(Qt::Key_P) << false << Steps{"0.5", "20", "20", "0.05"}
        << EffectRequest{.distribution = t, .quantity = Power, .effect = 0.5, .n1 = 20, .n2 = 20}
        << QStringList{"0.337939"};
    QTest::newRow("t power, one-sided")
        << int(Qt::Key_T) << int(Qt::Key_P) << false << Steps{"0.5", "20", "20", "0.05", "down"}
        << EffectRequest{.distribution = t,
                         .quantity = Power,
                         .effect = 0.5,
                         .n1 = 20,
                         .n2 = 20,
                         .sides = 1}
        << QStringList{};
    QTest::newRow("t sample size")
        << int(Qt::Key_T) << int(Qt::Key_S) << false << Steps{"0.5", "0.8"}
        << EffectRequest{.distribution = t, .quantity = SampleSize, .effect = 0.5, .power = 0.8}
        << QStringList{"64"};
    QTest::newRow("t sample size, one sample")
        << int(Qt::Key_T) << int(Qt::Key_S) << true << Steps{"0.5", "0.8"}
        << EffectRequest{.distribution = t,
                         .quantity = SampleSize,
                         .effect = 0.5,
                         .power = 0.8,
                         .twoSample = false}
        << QStringList{};
    QTest::newRow("F partial eta2")
        << int(Qt::Key_F) << int(Qt::Key_E) << false << Steps{"", "4", "3", "40", "0.95"}
        << EffectRequest{.distribution = f,
                         .quantity = Estimate,
                         .measure = EffectMeasure::PartialEtaSquared,
                         .value = 4.0,
                         .df1 = 3,
                         .df2 = 40}
        << QStringList{};
    QTest::newRow("F f2") << int(Qt::Key_F) << int(Qt::Key_E) << false
                          << Steps{"down", "4", "3", "40", "0.99"}
                          << EffectRequest{.distribution = f,
                                           .quantity = Estimate,
                                           .measure = EffectMeasure::CohensFSquared,
                                           .value = 4.0,
                                           .df1 = 3,
                                           .df2 = 40,
                                           .confidence = 0.99}
                          << QStringList{};
    QTest::newRow("F power") << int(Qt::Key_F) << int(Qt::Key_P) << false
                             << Steps{"0.15", "3", "40", "0.05"}
                             << EffectRequest{.distribution = f,
                                              .quantity = Power,
                                              .measure = EffectMeasure::CohensFSquared,
                                              .effect = 0.15,
                                              .df1 = 3,
                                              .df2 = 40}
                             << QStringList{"0.517255"};
    QTest::newRow("F sample size")
        << int(Qt::Key_F) << int(Qt::Key_S) << false << Steps{"0.15", "3", "0.8", "0.05"}
        << EffectRequest{.distribution = f,
                         .quantity = SampleSize,
                         .measure = EffectMeasure::CohensFSquared,
                         .effect = 0.15,
                         .df1 = 3,
                         .power = 0.8}
        << QStringList{"77"};
    QTest::newRow("chi-square RMSEA")
        << int(Qt::Key_C) << int(Qt::Key_E) << false << Steps{"", "20", "4", "200", "0.9"}
        << EffectRequest{.distribution = x2,
                         .quantity = Estimate,
                         .measure = EffectMeasure::Rmsea,
                         .value = 20.0,
                         .n = 200,
                         .df1 = 4,
                         .confidence = 0.9}
        << QStringList{};
    QTest::newRow("chi-square w") << int(Qt::Key_C) << int(Qt::Key_E) << false
                                  << Steps{"down", "20", "4", "200", "0.95"}
                                  << EffectRequest{.distribution = x2,
                                                   .quantity = Estimate,
                                                   .measure = EffectMeasure::CohensW,
                                                   .value = 20.0,
                                                   .n = 200,
                                                   .df1 = 4}
                                  << QStringList{};
    // The measures and the one-sided choice added to the tabs: the alternative follows the
    // level, the t measure follows the alternative, Cramér's V shows the table in the place of Df.
    QTest::newRow("t g, one sample, greater")
        << int(Qt::Key_T) << int(Qt::Key_E) << true << Steps{"2.5", "20", "0.95", "down", "down"}
        << EffectRequest{.distribution = t,
                         .quantity = Estimate,
                         .measure = EffectMeasure::HedgesG,
                         .value = 2.5,
                         .n = 20,
                         .alternative = Alternative::Greater}
        << QStringList{};
    QTest::newRow("F omega2, less")
        << int(Qt::Key_F) << int(Qt::Key_E) << false
        << Steps{"down down", "4", "3", "40", "0.95", "down down"}
        << EffectRequest{.distribution = f,
                         .quantity = Estimate,
                         .measure = EffectMeasure::PartialOmegaSquared,
                         .value = 4.0,
                         .df1 = 3,
                         .df2 = 40,
                         .alternative = Alternative::Less}
        << QStringList{};
    QTest::newRow("chi-square V")
        << int(Qt::Key_C) << int(Qt::Key_E) << false
        << Steps{"down down", "20", "3", "4", "100", "0.95"}
        << EffectRequest{.distribution = x2,
                         .quantity = Estimate,
                         .measure = EffectMeasure::CramersV,
                         .value = 20.0,
                         .n = 100,
                         .rows = 3,
                         .cols = 4}
        << QStringList{};
    QTest::newRow("chi-square power")
        << int(Qt::Key_C) << int(Qt::Key_P) << false << Steps{"0.3", "4", "100", "0.05"}
        << EffectRequest{.distribution = x2,
                         .quantity = Power,
                         .measure = EffectMeasure::CohensW,
                         .effect = 0.3,
                         .n = 100,
                         .df1 = 4}
        << QStringList{"0.663486"};
    QTest::newRow("chi-square sample size")
        << int(Qt::Key_C) << int(Qt::Key_S) << false << Steps{"0.3", "4", "0.8", "0.05"}
        << EffectRequest{.distribution = x2,
                         .quantity = SampleSize,
                         .measure = EffectMeasure::CohensW,
                         .effect = 0.3,
                         .df1 = 4,
                         .power = 0.8}
        << QStringList{"133"};
}

// Typed in, Tab by Tab, then Enter: the group shows what computeEffect gives for the request,
// formatted as the command line prints it, and the listeners hear that request and outcome.
void EffectsWindowTest::showsTheCommandLineNumbers() {
    QFETCH(int, tab);
    QFETCH(int, group);
    QFETCH(bool, oneSample);
    QFETCH(Steps, steps);
    QFETCH(EffectRequest, request);
    QFETCH(QStringList, printed);

    EffectsWindow& window = openWindow();
    if (oneSample) {
        QTest::keyClick(&window, Qt::Key_G, Qt::AltModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(window.design(DistributionKind::T).currentIndex(), 1);
    }
    runSteps(window, Qt::Key(tab), Qt::Key(group), steps);

    EffectGroup& shown = window.group(request.distribution, request.quantity);
    QCOMPARE(&window.currentGroup(), &shown);
    QVERIFY2(reporter_.messages.empty(),
             reporter_.messages.empty() ? "" : reporter_.messages.front().c_str());
    QCOMPARE(shown.status().text(), QStringLiteral("Finished"));

    RecordingReporter expectedReporter;
    Calculators expectedCalculators(expectedReporter);
    const EffectOutcome expected = computeEffect(expectedCalculators, request);
    QVERIFY(!expected.failed);
    QStringList expectedNumbers;
    for (const std::string& number : effectOutputNumbers(request.quantity, expected)) {
        expectedNumbers << QString::fromStdString(number);
    }
    QCOMPARE(wholeNumbers(shown), expectedNumbers);
    QCOMPARE(wholeNumbers(shown).join(QLatin1Char(' ')),
             QString::fromStdString(effectOutputLine(request.quantity, expected)));
    // On the screen the same numbers by their significant digits, as the main window shows its
    // results, with no noise digits.
    for (int index = 0; index < expectedNumbers.size(); ++index) {
        const QString text = shownNumbers(shown)[index];
        const double whole = expectedNumbers[index].toDouble();
        if (std::isinf(whole)) {  // the unbounded end of a one-sided interval
            QCOMPARE(text, expectedNumbers[index]);
            continue;
        }
        QVERIFY2(std::fabs(text.toDouble() - whole) <= 5e-6 * std::fabs(whole), qPrintable(text));
        QVERIFY2(text.size() <= 12 || text == expectedNumbers[index], qPrintable(text));
    }

    for (int index = 0; index < printed.size(); ++index) {
        const QString& literal = printed[index];
        const int decimals =
            literal.contains(QLatin1Char('.')) ? int(literal.size() - literal.indexOf('.') - 1) : 0;
        const double shownValue = shownNumbers(shown)[index].toDouble();
        QVERIFY2(std::abs(shownValue - literal.toDouble()) <= 0.5 * std::pow(10.0, -decimals),
                 qPrintable(shownNumbers(shown)[index] + QStringLiteral(" vs ") + literal));
    }

    // A power or a sample size draws its power picture: the central and the noncentral curve,
    // with the shaded areas adding up to the power shown; an effect size leaves the plot empty.
    const QChart& chart = window.plot().chart();
    if (request.quantity == EffectQuantity::Estimate) {
        QVERIFY(chart.series().isEmpty());
    } else {
        double shadedArea = 0.0;
        int curves = 0;
        for (QAbstractSeries* series : chart.series()) {
            if (auto* area = qobject_cast<QAreaSeries*>(series)) {
                const QList<QPointF> points = area->upperSeries()->points();
                for (qsizetype i = 0; i + 1 < points.size(); ++i) {
                    shadedArea += 0.5 * (points[i].y() + points[i + 1].y()) *
                                  (points[i + 1].x() - points[i].x());
                }
            } else if (auto* line = qobject_cast<QLineSeries*>(series); line && line->count() > 2) {
                ++curves;
            }
        }
        QCOMPARE(curves, 2);
        QVERIFY2(std::abs(shadedArea - expected.power) < 1e-3,
                 qPrintable(QStringLiteral("shaded %1, power %2").arg(shadedArea).arg(expected.power)));
    }

    QCOMPARE(listener_.heard.size(), std::size_t{1});
    const auto& [heardRequest, heardOutcome] = listener_.heard.front();
    QCOMPARE(heardRequest.quantity, request.quantity);
    QCOMPARE(heardRequest.measure, request.measure);
    QCOMPARE(heardRequest.n, request.n);
    QCOMPARE(heardRequest.n1, request.n1);
    QCOMPARE(heardRequest.sides, request.sides);
    QCOMPARE(heardRequest.twoSample, request.twoSample);
    QCOMPARE(heardRequest.alternative, request.alternative);
    QCOMPARE(std::pair(heardRequest.rows, heardRequest.cols), std::pair(request.rows, request.cols));
    QCOMPARE(heardOutcome.power, expected.power);
    QCOMPARE(heardOutcome.upper, expected.upper);
    QCOMPARE(heardOutcome.n, expected.n);
    QVERIFY(heardOutcome.messages.empty());
}

// F 100000 with Df 1 and 1000 needs λ ≈ 99934, beyond the F family's 10000: its own message.
void EffectsWindowTest::aFailedComputationShowsItsMessageAndSaysSo() {
    EffectsWindow& window = openWindow();
    runSteps(window, Qt::Key_F, Qt::Key_E, {"", "100000", "1", "1000", "0.95"});

    QVERIFY(!reporter_.messages.empty());
    EffectGroup& group = window.group(DistributionKind::F, EffectQuantity::Estimate);
    QVERIFY(group.status().text().startsWith(QStringLiteral("Failed:")));
    QVERIFY2(group.status().text().contains(QString::fromStdString(reporter_.messages.front())),
             qPrintable(group.status().text()));
    for (const QString& number : shownNumbers(group)) {
        QCOMPARE(number, QString::fromLatin1(kFailedText));
    }
    QCOMPARE(listener_.heard.size(), std::size_t{1});
    QVERIFY(listener_.heard.front().second.failed);
    QCOMPARE(listener_.heard.front().second.messages, reporter_.messages);

    // Computed again with an answerable value, the group shows it.
    runSteps(window, Qt::Key_F, Qt::Key_E, {"", "10"});
    QCOMPARE(group.status().text(), QStringLiteral("Finished"));
}

void EffectsWindowTest::nothingMovesWhenAStatusAppears() {
    EffectsWindow& window = openWindow();
    QTest::keyClick(&window, Qt::Key_F, Qt::AltModifier);
    QTest::qWait(0);
    const QList<QRect> before = placesOf(window);
    // A failure's long message, then "Finished".
    runSteps(window, Qt::Key_F, Qt::Key_E, {"", "100000", "1", "1000", "0.95"});
    EffectGroup& group = window.group(DistributionKind::F, EffectQuantity::Estimate);
    QVERIFY(group.status().text().startsWith(QStringLiteral("Failed:")));
    QTest::qWait(0);
    QCOMPARE(placesOf(window), before);
    runSteps(window, Qt::Key_F, Qt::Key_E, {"", "10"});
    QCOMPARE(group.status().text(), QStringLiteral("Finished"));
    QTest::qWait(0);
    QCOMPARE(placesOf(window), before);
}

// A tab's power picture stays with its tab: another tab shows its own or the prompt.
void EffectsWindowTest::eachTabShowsItsOwnPicture() {
    EffectsWindow& window = openWindow();
    const QString prompt = window.plot().titleText();
    runSteps(window, Qt::Key_T, Qt::Key_P, {"0.5", "20", "20", "0.05"});
    const QString tPicture = window.plot().titleText();
    QVERIFY(tPicture != prompt);
    QVERIFY(!window.plot().chart().series().isEmpty());

    QTest::keyClick(&window, Qt::Key_F, Qt::AltModifier);
    QCOMPARE(window.plot().titleText(), prompt);
    QVERIFY(window.plot().chart().series().isEmpty());
    runSteps(window, Qt::Key_F, Qt::Key_P, {"0.15", "3", "40", "0.05"});
    const QString fPicture = window.plot().titleText();
    QVERIFY(fPicture != prompt && fPicture != tPicture);

    QTest::keyClick(&window, Qt::Key_T, Qt::AltModifier);
    QCOMPARE(window.plot().titleText(), tPicture);
    QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);
    QCOMPARE(window.plot().titleText(), prompt);
    QTest::keyClick(&window, Qt::Key_F, Qt::AltModifier);
    QCOMPARE(window.plot().titleText(), fPicture);
}

// After a power and after a sample size, the curve over N and over the effect passes through the
// computed point; its points save as CSV, its picture as PNG and SVG, and the protocol of the
// tab's computation goes to the clipboard. The densities stay one choice away.
void EffectsWindowTest::theCurveShowsSavesAndTheProtocolCopies() {
    EffectsWindow& window = openWindow();
    QVERIFY(!window.copyProtocolButton().isEnabled());
    QTest::keyClick(&window, Qt::Key_K, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), &window.pictureChoice());
    QTest::keyClick(&window.pictureChoice(), Qt::Key_Down);
    runSteps(window, Qt::Key_T, Qt::Key_P, {"0.5", "15", "25", "0.05"});
    QCOMPARE(listener_.heard.size(), std::size_t{1});
    const auto dotOf = [&window] {
        const PlotScene& scene = window.plot().scene();
        return scene.dots.size() == 1 ? scene.dots[0].at : PlotPoint{-1.0, -1.0};
    };
    QVERIFY(window.plot().scene().probabilityAxis);
    QCOMPARE(dotOf().x, 40.0);
    QCOMPARE(dotOf().y, listener_.heard[0].second.power);
    // The curve, the line at alpha and the dot: a power has no target.
    QCOMPARE(window.plot().chart().series().count(), 3);
    QVERIFY(qobject_cast<QScatterSeries*>(window.plot().chart().series().back()) != nullptr);

    runSteps(window, Qt::Key_F, Qt::Key_S, {"0.15", "3", "0.8", "0.05"});
    QCOMPARE(listener_.heard.size(), std::size_t{2});
    const auto& [request, outcome] = listener_.heard[1];
    QCOMPARE(dotOf().x, static_cast<double>(outcome.n));
    QCOMPARE(dotOf().y, outcome.power);
    QCOMPARE(window.plot().scene().levels.front().y, 0.8);
    window.pictureChoice().setCurrentIndex(2);
    QCOMPARE(dotOf().x, 0.15);
    QCOMPARE(dotOf().y, outcome.power);

    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("points.csv"));
    QVERIFY(window.savePointsButton().isEnabled());
    QVERIFY(window.savePoints(csv));
    QFile points(csv);
    QVERIFY(points.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = points.readAll().split('\n');
    QCOMPARE(lines.front(), QByteArray("effect,power"));
    // The header, a line per point, and the empty rest after the last line end.
    QCOMPARE(lines.size(),
             static_cast<qsizetype>(window.plot().scene().curves[0].points.size()) + 2);
    for (const char* suffix : {"curve.png", "curve.svg"}) {
        QVERIFY(
            window.plot().savePicture(dir.filePath(QString::fromLatin1(suffix)), QSize(800, 600)));
    }
    QCOMPARE(QImage(dir.filePath(QStringLiteral("curve.png"))).size(), QSize(800, 600));
    QFile svg(dir.filePath(QStringLiteral("curve.svg")));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    QVERIFY(svg.readAll().contains("<svg"));

    QGuiApplication::clipboard()->clear();
    window.copyProtocolButton().click();
    const QString copied = QGuiApplication::clipboard()->text();
    QCOMPARE(copied, QString::fromStdString(powerProtocol(*calculators_, request, outcome)));
    QVERIFY(copied.contains(QStringLiteral("Result: N = %1").arg(outcome.n)));

    // A tab without a computation has nothing to save or copy; the densities come back.
    QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);
    QVERIFY(!window.copyProtocolButton().isEnabled());
    QVERIFY(!window.savePointsButton().isEnabled());
    QVERIFY(!window.savePoints(csv));
    QTest::keyClick(&window, Qt::Key_T, Qt::AltModifier);
    window.pictureChoice().setCurrentIndex(0);
    QVERIFY(!window.plot().scene().probabilityAxis);
    QVERIFY(!window.plot().scene().areas.empty());
    QVERIFY(!window.savePointsButton().isEnabled());
}

// The command line's rules refuse the input and name the field by its caption; nothing is
// computed, so no listener hears of it.
void EffectsWindowTest::aRefusedInputIsShownAndNotComputed() {
    EffectsWindow& window = openWindow();
    runSteps(window, Qt::Key_T, Qt::Key_P, {"0.5", "20", "20", "0.9"});
    QCOMPARE(reporter_.messages, std::vector<std::string>{"Alpha must lie from 0.0001 to 0.5"});
    EffectGroup& group = window.group(DistributionKind::T, EffectQuantity::Power);
    QCOMPARE(group.status().text(), QStringLiteral("Failed: Alpha must lie from 0.0001 to 0.5"));
    QCOMPARE(shownNumbers(group), QStringList{QString::fromLatin1(kFailedText)});

    reporter_.messages.clear();
    runSteps(window, Qt::Key_T, Qt::Key_E, {"2", "10", "10", "0.5"});
    QCOMPARE(reporter_.messages,
             std::vector<std::string>{"Confidence level must lie from 0.80 to 0.9999"});
    QVERIFY(listener_.heard.empty());
}

// With the program's reporter, a failure is a warning box over the Effect Size and Power
// window, and the main dialog owns the boxes again afterwards.
void EffectsWindowTest::failureBoxesBelongToTheWindow() {
    MessageBoxReporter boxes;
    boxes.setOwner(dialog_.get());
    calculators_->redirectReporter(boxes);
    EffectsWindow& window = openWindow();
    ModalWatcher watcher;
    runSteps(window, Qt::Key_F, Qt::Key_E, {"", "100000", "1", "1000", "0.95"});

    QVERIFY(!watcher.seen().empty());
    QCOMPARE(watcher.seen().front().parent, static_cast<QWidget*>(&window));
    QCOMPARE(watcher.seen().front().icon, QMessageBox::Warning);
    QCOMPARE(boxes.owner(), static_cast<QWidget*>(dialog_.get()));
    calculators_->redirectReporter(reporter_);
}

void EffectsWindowTest::enterComputesTheFocusedOrTheLastFocusedGroup() {
    EffectsWindow& window = openWindow();
    // At first Enter computes the effect-size group of the tab.
    QTest::keyClick(&window, Qt::Key_Return);
    QCOMPARE(listener_.heard.size(), std::size_t{1});
    QCOMPARE(listener_.heard.back().first.quantity, EffectQuantity::Estimate);

    // In a field of the power group, Enter computes power.
    QTest::keyClick(&window, Qt::Key_P, Qt::AltModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    QCOMPARE(listener_.heard.size(), std::size_t{2});
    QCOMPARE(listener_.heard.back().first.quantity, EffectQuantity::Power);

    // On the design choice, outside every group, the power group is still the current one.
    QTest::keyClick(&window, Qt::Key_G, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&window.design(DistributionKind::T)));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(listener_.heard.size(), std::size_t{3});
    QCOMPARE(listener_.heard.back().first.quantity, EffectQuantity::Power);

    // On a group's Compute button Enter presses that button.
    EffectGroup& sampleSize = window.group(DistributionKind::T, EffectQuantity::SampleSize);
    sampleSize.computeButton().setFocus();
    QTest::keyClick(&sampleSize.computeButton(), Qt::Key_Return);
    QCOMPARE(listener_.heard.size(), std::size_t{4});
    QCOMPARE(listener_.heard.back().first.quantity, EffectQuantity::SampleSize);

    // Each tab keeps its own current group.
    QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);
    QTest::keyClick(&window.tabs(), Qt::Key_Return);
    QCOMPARE(listener_.heard.back().first.distribution, DistributionKind::ChiSquare);
    QCOMPARE(listener_.heard.back().first.quantity, EffectQuantity::Estimate);
}

// Every caption of an input names a buddy and carries a mnemonic; within one group no two
// captions share a letter, and no group title shares one with a caption of its tab.
void EffectsWindowTest::everyCaptionHasAMnemonicUniqueInItsGroup() {
    EffectsWindow& window = openWindow();
    auto mnemonicOf = [](const QString& text) {
        const qsizetype at = text.indexOf(QLatin1Char('&'));
        return at < 0 || at + 1 >= text.size() ? QChar() : text.at(at + 1).toLower();
    };
    // The captions a group shows at once, under every design and question: hidden ones take no
    // keys.
    auto checkShownCaptions = [&](EffectGroup& group, std::set<QChar>& captions) {
        std::set<QChar> inGroup;
        for (auto* label : group.findChildren<QLabel*>()) {
            // A result's caption names its read-only field and needs no mnemonic.
            auto* field = qobject_cast<QLineEdit*>(label->buddy());
            if (label->buddy() == nullptr || (field != nullptr && field->isReadOnly()) ||
                label->isHidden()) {
                continue;
            }
            const QChar letter = mnemonicOf(label->text());
            QVERIFY2(!letter.isNull(), qPrintable(label->text()));
            QVERIFY2(inGroup.insert(letter).second, qPrintable(label->text()));
            captions.insert(letter);
        }
    };
    for (int tab = 0; tab < window.tabs().count(); ++tab) {
        QVERIFY(!mnemonicOf(window.tabs().tabText(tab)).isNull());
        window.tabs().setCurrentIndex(tab);
        std::set<QChar> titles;
        std::set<QChar> captions;
        constexpr std::array families{DistributionKind::T, DistributionKind::F,
                                      DistributionKind::ChiSquare};
        QComboBox& design = window.design(families.at(static_cast<std::size_t>(tab)));
        for (int chosen = 0; chosen < design.count(); ++chosen) {
            design.setCurrentIndex(chosen);
            for (auto* group : window.tabs().widget(tab)->findChildren<EffectGroup*>()) {
                titles.insert(mnemonicOf(group->title()));
                QComboBox* question = group->questionChoice();
                for (int asked = 0; asked < (question != nullptr ? question->count() : 1);
                     ++asked) {
                    if (question != nullptr) {
                        question->setCurrentIndex(asked);
                    }
                    checkShownCaptions(*group, captions);
                }
                if (question != nullptr) {
                    question->setCurrentIndex(0);
                }
                QVERIFY(!mnemonicOf(group->computeButton().text()).isNull());
            }
        }
        QCOMPARE(titles.size(), std::size_t{3});
        for (QChar title : titles) {
            QVERIFY(!captions.contains(title));
        }
        design.setCurrentIndex(0);
    }
    window.tabs().setCurrentIndex(0);

    // A caption repeated in two groups: its letter reaches one field, then the other.
    QTest::keyClick(&window, Qt::Key_A, Qt::AltModifier);
    QWidget* first = QApplication::focusWidget();
    QTest::keyClick(&window, Qt::Key_A, Qt::AltModifier);
    QWidget* second = QApplication::focusWidget();
    const std::set<QWidget*> alphas{
        window.group(DistributionKind::T, EffectQuantity::Power).field(EffectInput::Alpha),
        window.group(DistributionKind::T, EffectQuantity::SampleSize).field(EffectInput::Alpha)};
    QCOMPARE((std::set<QWidget*>{first, second}), alphas);
}

// Every input, choice, button and result explains itself; F1 opens the window's own help page.
void EffectsWindowTest::everyFieldHasAWhatsThisAndF1OpensItsPage() {
    EffectsWindow& window = openWindow();
    for (auto* group : window.findChildren<EffectGroup*>()) {
        for (auto* widget : group->findChildren<QWidget*>()) {
            if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget) ||
                qobject_cast<QPushButton*>(widget)) {
                QVERIFY2(!widget->whatsThis().isEmpty(), qPrintable(group->title()));
            }
        }
    }
    QVERIFY(!window.design(DistributionKind::T).whatsThis().isEmpty());
    // And every text of the window's popup file belongs to one of its widgets.
    std::set<QString> shown;
    for (auto* widget : window.findChildren<QWidget*>()) {
        shown.insert(widget->whatsThis());
    }
    for (const auto& [id, text] : effectsPopupTexts()) {
        QVERIFY2(shown.contains(QString::fromStdString(text)), qPrintable(QString::number(id)));
    }

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    QVERIFY(help_->isVisible());
    QCOMPARE(help_->page().source().fileName(), QStringLiteral("effects.html"));
    QVERIFY(help_->page().toPlainText().contains(QStringLiteral("Effect Size and Power")));
}

// The lead's plot goes into sideBySide(): it shows at the right of the tabs.
void EffectsWindowTest::aWidgetAddedBesideTheTabsShowsToTheirRight() {
    EffectsWindow& window = openWindow();
    auto* beside = new QLabel(QStringLiteral("plot"));
    window.sideBySide().addWidget(beside);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QApplication::processEvents();
    QVERIFY(beside->isVisible());
    QVERIFY(beside->geometry().left() >= window.tabs().geometry().right());
}

// Run under the sanitize preset too: a hundred openings and closings of one window, then a
// hundred windows made, used and destroyed with their dialog.
void EffectsWindowTest::opensAndClosesAHundredTimes() {
    EffectsWindow& window = openWindow();
    for (int round = 0; round < 100; ++round) {
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        QCOMPARE(&openWindow(), &window);
    }
    for (int round = 0; round < 100; ++round) {
        cleanup();
        init();
        EffectsWindow& fresh = openWindow();
        QTest::keyClick(&fresh, Qt::Key_Return);
        QCOMPARE(listener_.heard.size(), std::size_t{1});
        QTest::keyClick(&fresh, Qt::Key_Escape);
        QVERIFY(!fresh.isVisible());
    }
}

// A history row put back into the window (its tab, design, measure, sides and inputs) computes
// again to the numbers of the request itself.
void EffectsWindowTest::aRestoredRequestComputesAgainToTheSameNumbers() {
    const EffectRequest requests[] = {
        {.distribution = DistributionKind::T,
         .quantity = EffectQuantity::Power,
         .effect = 0.45,
         .n = 31,
         .alpha = 0.01,
         .sides = 1},
        {.distribution = DistributionKind::F,
         .quantity = EffectQuantity::Estimate,
         .measure = EffectMeasure::PartialEtaSquared,
         .value = 4.2,
         .df1 = 3,
         .df2 = 57,
         .confidence = 0.9},
        {.distribution = DistributionKind::ChiSquare,
         .quantity = EffectQuantity::SampleSize,
         .effect = 0.25,
         .df1 = 3,
         .alpha = 0.01,
         .power = 0.9},
        {.distribution = DistributionKind::T,
         .quantity = EffectQuantity::SampleSize,
         .effect = 0.6,
         .power = 0.85,
         .twoSample = false},
    };
    EffectsWindow& window = openWindow();
    std::vector<EffectRequest> all(std::begin(requests), std::end(requests));
    // Designs and questions, read from the texts a history row holds.
    using enum EffectInput;
    const std::vector<std::tuple<DistributionKind, const char*, EffectTexts>> designed{
        {DistributionKind::F,
         "sensitivity",
         {{Design, "rm-within"}, {Groups, "2"}, {Measurements, "4"}, {Correlation, "0.6"},
          {Epsilon, "0.75"}, {N, "40"}, {Power, "0.8"}}},
        {DistributionKind::F,
         "power",
         {{Design, "r2-change"}, {Predictors, "5"}, {Tested, "2"}, {R2, "0.2"},
          {R2Reduced, "0.1"}, {N, "80"}}},
        // Given by f², shown as its R².
        {DistributionKind::F,
         "sample-size",
         {{Design, "regression"}, {Predictors, "4"}, {Effect, "0.15"}, {Power, "0.9"}}},
        {DistributionKind::T,
         "sample-size",
         {{Design, "equivalence"}, {Groups, "1"}, {Effect, "0.1"}, {Margin, "0.4"},
          {Power, "0.9"}}},
        {DistributionKind::T,
         "power",
         {{Design, "equivalence"}, {N1, "25"}, {N2, "35"}, {Effect, "0"}, {Margin, "0.6"}}},
        {DistributionKind::ChiSquare,
         "compromise",
         {{Design, "rmsea"}, {Df1, "20"}, {Rmsea0, "0.05"}, {Rmsea1, "0.1"}, {N, "150"},
          {Ratio, "2"}}},
        {DistributionKind::T, "criterion", {{Effect, "0.4"}, {N, "30"}, {Sides, "1"}, {Power, "0.8"}}},
    };
    for (const auto& [family, name, texts] : designed) {
        const auto built = effectRequestFrom(*effectCommandNamed(family, name), texts,
                                             [](EffectInput input) {
                                                 return std::string(effectInputName(input));
                                             });
        const std::string* problem = std::get_if<std::string>(&built);
        QVERIFY2(problem == nullptr, problem != nullptr ? problem->c_str() : "");
        all.push_back(std::get<EffectRequest>(built));
    }
    for (const EffectRequest& request : all) {
        QVERIFY(window.restore(request));
        EffectGroup& restored = window.currentGroup();
        QCOMPARE(&restored, &window.group(request.distribution, request.quantity));
        QVERIFY(restored.results().front()->text().isEmpty());
        if (request.quantity != EffectQuantity::Estimate) {
            QCOMPARE(window.chosenDesign(request.distribution).design, request.design);
        }
        restored.compute();
        RecordingReporter expectedReporter;
        Calculators expectedCalculators(expectedReporter);
        const EffectOutcome outcome = computeEffect(expectedCalculators, request);
        QVERIFY(!outcome.failed);
        QStringList expected;
        for (const std::string& number : effectOutputNumbers(request, outcome)) {
            expected << QString::fromStdString(number);
        }
        QCOMPARE(wholeNumbers(restored), expected);
        const std::string formula = designFormula(request);
        QCOMPARE(restored.formula().text().toStdString(),
                 formula.empty() ? formula : "Design: " + formula);
    }
    QVERIFY(reporter_.messages.empty());

    // A not-close-fit sensitivity searches RMSEA1 below RMSEA0, which the window does not.
    EffectRequest notClose = all.back();
    notClose.distribution = DistributionKind::ChiSquare;
    notClose.design = StudyDesign::Rmsea;
    notClose.question = PowerQuestion::Sensitivity;
    notClose.alternative = Alternative::Less;
    window.tabs().setCurrentIndex(0);
    QVERIFY(!window.restore(notClose));
    QCOMPARE(window.tabs().currentIndex(), 0);
}

// Keys choose the one-way ANOVA and compute its sample size: Cohen's k = 4, f = .25 (f² =
// .0625), power .8 needs 45 per group by his tables; the exact total is 179.
void EffectsWindowTest::aDesignChosenByKeysComputesWithItsFormula() {
    EffectsWindow& window = openWindow();
    QTest::keyClick(&window, Qt::Key_F, Qt::AltModifier);
    QTest::keyClick(&window, Qt::Key_G, Qt::AltModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(window.chosenDesign(DistributionKind::F).design, StudyDesign::Anova);
    runSteps(window, Qt::Key_F, Qt::Key_S, {"0.0625", "4", "0.8", "0.05"});
    EffectGroup& sampleSize = window.group(DistributionKind::F, EffectQuantity::SampleSize);
    QCOMPARE(sampleSize.status().text(), QStringLiteral("Finished"));
    QCOMPARE(shownNumbers(sampleSize).front(), QStringLiteral("179"));
    QCOMPARE(sampleSize.formula().text(),
             QStringLiteral("Design: lambda = f2*N, Df1 = K - 1 = 3, Df2 = N - K (K = 4, N total)"));
    QVERIFY(sampleSize.formula().isVisible());
    QVERIFY(!window.group(DistributionKind::F, EffectQuantity::Estimate).formula().isVisible());
    const EffectRequest& heard = listener_.heard.back().first;
    QCOMPARE(std::tuple(heard.design, heard.groups, heard.effect),
             std::tuple(StudyDesign::Anova, 4, 0.0625));
}

QTEST_MAIN(EffectsWindowTest)

#include "effects_window_test.moc"
