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

// One study design a tab offers: its caption, the design and, for t, its samples.
struct EffectsDesignOption {
    const char* caption;
    StudyDesign design;
    bool twoGroups;
};

// One tab: its family, caption, its designs, the estimate's measures (a choice where there are
// several), and the inputs of its three groups in the order shown.
struct EffectsTabFields {
    DistributionKind distribution;
    const char* caption;
    std::vector<EffectsDesignOption> designs;
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
constexpr std::uint32_t kQuestion = 24;
constexpr std::uint32_t kGroups = 25;
constexpr std::uint32_t kCells = 26;
constexpr std::uint32_t kCovariates = 27;
constexpr std::uint32_t kMeasurements = 28;
constexpr std::uint32_t kCorrelation = 29;
constexpr std::uint32_t kEpsilon = 30;
constexpr std::uint32_t kPredictors = 31;
constexpr std::uint32_t kTested = 32;
constexpr std::uint32_t kR2 = 33;
constexpr std::uint32_t kMargin = 34;
constexpr std::uint32_t kRmsea = 35;
constexpr std::uint32_t kRatio = 36;
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

// The inputs of the study designs, each shown only under the designs that read it; captions
// shown together have distinct mnemonics.
constexpr EffectField kGroups{Groups,          QT_TR_NOOP("Gro&ups:"), 3, 1, kLargestWhole, true,
                              popup::kGroups};
constexpr EffectField kCells{Cells,          QT_TR_NOOP("Ce&lls:"), 6, 2, kLargestWhole, true,
                             popup::kCells};
constexpr EffectField kCovariates{Covariates, QT_TR_NOOP("Co&variates:"), 1, 0, kLargestWhole,
                                  true,       popup::kCovariates};
constexpr EffectField kMeasurements{Measurements, QT_TR_NOOP("&Measurements:"), 3, 2, kLargestWhole,
                                    true,         popup::kMeasurements};
constexpr EffectField kCorrelation{Correlation, QT_TR_NOOP("Correlat&ion:"), 0.5, -1.0, 1.0,
                                   false,       popup::kCorrelation};
constexpr EffectField kEpsilon{Epsilon, QT_TR_NOOP("Epsilon (&Df correction):"), 1.0, 0.0, 1.0,
                               false,   popup::kEpsilon};
constexpr EffectField kPredictors{Predictors, QT_TR_NOOP("Num&ber of predictors:"), 5, 1,
                                  kLargestWhole, true, popup::kPredictors};
constexpr EffectField kTested{Tested, QT_TR_NOOP("Tested pred&ictors:"), 2, 1, kLargestWhole, true,
                              popup::kTested};
constexpr EffectField kR2{R2, QT_TR_NOOP("R² of the f&ull model:"), 0.13, 0.0, 1.0, false,
                          popup::kR2};
constexpr EffectField kR2Reduced{R2Reduced, QT_TR_NOOP("R² of the re&duced model:"), 0.05, 0.0, 1.0,
                                 false,     popup::kR2};
constexpr EffectField kMargin{Margin, QT_TR_NOOP("Equivalence &margin:"), 0.5, 0.0, kAnyNumber,
                              false,  popup::kMargin};
constexpr EffectField kRmsea0{Rmsea0, QT_TR_NOOP("RMSEA&0 of the null:"), 0.05, 0.0, kAnyNumber,
                              false,  popup::kRmsea};
constexpr EffectField kRmsea1{Rmsea1, QT_TR_NOOP("RMSEA&1 of the model:"), 0.08, 0.0, kAnyNumber,
                              false,  popup::kRmsea};
constexpr EffectField kRatio{Ratio, QT_TR_NOOP("&Ratio beta/alpha:"), 1.0, 0.0, kAnyNumber, false,
                             popup::kRatio};

// The questions of a power group, in the order shown.
const std::vector<EffectMeasureOption> kQuestions{
    {"power", QT_TR_NOOP("Power")},
    {"sensitivity", QT_TR_NOOP("Sensitivity: the smallest effect")},
    {"criterion", QT_TR_NOOP("Criterion: the alpha")},
    {"compromise", QT_TR_NOOP("Compromise: alpha and power")},
};

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
         {{QT_TR_NOOP("Two groups"), StudyDesign::Basic, true},
          {QT_TR_NOOP("One sample or paired"), StudyDesign::Basic, false},
          {QT_TR_NOOP("Equivalence (two one-sided tests), two groups"), StudyDesign::Equivalence,
           true},
          {QT_TR_NOOP("Equivalence (two one-sided tests), one sample or paired"),
           StudyDesign::Equivalence, false}},
         {{"d", QT_TR_NOOP("Cohen's d")}, {"g", QT_TR_NOOP("Hedges' g")}},
         popup::kTMeasure,
         true,
         {{Value, QT_TR_NOOP("T &value:"), 2.0, -kAnyNumber, kAnyNumber, false, popup::kValue},
          kTN,
          kTN1,
          kTN2,
          kConfidenceField},
         {d, kTN, kTN1, kTN2, kMargin, kTargetPowerField, kRatio, kAlphaField},
         {d, kMargin, kTargetPowerField, kAlphaField}},
        {DistributionKind::F,
         QT_TR_NOOP("&F: partial eta², f², omega², epsilon²"),
         {{QT_TR_NOOP("Df as given"), StudyDesign::Basic, true},
          {QT_TR_NOOP("One-way ANOVA"), StudyDesign::Anova, true},
          {QT_TR_NOOP("Factorial ANOVA: a main effect or interaction"), StudyDesign::Factorial,
           true},
          {QT_TR_NOOP("ANCOVA"), StudyDesign::Ancova, true},
          {QT_TR_NOOP("Repeated measures: within factor"), StudyDesign::RmWithin, true},
          {QT_TR_NOOP("Repeated measures: between factor"), StudyDesign::RmBetween, true},
          {QT_TR_NOOP("Repeated measures: within-between interaction"),
           StudyDesign::RmInteraction, true},
          {QT_TR_NOOP("Multiple regression: R²"), StudyDesign::Regression, true},
          {QT_TR_NOOP("Multiple regression: R² change"), StudyDesign::R2Change, true}},
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
         {f2, kR2, kR2Reduced, kGroups, kCells, kFDf1, kFDf2, kCovariates, kMeasurements,
          kCorrelation, kEpsilon, kPredictors, kTested, kTotalNField, kTargetPowerField, kRatio,
          kAlphaField},
         {f2, kR2, kR2Reduced, kGroups, kCells, kFDf1, kCovariates, kMeasurements, kCorrelation,
          kEpsilon, kPredictors, kTested, kTargetPowerField, kAlphaField}},
        {DistributionKind::ChiSquare,
         QT_TR_NOOP("&Chi-square: RMSEA, w, V"),
         {{QT_TR_NOOP("Cohen's w, Df as given"), StudyDesign::Basic, true},
          {QT_TR_NOOP("Model fit by RMSEA"), StudyDesign::Rmsea, true}},
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
         {w, kRmsea0, kRmsea1, kChiSquareDf, kTotalNField, kTargetPowerField, kRatio, kAlphaField},
         {w, kRmsea0, kRmsea1, kChiSquareDf, kTargetPowerField, kAlphaField}},
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
// A compromise shows alpha and power; the captions follow the question.
const std::vector<const char*> kPowerResults{QT_TR_NOOP("Power:"), QT_TR_NOOP("Power:")};
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

