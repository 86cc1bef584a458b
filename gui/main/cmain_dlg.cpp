#include "gui/main/cmain_dlg.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QWhatsThis>
#include <algorithm>
#include <array>

#include "gui/app/cabout_dlg.h"
#include "gui/dialog/control_ids.h"
#include "gui/effects/effects_window.h"
#include "gui/help/help_window.h"
#include "gui/help/program_resources.h"
#include "gui/plot/plot_pane.h"
#include "gui/plot/plot_setting.h"
#include "gui/widgets/chighlight_button.h"
#include "gui/widgets/cnum_edit.h"
#include "gui/widgets/cnum_spin_ctrl.h"
#include "numerics/calculators.h"

namespace quorvel {

namespace {

using namespace control;

// A numeric field with its spin button, in the order in which they are set up, and the
// default, range and decimals its own initialisation gives it.
struct SpinField {
    int spin;
    int field;
    double value;
    double min;
    double max;
    bool integer;
};

constexpr std::array<SpinField, 5> kSpinFields{{
    {kValueSpin, kValueField, 1.0, 0.0, 10000.0, false},
    {kDf1Spin, kDf1Field, 1.0, 1.0, 10000.0, true},
    {kDf2Spin, kDf2Field, 1.0, 1.0, 10000.0, true},
    {kNoncentralitySpin, kNoncentralityField, 0.0, 0.0, 10000.0, false},
    {kCumPSpin, kCumPField, 0.95, 0.0, 1.0, false},
}};
constexpr double kSpinRange = 10000.0;
constexpr int kMinDecimals = 2;
constexpr int kMaxDecimals = 6;
// The plot pane beside the template, in pixels; the window grows to its height.
constexpr int kPlotWidth = 560;
constexpr int kPlotHeight = 420;
// The confidence limits hold any number.
constexpr double kLimitRange = 1e300;

struct IntervalCommand {
    int button;
    double confidence;
};

constexpr std::array<IntervalCommand, 3> kIntervalCommands{{
    {kRadioInterval90, 0.90},
    {kRadioInterval95, 0.95},
    {kRadioInterval99, 0.99},
}};

constexpr std::array<int, 6> kLayoutCommands{kRadioF,    kRadioT,     kRadioChiSquare,
                                             kRadioCumP, kRadioValue, kRadioNoncentrality};

}  // namespace

CMainDlg::CMainDlg(Calculators& calculators, HelpWindow& helpWindow, QWidget* parent)
    : QDialog(parent),
      calculators_(calculators),
      helpWindow_(helpWindow),
      controller_(calculators, *this),
      controls_(*this, dialog::mainDialogTemplate(),
                [this](const dialog::ControlTemplate& control, QWidget* parent) {
                    return makeControl(control, parent);
                }) {
    // A window of its own rather than a dialog: window systems make a dialog without an owner
    // transient for a hidden leader window, and taskbars leave transient windows out.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::WindowContextHelpButtonHint);
    setWindowModality(Qt::WindowModal);
    setWindowIcon(programIcon());
    templateSize_ = size();
    setUpPlot();
    buildContextMenu();
    attachContextHelp();
    connectCommands();

    setUpFields();
    controller_.startUp();
}

CMainDlg::~CMainDlg() = default;

QWidget* CMainDlg::makeControl(const dialog::ControlTemplate& control, QWidget* parent) {
    if (control.controlClass == dialog::ControlClass::Edit) {
        auto* edit = new CNumEdit(calculators_.failureValue, parent);
        edit->setChangeListener([this] { controller_.markNeedsCompute(); });
        // The Menu key opens the dialog's menu rather than the field's own.
        edit->installEventFilter(this);
        return edit;
    }
    if (control.id == kComputeButton) {
        return new CHighlightButton(parent);
    }
    return nullptr;
}

void CMainDlg::setUpFields() {
    for (const SpinField& pair : kSpinFields) {
        auto* spin = controls_.widgetAs<CNumSpinCtrl>(pair.spin);
        CNumEdit& edit = field(pair.field);
        spin->SetBuddy(&edit);
        spin->SetRange(-kSpinRange, kSpinRange);
        spin->SetPos(0.0);
        if (pair.integer) {
            edit.Init(static_cast<int>(pair.value), static_cast<int>(pair.min),
                      static_cast<int>(pair.max));
        } else {
            edit.Init(pair.value, pair.min, pair.max, kMinDecimals, kMaxDecimals);
        }
    }
    for (int limit : {kUpperField, kLowerField}) {
        field(limit).Init(0.0, -kLimitRange, kLimitRange, kMinDecimals, kMaxDecimals);
    }
}

void CMainDlg::connectCommands() {
    for (int id : kLayoutCommands) {
        connect(controls_.widgetAs<QAbstractButton>(id), &QAbstractButton::clicked, this,
                [this] { controller_.updateLayout(); });
    }
    for (const IntervalCommand& command : kIntervalCommands) {
        connect(
            controls_.widgetAs<QAbstractButton>(command.button), &QAbstractButton::clicked, this,
            [this, confidence = command.confidence] { controller_.selectInterval(confidence); });
    }
    connect(&computeButton(), &QAbstractButton::clicked, this, [this] { controller_.compute(); });
    connect(controls_.widgetAs<QAbstractButton>(kHelpButton), &QAbstractButton::clicked,
            &helpWindow_, &HelpWindow::showContents);

    // F1 anywhere in the dialog opens the help's contents, never a popup.
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, &helpWindow_, &HelpWindow::showContents);
    auto* whatsThis = new QShortcut(QKeySequence::WhatsThis, this);
    connect(whatsThis, &QShortcut::activated, this, [] { QWhatsThis::enterWhatsThisMode(); });
    auto* effects = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_E), this);
    connect(effects, &QShortcut::activated, this, &CMainDlg::showEffectsWindow);
}

