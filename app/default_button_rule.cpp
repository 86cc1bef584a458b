#include "app/default_button_rule.h"

#include <QFocusEvent>
#include <QPushButton>

namespace quorvel {

DefaultButtonRule::DefaultButtonRule(QObject* parent, QPushButton* templateDefault)
    : QObject(parent), templateDefault_(templateDefault) {}

void DefaultButtonRule::watch(QPushButton& button) {
    button.setAutoDefault(false);
    button.installEventFilter(this);
}

// A popup (a menu, the context-help pointer) borrows the focus without moving it.
bool DefaultButtonRule::eventFilter(QObject* watched, QEvent* event) {
    const bool focusIn = event->type() == QEvent::FocusIn;
    if ((focusIn || event->type() == QEvent::FocusOut) &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        static_cast<QPushButton*>(watched)->setDefault(focusIn);
        if (!focusIn && templateDefault_ != nullptr) {
            templateDefault_->setDefault(true);
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quorvel
