#include "gui/widgets/cnum_spin_ctrl.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include "gui/widgets/cnum_edit.h"

namespace quorvel {

namespace {

constexpr int kModifierFactor = 10;

// Steps per click: ten times with Shift, ten times again with Ctrl.
int stepMultiplier(Qt::KeyboardModifiers modifiers) {
    int multiplier = 1;
    if (modifiers.testFlag(Qt::ShiftModifier)) {
        multiplier *= kModifierFactor;
    }
    if (modifiers.testFlag(Qt::ControlModifier)) {
        multiplier *= kModifierFactor;
    }
    return multiplier;
}

}  // namespace

CNumSpinCtrl::CNumSpinCtrl(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    connect(&m_repeatTimer, &QTimer::timeout, this, &CNumSpinCtrl::RepeatStep);
}

CNumEdit* CNumSpinCtrl::NumericBuddy() const {
    return qobject_cast<CNumEdit*>(m_buddy.data());
}

void CNumSpinCtrl::SetDelta(double delta) {
    if (CNumEdit* edit = NumericBuddy()) {
        edit->SetDelta(delta);
    }
}

double CNumSpinCtrl::GetDelta() const {
    const CNumEdit* edit = NumericBuddy();
    return edit != nullptr ? edit->GetDelta() : 0.0;
}

void CNumSpinCtrl::SetBuddy(QWidget* edit) {
    if (m_buddy != nullptr) {
        m_buddy->removeEventFilter(this);
        if (auto* lineEdit = qobject_cast<QLineEdit*>(m_buddy.data())) {
            lineEdit->setTextMargins(0, 0, 0, 0);
        }
    }
    m_buddy = edit;
    if (edit != nullptr) {
        edit->installEventFilter(this);
        FollowBuddy();
    }
    if (CNumEdit* numeric = NumericBuddy()) {
        numeric->SetValue(0.0);
    }
    update();
}

QWidget* CNumSpinCtrl::GetBuddy() const {
    return m_buddy.data();
}

void CNumSpinCtrl::GetRange(double& min, double& max) const {
    min = 0.0;
    max = 0.0;
    if (const CNumEdit* edit = NumericBuddy()) {
        edit->GetRange(min, max);
    }
}

void CNumSpinCtrl::SetRange(double min, double max) {
    if (CNumEdit* edit = NumericBuddy()) {
        edit->SetRange(min, max);
    }
}

double CNumSpinCtrl::GetPos() const {
    const CNumEdit* edit = NumericBuddy();
    return edit != nullptr ? edit->PeekValue() : 0.0;
}

void CNumSpinCtrl::SetPos(double value) {
    if (CNumEdit* edit = NumericBuddy()) {
        edit->SetValue(value);
    }
}

// A read-only buddy (an output field) cannot be stepped.
bool CNumSpinCtrl::CanStep() const {
    const CNumEdit* edit = NumericBuddy();
    return edit != nullptr && !edit->isReadOnly();
}

void CNumSpinCtrl::Step(int clicks, Qt::KeyboardModifiers modifiers) {
    if (CanStep()) {
        NumericBuddy()->StepBy(clicks * stepMultiplier(modifiers));
    }
}

// While a button is held, the modifiers are those of the latest input event, so pressing or
// releasing Shift or Ctrl changes the step at once.
void CNumSpinCtrl::RepeatStep() {
    Step(m_heldDirection, QGuiApplication::keyboardModifiers());
    m_repeatTimer.start(style()->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatRate, nullptr, this));
}

int CNumSpinCtrl::ButtonWidth() const {
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

QSize CNumSpinCtrl::sizeHint() const {
    return {ButtonWidth(), 2 * ButtonWidth()};
}

// Inside the buddy's frame at its right edge, like a spin box's buttons; the buddy's text keeps
// clear of it while it is shown, and has the whole width while it is hidden (an output field).
// Placement needs the buddy to be a sibling.
void CNumSpinCtrl::FollowBuddy() {
    if (m_buddy == nullptr || m_buddy->parentWidget() != parentWidget()) {
        return;
    }
    auto* lineEdit = qobject_cast<QLineEdit*>(m_buddy.data());
    const int inset =
        lineEdit != nullptr && lineEdit->hasFrame()
            ? m_buddy->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, m_buddy.data())
            : 0;
    const QRect area = m_buddy->geometry().adjusted(inset, inset, -inset, -inset);
    const int width = ButtonWidth();
    setGeometry(area.right() - width + 1, area.top(), width, area.height());
    raise();
    if (lineEdit != nullptr) {
        lineEdit->setTextMargins(0, 0, isHidden() ? 0 : width, 0);
    }
    if (CNumEdit* numeric = NumericBuddy()) {
        numeric->FitText();
    }
}

bool CNumSpinCtrl::event(QEvent* event) {
    if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) {
        FollowBuddy();
    }
    return QWidget::event(event);
}

bool CNumSpinCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_buddy.data()) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
            FollowBuddy();
            break;
        case QEvent::ReadOnlyChange:
            update();
            break;
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (isEnabled() && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
                Step(key->key() == Qt::Key_Up ? 1 : -1, key->modifiers());
                return true;
            }
            break;
        }
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void CNumSpinCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_heldDirection = event->position().y() < height() / 2.0 ? 1 : -1;
    update();
    Step(m_heldDirection, event->modifiers());
    m_repeatTimer.start(
        style()->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatThreshold, nullptr, this));
}

void CNumSpinCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_repeatTimer.stop();
    m_heldDirection = 0;
    update();
}

// Two stacked buttons drawn by the style: a command-button panel for each half, sunken while
// held, with the style's up or down arrow, greyed when a step would change nothing.
void CNumSpinCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int upperHeight = height() / 2;
    const QRect halves[2] = {QRect(0, 0, width(), upperHeight),
                             QRect(0, upperHeight, width(), height() - upperHeight)};
    const int directions[2] = {1, -1};
    for (int half = 0; half < 2; ++half) {
        QStyleOptionButton panel;
        panel.initFrom(this);
        panel.rect = halves[half];
        panel.state |=
            m_heldDirection == directions[half] ? QStyle::State_Sunken : QStyle::State_Raised;
        if (!CanStep()) {
            panel.state &= ~QStyle::State_Enabled;
            panel.palette.setCurrentColorGroup(QPalette::Disabled);
        }
        style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &panel, &painter, this);
        style()->drawPrimitive(
            directions[half] > 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown,
            &panel, &painter, this);
    }
}

}  // namespace quorvel