void CMainDlg::attachContextHelp() {
    const dialog::DialogTemplate& dialogTemplate = dialog::mainDialogTemplate();
    for (std::size_t index = 0; index < dialogTemplate.controls.size(); ++index) {
        const auto found = popupTexts().find(dialogTemplate.controls[index].helpId);
        if (dialogTemplate.controls[index].helpId != 0 && found != popupTexts().end()) {
            controls_.widgets()[index]->setWhatsThis(QString::fromStdString(found->second));
        }
    }
}

void CMainDlg::buildContextMenu() {
    contextMenu_ = new QMenu(this);
    // The keys are named in the text only: F1 and Escape already belong to the dialog.
    contextMenu_->addAction(tr("&Help\tF1"), &helpWindow_, &HelpWindow::showContents);
    contextMenu_->addAction(tr("&Close\tEsc"), this, &QDialog::reject);
    contextMenu_->addSeparator();
    contextMenu_->addAction(tr("&Effect Size and Power...\tCtrl+E"), this,
                            &CMainDlg::showEffectsWindow);
    // Ctrl+H belongs to the dialog as well as to its menu.
    QAction* history =
        contextMenu_->addAction(tr("&History..."), this, &CMainDlg::historyRequested);
    history->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    addAction(history);
    showPlotAction_ = contextMenu_->addAction(tr("Show &Plot"));
    showPlotAction_->setCheckable(true);
    showPlotAction_->setChecked(isPlotShown());
    connect(showPlotAction_, &QAction::triggered, this, [this](bool shown) {
        setPlotShown(shown);
        rememberPlotShown(shown);
    });
    contextMenu_->addSeparator();
    contextMenu_->addAction(QString::fromUtf8(dialog::kAboutMenuText), this, &CMainDlg::showAbout);
}

void CMainDlg::setUpPlot() {
    plotPane_ = new PlotPane(
        tr("Compute, and the distribution appears here with the answer marked."), this);
    quantityPlot_ = std::make_unique<QuantityPlot>(calculators_, *plotPane_);
    controller_.listeners().add(*quantityPlot_);
    setPlotShown(plotShownSetting());
}

