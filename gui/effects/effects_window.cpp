#include "gui/effects/effects_window.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <climits>

#include "gui/effects/effect_group.h"
#include "gui/effects/power_protocol.h"
#include "gui/help/help_window.h"
#include "gui/help/program_resources.h"
#include "gui/plot/plot_pane.h"
#include "gui/plot/plot_scene.h"
#include "gui/plot/power_curve.h"
#include "gui/plot/power_plot.h"
#include "numerics/foundations/confidence_range.h"

namespace quorvel {

// One tab: its family, caption, the estimate's measures (a choice where there are several),
// and the inputs of its three groups in the order shown.
struct EffectsTabFields {
    DistributionKind distribution;
    const char* caption;
    std::vector<EffectMeasureOption> measures;
    std::uint32_t measurePopup;
    // The t tab's measure follows its inputs, so that the group's mnemonic still reaches the
    // T value first.
    bool measureAfterInputs;
    std::vector<EffectField> estimate;
    std::vector<EffectField> power;
    std::vector<EffectField> sampleSize;
};

namespace {

using enum EffectInput;

// What's This texts of the window's fields in their popup file.
namespace popup {
constexpr std::uint32_t kDesign = 1;
constexpr std::uint32_t kValue = 2;
constexpr std::uint32_t kN = 3;
constexpr std::uint32_t kGroupSizes = 4;
constexpr std::uint32_t kConfidence = 5;
constexpr std::uint32_t kEstimate = 6;
constexpr std::uint32_t kEffect = 7;
constexpr std::uint32_t kAlpha = 8;
constexpr std::uint32_t kSides = 9;
constexpr std::uint32_t kPower = 10;
constexpr std::uint32_t kTargetPower = 11;
constexpr std::uint32_t kSampleSize = 12;
constexpr std::uint32_t kFMeasure = 13;
constexpr std::uint32_t kChiSquareMeasure = 14;
constexpr std::uint32_t kDf1 = 15;
constexpr std::uint32_t kDf2 = 16;
constexpr std::uint32_t kDf = 17;
constexpr std::uint32_t kTMeasure = 18;
constexpr std::uint32_t kTable = 19;
constexpr std::uint32_t kAlternative = 20;
constexpr std::uint32_t kPicture = 21;
constexpr std::uint32_t kSavePoints = 22;
constexpr std::uint32_t kCopyProtocol = 23;
}  // namespace popup

constexpr const char* kHelpPage = "effects.html";
constexpr double kAnyNumber = 1e300;
constexpr double kLargestWhole = INT_MAX;

// The fields every family shares.
constexpr EffectField kConfidenceField{Confidence,
                                       QT_TR_NOOP("Confidence &level:"),
                                       0.95,
                                       kSmallestConfidence,
                                       kLargestConfidence,
                                       false,
                                       popup::kConfidence};
constexpr EffectField kAlphaField{Alpha, QT_TR_NOOP("&Alpha:"), 0.05, 0.0001, 0.5,
                                  false, popup::kAlpha};
constexpr EffectField kTargetPowerField{Power, QT_TR_NOOP("Ta&rget power:"), 0.80, 0.0001, 0.9999,
                                        false, popup::kTargetPower};
constexpr EffectField kTotalNField{N, QT_TR_NOOP("&N:"), 100, 2, kLargestWhole, true, popup::kN};

constexpr EffectField kTN{N, QT_TR_NOOP("&N:"), 20, 2, kLargestWhole, true, popup::kN};
constexpr EffectField kTN1{N1, QT_TR_NOOP("N&1:"), 20, 1, kLargestWhole, true, popup::kGroupSizes};
constexpr EffectField kTN2{N2, QT_TR_NOOP("N&2:"), 20, 1, kLargestWhole, true, popup::kGroupSizes};
constexpr EffectField kFDf1{Df1, QT_TR_NOOP("Df&1:"), 3, 1, kLargestWhole, true, popup::kDf1};
constexpr EffectField kFDf2{Df2, QT_TR_NOOP("Df&2:"), 40, 1, kLargestWhole, true, popup::kDf2};
constexpr EffectField kChiSquareDf{Df1, QT_TR_NOOP("&Df:"), 4, 1, kLargestWhole, true, popup::kDf};
constexpr EffectField kRows{Rows, QT_TR_NOOP("Table ro&ws:"), 2, 2, kLargestWhole, true,
                            popup::kTable};
constexpr EffectField kCols{Cols, QT_TR_NOOP("Ta&ble columns:"), 2, 2, kLargestWhole, true,
                            popup::kTable};

// t, F and chi-square, in the order of the tabs.
const std::vector<EffectsTabFields>& tabFields() {
    constexpr EffectField d{
        Effect, QT_TR_NOOP("Effect si&ze d:"), 0.5, -kAnyNumber, kAnyNumber, false, popup::kEffect};
    constexpr EffectField f2{
        Effect, QT_TR_NOOP("Effect si&ze f²:"), 0.15, 0.0, kAnyNumber, false, popup::kEffect};
    constexpr EffectField w{
        Effect, QT_TR_NOOP("Effect si&ze w:"), 0.3, 0.0, kAnyNumber, false, popup::kEffect};
    static const std::vector<EffectsTabFields> tabs{
        {DistributionKind::T,
         QT_TR_NOOP("&t: d, g"),
         {{"d", QT_TR_NOOP("Cohen's d")}, {"g", QT_TR_NOOP("Hedges' g")}},
         popup::kTMeasure,
         true,
         {{Value, QT_TR_NOOP("T &value:"), 2.0, -kAnyNumber, kAnyNumber, false, popup::kValue},
          kTN,
          kTN1,
          kTN2,
          kConfidenceField},
         {d, kTN, kTN1, kTN2, kAlphaField},
         {d, kTargetPowerField, kAlphaField}},
        {DistributionKind::F,
         QT_TR_NOOP("&F: partial eta², f², omega², epsilon²"),
         {{"eta2", QT_TR_NOOP("Partial eta²")},
          {"f2", QT_TR_NOOP("Cohen's f²")},
          {"omega2", QT_TR_NOOP("Partial omega²")},
          {"epsilon2", QT_TR_NOOP("Partial epsilon²")}},
         popup::kFMeasure,
         false,
         {{Value, QT_TR_NOOP("F &value:"), 3.0, 0.0, kAnyNumber, false, popup::kValue},
          kFDf1,
          kFDf2,
          kConfidenceField},
         {f2, kFDf1, kFDf2, kAlphaField},
         {f2, kFDf1, kTargetPowerField, kAlphaField}},
        {DistributionKind::ChiSquare,
         QT_TR_NOOP("&Chi-square: RMSEA, w, V"),
         {{"rmsea", QT_TR_NOOP("RMSEA")},
          {"w", QT_TR_NOOP("Cohen's w")},
          {"v", QT_TR_NOOP("Cramér's V")}},
         popup::kChiSquareMeasure,
         false,
         {{Value, QT_TR_NOOP("Chi-square &value:"), 10.0, 0.0, kAnyNumber, false, popup::kValue},
          kChiSquareDf,
          kRows,
          kCols,
          kTotalNField,
          kConfidenceField},
         {w, kChiSquareDf, kTotalNField, kAlphaField},
         {w, kChiSquareDf, kTargetPowerField, kAlphaField}},
    };
    return tabs;
}

constexpr const char* kPlotPrompt =
    QT_TR_NOOP("Compute a power or a sample size, and its picture appears here.");
// The choices of the plot, in the order of PowerPicture.
const std::vector<const char*> kPictures{QT_TR_NOOP("Densities, power shaded"),
                                         QT_TR_NOOP("Power against N"),
                                         QT_TR_NOOP("Power against the effect size")};
constexpr const char* kEstimateGroup = QT_TR_NOOP("&Effect size and confidence interval");
constexpr const char* kPowerGroup = QT_TR_NOOP("&Power");
constexpr const char* kSampleSizeGroup = QT_TR_NOOP("&Sample size");
constexpr const char* kComputeInterval = QT_TR_NOOP("Compute &interval");
constexpr const char* kComputePower = QT_TR_NOOP("Compute po&wer");
constexpr const char* kComputeSampleSize = QT_TR_NOOP("Compute sa&mple size");
const std::vector<const char*> kEstimateResults{QT_TR_NOOP("Estimate:"), QT_TR_NOOP("Lower limit:"),
                                                QT_TR_NOOP("Upper limit:")};
const std::vector<const char*> kPowerResults{QT_TR_NOOP("Power:")};
const std::vector<const char*> kSampleSizeResults{QT_TR_NOOP("N:"), QT_TR_NOOP("Power reached:")};

constexpr std::size_t indexOf(DistributionKind distribution) {
    switch (distribution) {
        case DistributionKind::T:
            return 0;
        case DistributionKind::F:
            return 1;
        case DistributionKind::ChiSquare:
            break;
    }
    return 2;
}

constexpr std::size_t indexOf(EffectQuantity quantity) {
    switch (quantity) {
        case EffectQuantity::Estimate:
            return 0;
        case EffectQuantity::Power:
            return 1;
        case EffectQuantity::SampleSize:
            break;
    }
    return 2;
}

// A tab's page: its three groups one below the other, under the tab's own choice if it has one.
QWidget* tabPage(QLayout* choice, const std::array<EffectGroup*, 3>& groups) {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    if (choice != nullptr) {
        column->addLayout(choice);
    }
    for (EffectGroup* group : groups) {
        column->addWidget(group);
    }
    column->addStretch();
    return page;
}

}  // namespace

EffectsWindow::EffectsWindow(Calculators& calculators, HelpWindow& helpWindow,
                             ComputationListeners& listeners)
    : QWidget(nullptr, Qt::Window),
      calculators_(calculators),
      helpWindow_(helpWindow),
      listeners_(listeners),
      sideBySide_(new QHBoxLayout),
      tabs_(new QTabWidget) {
    setWindowTitle(tr("Effect Size and Power"));
    setWindowIcon(programIcon());

    for (const EffectsTabFields& fields : tabFields()) {
        tabs_->addTab(makeTab(fields, calculators, listeners), tr(fields.caption));
    }
    sideBySide_->addWidget(tabs_);
    sideBySide_->addLayout(makePlotColumn(), 1);
    listeners_.add(*powerPlot_);
    listeners_.add(*this);
    connect(tabs_, &QTabWidget::currentChanged, this,
            [this](int tab) { showPictureOf(static_cast<std::size_t>(tab)); });

    auto* help = new QPushButton(tr("&Help"));
    auto* close = new QPushButton(tr("Cl&ose"));
    connect(help, &QPushButton::clicked, this,
            [this] { helpWindow_.showPage(QString::fromLatin1(kHelpPage)); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(help);
    buttons->addWidget(close);

    auto* column = new QVBoxLayout(this);
    column->addLayout(sideBySide_, 1);
    column->addLayout(buttons);

    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, help, &QPushButton::click);
    auto* whatsThis = new QShortcut(QKeySequence::WhatsThis, this);
    connect(whatsThis, &QShortcut::activated, this, [] { QWhatsThis::enterWhatsThisMode(); });

    for (std::size_t tab = 0; tab < groups_.size(); ++tab) {
        current_[tab] = groups_[tab][0];
    }
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this,
                          [this](QWidget* /*old*/, QWidget* now) { followFocus(now); });
}

// The focus moves while the children are destroyed, after this object has ceased to be an
// EffectsWindow: the watch ends first.
EffectsWindow::~EffectsWindow() {
    disconnect(focusWatch_);
    listeners_.remove(*this);
    listeners_.remove(*powerPlot_);
}

void EffectsWindow::effectComputed(const EffectRequest& request, const EffectOutcome& outcome) {
    if (request.quantity != EffectQuantity::Estimate) {
        pictured_[indexOf(request.distribution)] = Pictured{request, outcome};
        updatePlotButtons();
    }
}

// The plot shows the tab's own last power picture, or the prompt: never another tab's.
void EffectsWindow::showPictureOf(std::size_t tab) {
    if (const std::optional<Pictured>& last = pictured_.at(tab)) {
        powerPlot_->show(last->request, last->outcome);
    } else {
        PlotScene prompt;
        prompt.title = tr(kPlotPrompt).toStdString();
        powerPlot_->showEmpty(prompt);
    }
    updatePlotButtons();
}

// The plot under its choice of picture, the save and copy buttons beside the choice.
QLayout* EffectsWindow::makePlotColumn() {
    plot_ = new PlotPane(tr(kPlotPrompt));
    powerPlot_ = std::make_unique<PowerPlot>(calculators_, *plot_);
    pictureChoice_ = new QComboBox;
    for (const char* picture : kPictures) {
        pictureChoice_->addItem(tr(picture));
    }
    auto* pictureLabel = new QLabel(tr("Plot &kind:"));
    pictureLabel->setBuddy(pictureChoice_);
    pictureLabel->setWhatsThis(effectsWhatsThis(popup::kPicture));
    pictureChoice_->setWhatsThis(effectsWhatsThis(popup::kPicture));
    connect(pictureChoice_, &QComboBox::currentIndexChanged, this, [this](int index) {
        powerPlot_->choose(static_cast<PowerPicture>(index));
        updatePlotButtons();
    });
    savePoints_ = new QPushButton(tr("E&xport points as CSV..."));
    savePoints_->setWhatsThis(effectsWhatsThis(popup::kSavePoints));
    connect(savePoints_, &QPushButton::clicked, this, &EffectsWindow::savePointsWithDialog);
    copyProtocol_ = new QPushButton(tr("Cop&y protocol"));
    copyProtocol_->setWhatsThis(effectsWhatsThis(popup::kCopyProtocol));
    connect(copyProtocol_, &QPushButton::clicked, this, &EffectsWindow::copyProtocol);
    auto* choice = new QHBoxLayout;
    choice->addWidget(pictureLabel);
    choice->addWidget(pictureChoice_, 1);
    choice->addWidget(savePoints_);
    choice->addWidget(copyProtocol_);
    auto* column = new QVBoxLayout;
    column->addLayout(choice);
    column->addWidget(plot_, 1);
    updatePlotButtons();
    return column;
}

// Saving needs a curve with points, copying a computation of the tab.
void EffectsWindow::updatePlotButtons() {
    const std::optional<PowerCurve>& curve = powerPlot_->curve();
    savePoints_->setEnabled(curve && curve->failure.empty());
    copyProtocol_->setEnabled(
        pictured_.at(static_cast<std::size_t>(tabs_->currentIndex())).has_value());
}

bool EffectsWindow::savePoints(const QString& path) const {
    const std::optional<PowerCurve>& curve = powerPlot_->curve();
    if (!curve || !curve->failure.empty()) {
        return false;
    }
    const std::string text = powerCurveCsv(*curve);
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(text.data(), static_cast<qint64>(text.size())) ==
               static_cast<qint64>(text.size()) &&
           file.commit();
}

void EffectsWindow::savePointsWithDialog() {
    QString path = QFileDialog::getSaveFileName(this, tr("Save Curve Points"), QString(),
                                                tr("CSV files (*.csv)"));
    if (path.isEmpty()) {
        return;
    }
    if (!path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) {
        path += QStringLiteral(".csv");
    }
    if (!savePoints(path)) {
        QMessageBox::warning(this, QCoreApplication::applicationName(),
                             tr("The points could not be written to %1.").arg(path));
    }
}

void EffectsWindow::copyProtocol() {
    const std::size_t tab = static_cast<std::size_t>(tabs_->currentIndex());
    if (const std::optional<Pictured>& last = pictured_.at(tab)) {
        const std::string text = powerProtocol(calculators_, last->request, last->outcome);
        QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    }
}

void EffectsWindow::restore(const EffectRequest& request) {
    const std::size_t tab = indexOf(request.distribution);
    tabs_->setCurrentIndex(static_cast<int>(tab));
    if (request.distribution == DistributionKind::T) {
        const bool twoGroups = request.quantity == EffectQuantity::SampleSize
                                   ? request.twoSample
                                   : request.n1 > 0;
        tDesign_->setCurrentIndex(twoGroups ? 0 : 1);
    }
    EffectGroup& restored = group(request.distribution, request.quantity);
    restored.restore(request);
    current_[tab] = &restored;
    show();
    raise();
    activateWindow();
}

QWidget* EffectsWindow::makeTab(const EffectsTabFields& fields, Calculators& calculators,
                                ComputationListeners& listeners) {
    const DistributionKind family = fields.distribution;
    // The t test alone takes one or two sides.
    const bool sides = family == DistributionKind::T;
    auto* estimate = new EffectGroup(tr(kEstimateGroup), family, fields.measures.front().command,
                                     calculators, listeners);
    const auto addMeasureChoice = [&] {
        estimate->addMeasureChoice(QT_TR_NOOP("Meas&ure:"), fields.measures, fields.measurePopup);
    };
    if (!fields.measureAfterInputs) {
        addMeasureChoice();
    }
    for (const EffectField& field : fields.estimate) {
        estimate->addField(field);
    }
    estimate->addAlternativeChoice(popup::kAlternative);
    if (fields.measureAfterInputs) {
        addMeasureChoice();
    }
    estimate->addResults(kComputeInterval, kEstimateResults, popup::kEstimate);

    auto* power = new EffectGroup(tr(kPowerGroup), family, "power", calculators, listeners);
    for (const EffectField& field : fields.power) {
        power->addField(field);
    }
    if (sides) {
        power->addSidesChoice(popup::kSides);
    }
    power->addResults(kComputePower, kPowerResults, popup::kPower);

    auto* sampleSize =
        new EffectGroup(tr(kSampleSizeGroup), family, "sample-size", calculators, listeners);
    for (const EffectField& field : fields.sampleSize) {
        sampleSize->addField(field);
    }
    if (sides) {
        sampleSize->addSidesChoice(popup::kSides);
    }
    sampleSize->addResults(kComputeSampleSize, kSampleSizeResults, popup::kSampleSize);

    std::array<EffectGroup*, 3>& groups = groups_[indexOf(family)];
    groups = {estimate, power, sampleSize};
    return tabPage(family == DistributionKind::T ? makeTDesign() : nullptr, groups);
}

// The t design above the t tab's groups: it shows N, or N1 and N2, in each of them.
QLayout* EffectsWindow::makeTDesign() {
    tDesign_ = new QComboBox;
    tDesign_->addItem(tr("Two groups"));
    tDesign_->addItem(tr("One sample or paired"));
    auto* designLabel = new QLabel(tr("Desi&gn:"));
    designLabel->setBuddy(tDesign_);
    designLabel->setWhatsThis(effectsWhatsThis(popup::kDesign));
    tDesign_->setWhatsThis(effectsWhatsThis(popup::kDesign));
    auto* choice = new QFormLayout;
    choice->addRow(designLabel, tDesign_);
    const std::array<EffectGroup*, 3>& groups = groups_[indexOf(DistributionKind::T)];
    connect(tDesign_, &QComboBox::currentIndexChanged, this, [&groups](int index) {
        for (EffectGroup* group : groups) {
            group->setTwoGroups(index == 0);
        }
    });
    for (EffectGroup* group : groups) {
        group->setTwoGroups(true);
    }
    return choice;
}

EffectGroup& EffectsWindow::group(DistributionKind distribution, EffectQuantity quantity) const {
    return *groups_[indexOf(distribution)][indexOf(quantity)];
}

EffectGroup& EffectsWindow::currentGroup() const {
    return *current_[static_cast<std::size_t>(tabs_->currentIndex())];
}

// The group that holds the focus becomes its tab's current group.
void EffectsWindow::followFocus(QWidget* now) {
    for (QWidget* widget = now; widget != nullptr && widget != this;
         widget = widget->parentWidget()) {
        for (std::size_t tab = 0; tab < groups_.size(); ++tab) {
            for (EffectGroup* group : groups_[tab]) {
                if (widget == group) {
                    current_[tab] = group;
                    return;
                }
            }
        }
    }
}

void EffectsWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
                button->click();
            } else {
                currentGroup().compute();
            }
            return;
        case Qt::Key_Escape:
            close();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

}  // namespace quorvel
