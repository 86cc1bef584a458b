#include "gui/plot/plot_pane.h"

#include <QAbstractButton>
#include <QAction>
#include <QAreaSeries>
#include <QChart>
#include <QFile>
#include <QGraphicsSimpleTextItem>
#include <QImage>
#include <QLineSeries>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "gui/dialog/control_ids.h"
#include "gui/help/help_window.h"
#include "gui/main/cmain_dlg.h"
#include "gui/plot/label_placement.h"
#include "model/computation.h"
#include "numerics/calculators.h"
#include "tests/support/recording_reporter.h"

using namespace quorvel;
using namespace quorvel::control;
using quorvel::testing::RecordingReporter;

namespace {

double trapezoid(const QList<QPointF>& points) {
    double area = 0.0;
    for (qsizetype i = 0; i + 1 < points.size(); ++i) {
        area += 0.5 * (points[i].y() + points[i + 1].y()) * (points[i + 1].x() - points[i].x());
    }
    return area;
}

// The series of a chart by what they draw: shaded areas, curves (many points) and marks (a
// vertical line of two points).
struct ChartSeries {
    QList<QAreaSeries*> areas;
    QList<QLineSeries*> curves;
    QList<QLineSeries*> marks;
};

ChartSeries seriesOf(const QChart& chart) {
    ChartSeries found;
    for (QAbstractSeries* series : chart.series()) {
        if (auto* area = qobject_cast<QAreaSeries*>(series)) {
            found.areas << area;
        } else if (auto* line = qobject_cast<QLineSeries*>(series)) {
            const bool vertical = line->count() == 2 && line->at(0).x() == line->at(1).x();
            (vertical ? found.marks : found.curves) << line;
        }
    }
    return found;
}

const int kRadioOfDistribution[] = {kRadioF, kRadioT, kRadioChiSquare};
const int kRadioOfQuantity[] = {kRadioCumP,       kRadioValue,      kRadioNoncentrality,
                                kRadioInterval90, kRadioInterval95, kRadioInterval99};
const double kConfidenceOfQuantity[] = {0.0, 0.0, 0.0, 0.90, 0.95, 0.99};

}  // namespace

class PlotPaneTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();

    void picturesEveryCombination_data();
    void picturesEveryCombination();
    void aFailureClearsThePlotAndSaysWhy();
    void hoveringShowsTheNearestComputedPoint();
    void savesThePictureAsPngAndSvg();
    void theWindowGrowsAndThePlotWithIt();
    void labelsStandClearOfTheLinesAndStayForTinyAreas_data();
    void labelsStandClearOfTheLinesAndStayForTinyAreas();
    void showPlotIsRememberedBetweenRuns();
    void openingAndClosingTheWindowManyTimes();

  private:
    void compute(int distribution, int quantity, const ComputeRequest& inputs);

    QTemporaryDir settingsDir_;
    RecordingReporter reporter_;
    std::unique_ptr<Calculators> calculators_;
    std::unique_ptr<HelpWindow> help_;
    std::unique_ptr<CMainDlg> dialog_;
};

void PlotPaneTest::initTestCase() {
    QVERIFY(settingsDir_.isValid());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir_.path());
}

void PlotPaneTest::init() {
    reporter_.messages.clear();
    calculators_ = std::make_unique<Calculators>(reporter_);
    help_ = std::make_unique<HelpWindow>();
    dialog_ = std::make_unique<CMainDlg>(*calculators_, *help_);
    dialog_->setPlotShown(true);
}

void PlotPaneTest::cleanup() {
    dialog_.reset();
    help_.reset();
    calculators_.reset();
}

// Selects the combination by its radio buttons, types nothing (the fields are set), computes.
void PlotPaneTest::compute(int distribution, int quantity, const ComputeRequest& inputs) {
    qobject_cast<QAbstractButton*>(dialog_->control(kRadioOfDistribution[distribution]))->click();
    qobject_cast<QAbstractButton*>(dialog_->control(kRadioOfQuantity[quantity]))->click();
    dialog_->setValue(kValueField, inputs.value);
    dialog_->setValue(kDf1Field, inputs.df1);
    dialog_->setValue(kDf2Field, inputs.df2);
    if (quantity != 2) {
        dialog_->setValue(kNoncentralityField, inputs.noncentrality);
    }
    if (quantity < 3) {
        dialog_->setValue(kCumPField, inputs.cumP);
    }
    qobject_cast<QAbstractButton*>(dialog_->control(kComputeButton))->click();
}