void CMainDlg::setPlotShown(bool shown) {
    if (shown) {
        // The window may be enlarged; the plot grows with it.
        const QSize pane(kPlotWidth, std::max(templateSize_.height(), kPlotHeight));
        setMinimumSize(templateSize_.width() + pane.width(), pane.height());
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        resize(minimumSize());
        plotPane_->fillParentRightOf(templateSize_.width());
    } else {
        setFixedSize(templateSize_);
    }
    plotPane_->setVisible(shown);
    quantityPlot_->setShown(shown);
    if (showPlotAction_ != nullptr && showPlotAction_->isChecked() != shown) {
        showPlotAction_->setChecked(shown);
    }
}

bool CMainDlg::isPlotShown() const {
    return !plotPane_->isHidden();
}

void CMainDlg::showEffectsWindow() {
    if (!effectsWindow_) {
        effectsWindow_ =
            std::make_unique<EffectsWindow>(calculators_, helpWindow_, controller_.listeners());
    }
    effectsWindow_->show();
    effectsWindow_->setWindowState(effectsWindow_->windowState() & ~Qt::WindowMinimized);
    effectsWindow_->raise();
    effectsWindow_->activateWindow();
}

void CMainDlg::showAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CMainDlg::contextMenuEvent(QContextMenuEvent* event) {
    contextMenu_->popup(event->globalPos());
}

bool CMainDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        auto* widget = static_cast<QWidget*>(watched);
        contextMenu_->popup(widget->mapToGlobal(widget->rect().center()));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// Enter that no push button takes (the focused one takes it) ends the dialog as OK does, from
// a field or a radio button alike; Escape is the dialog's own Cancel.
void CMainDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

CNumEdit& CMainDlg::field(int fieldId) const {
    return *controls_.widgetAs<CNumEdit>(fieldId);
}

CHighlightButton& CMainDlg::computeButton() const {
    return *controls_.widgetAs<CHighlightButton>(kComputeButton);
}

int CMainDlg::checkedPosition(RadioGroup group) const {
    return controls_.radioGroups().at(static_cast<std::size_t>(group))->checkedId();
}

void CMainDlg::checkPosition(RadioGroup group, int position) {
    QButtonGroup* buttons = controls_.radioGroups().at(static_cast<std::size_t>(group));
    if (QAbstractButton* button = buttons->button(position)) {
        button->setChecked(true);
        return;
    }
    // No position of the group: every button unchecked.
    buttons->setExclusive(false);
    for (QAbstractButton* button : buttons->buttons()) {
        button->setChecked(false);
    }
    buttons->setExclusive(true);
}

void CMainDlg::setVisible(int controlId, bool visible) {
    control(controlId)->setVisible(visible);
}

void CMainDlg::setText(int controlId, std::string_view text) {
    const QString caption = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    QWidget* widget = control(controlId);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(caption);
    } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        box->setTitle(caption);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(caption);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(caption);
    }
    controls_.fitCaption(controlId);
    // The status caption is painted at once: "Working" has to be on the screen before a
    // computation that may take a while, which runs without returning to the event loop.
    if (controlId == kComputeButton) {
        widget->repaint();
    }
}

void CMainDlg::setReadOnly(int fieldId, bool readOnly) {
    field(fieldId).setReadOnly(readOnly);
}

bool CMainDlg::isReadOnly(int fieldId) const {
    return field(fieldId).isReadOnly();
}

std::string CMainDlg::text(int fieldId) const {
    return field(fieldId).text().toStdString();
}

double CMainDlg::value(int fieldId) {
    return field(fieldId).GetValue();
}

void CMainDlg::setValue(int fieldId, double value) {
    field(fieldId).SetValue(value);
}

bool CMainDlg::isHighlighted() const {
    return computeButton().IsHighlighted();
}

void CMainDlg::setHighlight(bool on) {
    computeButton().SetHighlight(on);
}

}  // namespace quorvel
