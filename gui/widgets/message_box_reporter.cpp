#include "gui/widgets/message_box_reporter.h"

#include <QMessageBox>

namespace quorvel {

void MessageBoxReporter::show(std::string_view message) {
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kProgramDisplayName),
                    QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())),
                    QMessageBox::Ok, owner_.data());
    box.exec();
}

MessageBoxOwnerScope::MessageBoxOwnerScope(FailureReporter& reporter, QWidget* owner)
    : boxes_(dynamic_cast<MessageBoxReporter*>(&reporter)) {
    if (boxes_ != nullptr) {
        previous_ = boxes_->owner();
        boxes_->setOwner(owner);
    }
}

MessageBoxOwnerScope::~MessageBoxOwnerScope() {
    if (boxes_ != nullptr) {
        boxes_->setOwner(previous_.data());
    }
}

}  // namespace quorvel
