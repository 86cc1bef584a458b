#pragma once

#include <QPointer>
#include <QWidget>

#include "numerics/foundations/failure/failure_reporter.h"

namespace quorvel {

// The program's name as its message boxes are titled. It is not made the application's display
// name, which window systems would append to every window caption.
inline constexpr const char* kProgramDisplayName = "Quorvel";

// Shows each calculation error in a modal message box owned by the main dialog: the warning
// icon, one OK button, and the program's name (kProgramDisplayName) as caption.
// A computation that reports several errors shows several boxes, one after the other.
class MessageBoxReporter : public FailureReporter {
  public:
    // The window that owns the boxes; with none they have no owner.
    void setOwner(QWidget* owner) { owner_ = owner; }
    QWidget* owner() const { return owner_.data(); }
    // Returns when the user has closed the box.
    void show(std::string_view message) override;

  private:
    QPointer<QWidget> owner_;
};

// While it lives, the boxes of `reporter` belong to `owner`, when `reporter` shows message boxes
// (a test's recording reporter shows none); then the previous owner has them again. A window
// other than the main one computes inside such a scope, so that its boxes show over it.
class MessageBoxOwnerScope {
  public:
    MessageBoxOwnerScope(FailureReporter& reporter, QWidget* owner);
    ~MessageBoxOwnerScope();
    MessageBoxOwnerScope(const MessageBoxOwnerScope&) = delete;
    MessageBoxOwnerScope& operator=(const MessageBoxOwnerScope&) = delete;

  private:
    MessageBoxReporter* boxes_;
    QPointer<QWidget> previous_;
};

}  // namespace quorvel
