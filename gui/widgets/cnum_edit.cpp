#include "gui/widgets/cnum_edit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolTip>
#include <utility>

#include "gui/widgets/message_box_reporter.h"
#include "model/number_text.h"

namespace quorvel {

namespace {

// QLineEdit keeps this many pixels between its contents rectangle and the text on either side,
// and needs one pixel column beyond the text for the cursor before it starts to scroll.
constexpr int kLineEditInnerMargin = 2;
constexpr int kCursorWidth = 1;
// An output's text may shrink to three quarters of the box's own font, in steps of 2.5%.
constexpr int kTextScaleSteps = 10;
constexpr double kTextScaleStep = 0.025;

QFont scaled(const QFont& font, double scale) {
    QFont result(font);
    if (font.pointSizeF() > 0) {
        result.setPointSizeF(font.pointSizeF() * scale);
    } else {
        result.setPixelSize(qRound(font.pixelSize() * scale));
    }
    return result;
}

}  // namespace

const QString CNumEdit::kTypingRule = QStringLiteral(
    "A number: digits with an optional sign, one decimal point and an exponent after e "
    "(2.5e3, 1e-5); no blanks or letters.");

CNumEdit::CNumEdit(double failureValue, QWidget* parent)
    : QLineEdit(parent),
      NumEditLogic(failureValue),
      m_messagePresenter([this](const QString& message) {
          QMessageBox::critical(this, QString::fromLatin1(kProgramDisplayName), message);
      }) {
    connect(this, &QLineEdit::textChanged, this, &CNumEdit::OnChange);
}

int CNumEdit::IsValid(const QString& text) {
    return IsValid(text.toStdString());
}

void CNumEdit::setChangeListener(std::function<void()> listener) {
    m_changeListener = std::move(listener);
}

void CNumEdit::setMessagePresenter(std::function<void(const QString&)> presenter) {
    m_messagePresenter = std::move(presenter);
}

std::string CNumEdit::ReadText() const {
    return text().toStdString();
}

// QLineEdit leaves the cursor after the last character, which scrolls a value wider than the
// box so that its leading digits are hidden.
void CNumEdit::WriteText(const std::string& text) {
    setText(QString::fromStdString(text));
    setCursorPosition(0);
}

void CNumEdit::ShowInvalidTextMessage(const std::string& message) {
    if (m_messagePresenter) {
        m_messagePresenter(QString::fromStdString(message));
    }
}

bool CNumEdit::IsOutput() const {
    return isReadOnly();
}

void CNumEdit::OnChange() {
    FitText();
    AdaptDelta();
    if (m_changeListener) {
        m_changeListener();
    }
}

// Every keyboard edit is checked, Backspace, Delete and the cut, paste and undo shortcuts as
// well as typed characters, so that no keystroke leaves a field that silently reads as 0.
void CNumEdit::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    if (m_droppingQueuedKeys && !typed.isEmpty()) {
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        CopyValue();
        event->accept();
        return;
    }
    if (typed.size() == 1 && IgnoresKeystroke(typed.front().unicode())) {
        ShowRefusal();
        event->accept();
        return;
    }
    const QString previousText = text();
    QLineEdit::keyPressEvent(event);
    if (text() != previousText && !TakesTypedText(text().toStdString())) {
        // In verbose mode the refused text is reported, as the box's own check reports it.
        IsValid();
        RejectKeystroke(previousText);
    }
}

// The text as it was, so that no digit of it is lost to a reformatting.
void CNumEdit::RejectKeystroke(const QString& previousText) {
    setText(previousText);
    setCursorPosition(0);
    selectAll();
    ShowRefusal();
    // Keys typed ahead or repeated are already queued before this call; the queued reset runs
    // after them, so exactly those are dropped.
    m_droppingQueuedKeys = true;
    QMetaObject::invokeMethod(
        this, [this] { m_droppingQueuedKeys = false; }, Qt::QueuedConnection);
}

void CNumEdit::ShowRefusal() {
    QApplication::beep();
    QToolTip::showText(mapToGlobal(QPoint(0, height())), kTypingRule, this);
    emit keystrokeRefused(kTypingRule);
}

void CNumEdit::CopyValue() {
    const std::optional<double> written = WrittenValue();
    if (written && (!hasSelectedText() || selectedText() == text())) {
        CopyWholeValue();
    } else {
        copy();
    }
}

void CNumEdit::CopyWholeValue() {
    if (const std::optional<double> written = WrittenValue()) {
        QApplication::clipboard()->setText(QString::fromStdString(formatNumber(*written)));
    }
}

// The field's own menu, led by "Copy Whole Value" while the field holds a written number.
void CNumEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (WrittenValue()) {
        auto* whole = new QAction(tr("Copy &Whole Value"), menu);
        whole->setObjectName(QString::fromLatin1(kCopyWholeValueName));
        connect(whole, &QAction::triggered, this, &CNumEdit::CopyWholeValue);
        menu->insertAction(menu->actions().value(0), whole);
    }
    menu->popup(event->globalPos());
}

void CNumEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::ReadOnlyChange) {
        ShowReadOnlyLook();
        FitText();
    }
}

void CNumEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    FitText();
}

// The background of a read-only edit is the palette's disabled base, or its window colour where
// the disabled base is the ordinary one; the text keeps its colour.
void CNumEdit::ShowReadOnlyLook() {
    setPalette(QPalette());
    if (!isReadOnly()) {
        return;
    }
    QPalette look = palette();
    const QBrush disabledBase = look.brush(QPalette::Disabled, QPalette::Base);
    const QBrush shade = disabledBase == look.brush(QPalette::Active, QPalette::Base)
                             ? look.brush(QPalette::Active, QPalette::Window)
                             : disabledBase;
    look.setBrush(QPalette::Active, QPalette::Base, shade);
    look.setBrush(QPalette::Inactive, QPalette::Base, shade);
    setPalette(look);
}

void CNumEdit::FitText() {
    const QFont own = OwnFont();
    const bool fits = Fits(own);
    setToolTip(fits ? QString() : text());
    QFont shown = own;
    if (!fits && isReadOnly()) {
        for (int step = 1; step <= kTextScaleSteps && !Fits(shown); ++step) {
            shown = scaled(own, 1.0 - step * kTextScaleStep);
        }
    }
    if (shown != font()) {
        setFont(shown);
    }
}

// The font the box would have of its own: its parent's, as it has no other.
QFont CNumEdit::OwnFont() const {
    return parentWidget() != nullptr ? parentWidget()->font() : QApplication::font(this);
}

// The test QLineEdit applies before it scrolls: the text's width, rounded, and the cursor.
bool CNumEdit::Fits(const QFont& font) const {
    return qRound(QFontMetricsF(font).horizontalAdvance(text())) + kCursorWidth <= TextRoom();
}

int CNumEdit::TextRoom() const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()
                               ->subElementRect(QStyle::SE_LineEditContents, &option, this)
                               .marginsRemoved(textMargins());
    return contents.width() - 2 * kLineEditInnerMargin;
}

}  // namespace quorvel