void PlotPaneTest::picturesEveryCombination_data() {
    QTest::addColumn<int>("distribution");
    QTest::addColumn<int>("quantity");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("df1");
    QTest::addColumn<int>("df2");
    QTest::addColumn<double>("noncentrality");
    QTest::addColumn<double>("cumP");
    const char* distributions[] = {"F", "T", "X2"};
    const char* quantities[] = {"Cum. P", "value", "noncentrality", "90%", "95%", "99%"};
    struct Inputs {
        double value[6];
        int df1;
        int df2;
        double noncentrality;
    };
    // Observed values far enough in the upper tail that every lower limit is above 0.
    const Inputs inputs[] = {
        {{2.0, 0.0, 4.0, 9.0, 9.0, 9.0}, 3, 10, 5.0},
        {{2.0, 0.0, 2.5, 3.0, 3.0, 3.0}, 10, 0, 1.5},
        {{5.0, 0.0, 12.0, 20.0, 20.0, 20.0}, 4, 0, 3.0},
    };
    for (int distribution = 0; distribution < 3; ++distribution) {
        for (int quantity = 0; quantity < 6; ++quantity) {
            const Inputs& row = inputs[distribution];
            QTest::addRow("%s %s", distributions[distribution], quantities[quantity])
                << distribution << quantity << row.value[quantity] << row.df1 << row.df2
                << row.noncentrality << (quantity == 2 ? 0.3 : 0.9);
        }
    }
}

// The plot shows one curve (two for an interval), the answer's x marked, and shaded areas
// whose trapezoid-rule integral over the series' own points is the reported probability.
void PlotPaneTest::picturesEveryCombination() {
    QFETCH(int, distribution);
    QFETCH(int, quantity);
    QFETCH(double, value);
    QFETCH(int, df1);
    QFETCH(int, df2);
    QFETCH(double, noncentrality);
    QFETCH(double, cumP);
    const DistributionKind kinds[] = {DistributionKind::F, DistributionKind::T,
                                      DistributionKind::ChiSquare};
    const QuantityKind quantities[] = {QuantityKind::CumP,          QuantityKind::Value,
                                       QuantityKind::Noncentrality, QuantityKind::Interval,
                                       QuantityKind::Interval,      QuantityKind::Interval};
    const ComputeRequest request{kinds[distribution],
                                 quantities[quantity],
                                 value,
                                 noncentrality,
                                 cumP,
                                 df1,
                                 df2,
                                 kConfidenceOfQuantity[quantity]};
    compute(distribution, quantity, request);
    QVERIFY2(reporter_.messages.empty(),
             qPrintable(
                 QString::fromStdString(reporter_.messages.empty() ? "" : reporter_.messages[0])));
    const ComputeOutcome answer = computeQuantity(*calculators_, request);

    const ChartSeries series = seriesOf(dialog_->plotPane().chart());
    QCOMPARE(series.marks.size(), 1);
    const double marked = series.marks[0]->at(0).x();
    switch (request.quantity) {
        case QuantityKind::Value:
            QCOMPARE(marked, answer.result);
            break;
        default:
            QCOMPARE(marked, value);
            break;
    }
    if (request.quantity != QuantityKind::Interval) {
        QCOMPARE(series.curves.size(), 1);
        QCOMPARE(series.areas.size(), 1);
        const double probability = request.quantity == QuantityKind::CumP ? answer.result : cumP;
        const QList<QPointF> shaded = series.areas[0]->upperSeries()->points();
        QCOMPARE(shaded.last().x(), marked);
        QVERIFY2(
            std::abs(trapezoid(shaded) - probability) < 1e-3,
            qPrintable(QStringLiteral("area %1, P %2").arg(trapezoid(shaded)).arg(probability)));
        if (request.quantity == QuantityKind::Noncentrality) {
            QVERIFY(series.curves[0]->name().endsWith(
                QStringLiteral(" = ") + QString::fromStdString(plotNumber(answer.result))));
        }
        return;
    }
    QCOMPARE(series.curves.size(), 2);
    QCOMPARE(series.areas.size(), 2);
    QVERIFY(series.curves[0]->name().endsWith(QString::fromStdString(plotNumber(answer.lower))));
    QVERIFY(series.curves[1]->name().endsWith(QString::fromStdString(plotNumber(answer.upper))));
    const double tail = (1.0 - request.confidence) / 2.0;
    const QList<QPointF> upperTail = series.areas[0]->upperSeries()->points();
    const QList<QPointF> lowerTail = series.areas[1]->upperSeries()->points();
    QCOMPARE(upperTail.first().x(), marked);
    QCOMPARE(lowerTail.last().x(), marked);
    QVERIFY2(std::abs(trapezoid(upperTail) - tail) < 1e-3,
             qPrintable(QString::number(trapezoid(upperTail))));
    QVERIFY2(std::abs(trapezoid(lowerTail) - tail) < 1e-3,
             qPrintable(QString::number(trapezoid(lowerTail))));
}

