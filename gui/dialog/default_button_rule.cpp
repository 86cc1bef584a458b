#include "gui/dialog/default_button_rule.h"

#include <QFocusEvent>
#include <QPushButton>

namespace quorvel {

DefaultButtonRule::DefaultButtonRule(QObject* parent, QPushButton* templateDefault)
    : QObject(parent), templateDefault_(templateDefault) {}

void DefaultButtonRule::watch(QPushButton& button) {
    button.setAutoDefault(false);
    button.installEventFilter(this);
}

// A popup (a menu, the context-help pointer) borrows the focus without moving it. A button
// that is being destroyed loses the focus as a plain widget (its push-button part is already
// gone), so qobject_cast finds no button there and the rule leaves it alone.
bool DefaultButtonRule::eventFilter(QObject* watched, QEvent* event) {
    const bool focusIn = event->type() == QEvent::FocusIn;
    auto* button = qobject_cast<QPushButton*>(watched);
    if (button != nullptr && (focusIn || event->type() == QEvent::FocusOut) &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        button->setDefault(focusIn);
        if (!focusIn && templateDefault_ != nullptr) {
            templateDefault_->setDefault(true);
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quorvel
