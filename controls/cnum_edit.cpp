#include "controls/cnum_edit.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <utility>

namespace quorvel {

CNumEdit::CNumEdit(double failureValue, QWidget* parent)
    : QLineEdit(parent),
      NumEditLogic(failureValue),
      m_messagePresenter([this](const QString& message) {
          QMessageBox::critical(this, QGuiApplication::applicationDisplayName(), message);
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

void CNumEdit::WriteText(const std::string& text) {
    setText(QString::fromStdString(text));
}

void CNumEdit::ShowInvalidTextMessage(const std::string& message) {
    if (m_messagePresenter) {
        m_messagePresenter(QString::fromStdString(message));
    }
}

void CNumEdit::OnChange() {
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
    if (typed.size() == 1 && IgnoresKeystroke(typed.front().unicode())) {
        event->accept();
        return;
    }
    const double previousValue = PeekValue();
    const QString previousText = text();
    QLineEdit::keyPressEvent(event);
    if (text() != previousText && IsValid() != kTextValid) {
        RejectKeystroke(previousValue);
    }
}

void CNumEdit::RejectKeystroke(double previousValue) {
    SetValue(previousValue);
    selectAll();
    // Keys typed ahead or repeated are already queued before this call; the queued reset runs
    // after them, so exactly those are dropped.
    m_droppingQueuedKeys = true;
    QMetaObject::invokeMethod(
        this, [this] { m_droppingQueuedKeys = false; }, Qt::QueuedConnection);
}

}  // namespace quorvel