void PlotPaneTest::aFailureClearsThePlotAndSaysWhy() {
    compute(0, 0, {DistributionKind::F, QuantityKind::CumP, 2.0, 5.0, 0.9, 3, 10, 0.9});
    QVERIFY(!dialog_->plotPane().chart().series().isEmpty());
    compute(0, 0, {DistributionKind::F, QuantityKind::CumP, 2.0, 5.0, 0.9, 3, 0, 0.9});
    QCOMPARE(reporter_.messages.size(), std::size_t{1});
    QVERIFY(dialog_->plotPane().chart().series().isEmpty());
    QCOMPARE(dialog_->plotPane().titleText(),
             QStringLiteral("No plot: ") + QString::fromStdString(reporter_.messages[0]));
}

void PlotPaneTest::hoveringShowsTheNearestComputedPoint() {
    compute(2, 0, {DistributionKind::ChiSquare, QuantityKind::CumP, 5.0, 3.0, 0.9, 4, 0, 0.9});
    PlotPane& pane = dialog_->plotPane();
    const std::vector<PlotPoint>& points = pane.scene().curves.at(0).points;
    const PlotPoint& chosen = points.at(points.size() / 2);
    pane.hoverAt(0, chosen.x);
    QCOMPARE(pane.hoverText(), QStringLiteral("X2 = %1, density = %2")
                                   .arg(QString::fromStdString(plotNumber(chosen.x)),
                                        QString::fromStdString(plotNumber(chosen.y))));
}

// Saved pictures have the size asked for (1600 x 1200 unless the user picks another), hold the
// drawing and the title, and never the hover readout.
void PlotPaneTest::savesThePictureAsPngAndSvg() {
    compute(1, 4, {DistributionKind::T, QuantityKind::Interval, 3.0, 0.0, 0.9, 10, 0, 0.95});
    dialog_->show();
    PlotPane& pane = dialog_->plotPane();
    pane.hoverAt(0, 1.0);
    QVERIFY(pane.hoverText().contains(QStringLiteral("density =")));
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("plot.png"));
    const QString wide = dir.filePath(QStringLiteral("wide.png"));
    const QString svg = dir.filePath(QStringLiteral("plot.svg"));
    QVERIFY(pane.savePicture(png));
    QVERIFY(pane.savePicture(wide, QSize(2400, 1000)));
    QVERIFY(pane.savePicture(svg));
    QCOMPARE(QImage(png).size(), QSize(1600, 1200));
    const QImage image(wide);
    QCOMPARE(image.size(), QSize(2400, 1000));
    // The curves are drawn: many pixels of the first curve's colour.
    int curvePixels = 0;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            const QColor c = image.pixelColor(x, y);
            curvePixels +=
                std::abs(c.red() - 0x1f) + std::abs(c.green() - 0x5f) + std::abs(c.blue() - 0xa8) <
                        60
                    ? 1
                    : 0;
        }
    }
    QVERIFY2(curvePixels > 200, qPrintable(QString::number(curvePixels)));
    QFile drawing(svg);
    QVERIFY(drawing.open(QIODevice::ReadOnly));
    const QByteArray text = drawing.readAll();
    QVERIFY(text.contains("<svg"));
    QVERIFY(text.contains("<path"));
    QVERIFY(text.contains("viewBox=\"0 0 800 600\""));  // laid out at 800 wide, scaled
    QVERIFY(text.contains("limits for Delta"));
    QVERIFY(!text.contains("density ="));
    QVERIFY(!pane.savePicture(dir.filePath(QStringLiteral("missing/plot.png"))));
}

// The window can be enlarged, and the plot grows with it.
void PlotPaneTest::theWindowGrowsAndThePlotWithIt() {
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
    const QSize before = dialog_->size();
    const int paneBefore = dialog_->plotPane().width();
    dialog_->resize(before + QSize(300, 200));
    QTRY_COMPARE(dialog_->size(), before + QSize(300, 200));
    QCOMPARE(dialog_->plotPane().width(), paneBefore + 300);
    QCOMPARE(dialog_->plotPane().height(), dialog_->height());
    QCOMPARE(dialog_->plotPane().geometry().right(), dialog_->width() - 1);
}

