#pragma once

#include <QLineEdit>
#include <QString>
#include <functional>
#include <string>

#include "controls/num_edit_logic.h"

class QKeyEvent;

namespace quorvel {

// A single-line edit box that holds one number as its text (NumEditLogic on a QLineEdit).
// Keystrokes that would leave text that is not a number are undone: the previous value comes
// back, wholly selected, and keystrokes already waiting are dropped. Every change of the text,
// typed or written, resets the step to the last decimal shown and then calls the change
// listener. Text that arrives without a keystroke (a paste from the context menu) is not
// checked; GetValue reads it as 0.0 when it is not a number. Read-only through
// QLineEdit::setReadOnly.
class CNumEdit : public QLineEdit, public NumEditLogic {
    Q_OBJECT

  public:
    // `failureValue` is shown as "-----Failed-----" by SetValue.
    explicit CNumEdit(double failureValue, QWidget* parent = nullptr);

    using NumEditLogic::IsValid;
    int IsValid(const QString& text);

    // Called on every change of the text, after the step has been reset.
    void setChangeListener(std::function<void()> listener);
    // Shows the message for invalid text in verbose mode; by default a modal message box with
    // the stop icon and an OK button.
    void setMessagePresenter(std::function<void(const QString&)> presenter);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    std::string ReadText() const override;
    void WriteText(const std::string& text) override;
    void ShowInvalidTextMessage(const std::string& message) override;

    void OnChange();
    void RejectKeystroke(double previousValue);

    std::function<void()> m_changeListener;
    std::function<void(const QString&)> m_messagePresenter;
    bool m_droppingQueuedKeys = false;
};

}  // namespace quorvel