// A tab's page: its three groups one below the other, under the tab's design choice.
QWidget* tabPage(QLayout* choice, const std::array<EffectGroup*, 3>& groups) {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->addLayout(choice);
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

bool EffectsWindow::restore(const EffectRequest& request) {
    // The window searches an RMSEA1 upwards only: close or exact fit.
    if (request.design == StudyDesign::Rmsea && request.question == PowerQuestion::Sensitivity &&
        request.alternative == Alternative::Less) {
        return false;
    }
    const std::size_t tab = indexOf(request.distribution);
    tabs_->setCurrentIndex(static_cast<int>(tab));
    if (request.quantity != EffectQuantity::Estimate || request.distribution == DistributionKind::T) {
        designs_[tab]->setCurrentIndex(designIndexOf(request));
    }
    EffectGroup& restored = group(request.distribution, request.quantity);
    restored.restore(request);
    current_[tab] = &restored;
    show();
    raise();
    activateWindow();
    return true;
}

int EffectsWindow::designIndexOf(const EffectRequest& request) const {
    const bool sampleSize = request.quantity == EffectQuantity::SampleSize;
    const bool twoGroups = request.distribution != DistributionKind::T ||
                           (request.design == StudyDesign::Equivalence
                                ? (sampleSize ? request.groups != 1 : request.n1 > 0)
                                : (sampleSize ? request.twoSample : request.n1 > 0));
    // An estimate keeps the tab's study design and takes only its samples.
    const StudyDesign design = request.quantity == EffectQuantity::Estimate
                                   ? chosenDesign(request.distribution).design
                                   : request.design;
    const std::vector<EffectsDesignOption>& options =
        tabFields().at(indexOf(request.distribution)).designs;
    for (std::size_t index = 0; index < options.size(); ++index) {
        if (options[index].design == design && options[index].twoGroups == twoGroups) {
            return static_cast<int>(index);
        }
    }
    return 0;
}

FormDesign EffectsWindow::chosenDesign(DistributionKind distribution) const {
    const std::size_t tab = indexOf(distribution);
    const EffectsDesignOption& option =
        tabFields().at(tab).designs.at(static_cast<std::size_t>(designs_[tab]->currentIndex()));
    return {option.design, option.twoGroups};
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
    power->addQuestionChoice(QT_TR_NOOP("&Question:"), kQuestions, popup::kQuestion);
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
    return tabPage(makeDesignChoice(fields), groups);
}

// The design above a tab's groups: the t design's samples (N, or N1 and N2) in each of them,
// and the study design's inputs in the power and sample-size groups.
QLayout* EffectsWindow::makeDesignChoice(const EffectsTabFields& fields) {
    const std::size_t tab = indexOf(fields.distribution);
    QComboBox*& box = designs_[tab];
    box = new QComboBox;
    for (const EffectsDesignOption& option : fields.designs) {
        box->addItem(tr(option.caption));
    }
    auto* designLabel = new QLabel(tr("Desi&gn:"));
    designLabel->setBuddy(box);
    designLabel->setWhatsThis(effectsWhatsThis(popup::kDesign));
    box->setWhatsThis(effectsWhatsThis(popup::kDesign));
    auto* choice = new QFormLayout;
    choice->addRow(designLabel, box);
    const std::array<EffectGroup*, 3>& groups = groups_[tab];
    const std::vector<EffectsDesignOption>& options = fields.designs;
    const auto choose = [&groups, &options](int index) {
        const EffectsDesignOption& option = options.at(static_cast<std::size_t>(index));
        for (EffectGroup* group : groups) {
            group->setDesign({option.design, option.twoGroups});
        }
    };
    connect(box, &QComboBox::currentIndexChanged, this, choose);
    choose(0);
    return choice;
}

QComboBox& EffectsWindow::design(DistributionKind distribution) const {
    return *designs_[indexOf(distribution)];
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