// Each probability label is shown inside the plot, clear of the curves and the mark, also for
// an area too thin to see (P about 1e-13) and beside the pole of F(1, 1).
void PlotPaneTest::labelsStandClearOfTheLinesAndStayForTinyAreas_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("df1");
    QTest::addColumn<int>("df2");
    QTest::newRow("F(1, 1) at 3") << 3.0 << 1 << 1;
    QTest::newRow("F(10, 10) at 0.001") << 0.001 << 10 << 10;
    QTest::newRow("F(10, 10) at 30") << 30.0 << 10 << 10;
}

void PlotPaneTest::labelsStandClearOfTheLinesAndStayForTinyAreas() {
    QFETCH(double, value);
    QFETCH(int, df1);
    QFETCH(int, df2);
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
    compute(0, 0, {DistributionKind::F, QuantityKind::CumP, value, 0.0, 0.5, df1, df2, 0.95});
    QVERIFY(reporter_.messages.empty());
    QChart& chart = dialog_->plotPane().chart();
    QCoreApplication::processEvents();
    std::vector<std::vector<PixelPoint>> lines;
    for (const PlotCurve& curve : dialog_->plotPane().scene().curves) {
        auto& line = lines.emplace_back();
        for (const PlotPoint& point : curve.points) {
            const QPointF at = chart.mapToPosition(QPointF(point.x, point.y));
            line.push_back({at.x(), at.y()});
        }
    }
    const QPointF foot = chart.mapToPosition(QPointF(value, 0.0));
    lines.push_back({{foot.x(), foot.y()}, {foot.x(), chart.plotArea().top()}});
    int labels = 0;
    for (QGraphicsItem* item : chart.childItems()) {
        auto* label = qgraphicsitem_cast<QGraphicsSimpleTextItem*>(item);
        if (label == nullptr || !label->text().startsWith(QStringLiteral("P = "))) {
            continue;
        }
        ++labels;
        QVERIFY(label->isVisible());
        const QRectF box = label->mapRectToParent(label->boundingRect());
        QVERIFY2(chart.plotArea().contains(box), qPrintable(label->text()));
        for (const auto& line : lines) {
            QVERIFY2(!touches({box.left(), box.top(), box.width(), box.height()}, line, 1.0),
                     qPrintable(label->text()));
        }
    }
    QCOMPARE(labels, 1);
    const QString title = dialog_->plotPane().titleText();
    QVERIFY2(title.contains(QStringLiteral("P(F <= ")) && title.contains(QStringLiteral("P(F > ")),
             qPrintable(title));
}

// "Show Plot" in the menu hides the pane and shrinks the window to the template; a new window
// (a restart) starts the way the user left it.
void PlotPaneTest::showPlotIsRememberedBetweenRuns() {
    QAction* showPlot = nullptr;
    for (QAction* action : dialog_->contextMenu().actions()) {
        if (action->text() == QStringLiteral("Show &Plot")) {
            showPlot = action;
        }
    }
    QVERIFY(showPlot != nullptr);
    QVERIFY(showPlot->isCheckable() && showPlot->isChecked());
    const QSize withPlot = dialog_->size();
    showPlot->trigger();
    QVERIFY(!dialog_->isPlotShown());
    const QSize withoutPlot = dialog_->size();
    QVERIFY(withoutPlot.width() < withPlot.width());

    dialog_ = std::make_unique<CMainDlg>(*calculators_, *help_);
    QVERIFY(!dialog_->isPlotShown());
    QCOMPARE(dialog_->size(), withoutPlot);
    for (QAction* action : dialog_->contextMenu().actions()) {
        if (action->text() == QStringLiteral("Show &Plot")) {
            QVERIFY(!action->isChecked());
            action->trigger();
        }
    }
    dialog_ = std::make_unique<CMainDlg>(*calculators_, *help_);
    QVERIFY(dialog_->isPlotShown());
    QCOMPARE(dialog_->size(), withPlot);
}

// Run under AddressSanitizer, this shows that a window with a drawn plot leaks nothing.
void PlotPaneTest::openingAndClosingTheWindowManyTimes() {
    for (int run = 0; run < 100; ++run) {
        auto dialog = std::make_unique<CMainDlg>(*calculators_, *help_);
        dialog->setPlotShown(true);
        dialog->show();
        if (run % 20 == 0) {
            qobject_cast<QAbstractButton*>(dialog->control(kComputeButton))->click();
            QVERIFY(!dialog->plotPane().chart().series().isEmpty());
        }
        dialog->close();
    }
}

QTEST_MAIN(PlotPaneTest)
#include "plot_pane_test.moc"
