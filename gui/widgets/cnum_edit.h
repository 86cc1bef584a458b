#pragma once

#include <QLineEdit>
#include <QString>
#include <functional>
#include <string>

#include "gui/widgets/num_edit_logic.h"

class QKeyEvent;
class QResizeEvent;

namespace quorvel {

// A single-line edit box that holds one number as its text (NumEditLogic on a QLineEdit).
// Keystrokes that would leave text that is neither a number nor one being typed
// (NumEditLogic::TakesTypedText) are undone: the previous text comes back as it was, wholly
// selected, and keystrokes already waiting are dropped; a blank is dropped. Either refusal is
// shown: a beep, and a tooltip at the box that names the rule (kTypingRule, also sent as
// keystrokeRefused). Every change of the text, typed or written, resets the step to the last
// decimal shown and then calls the change listener. Text that arrives without a keystroke (a
// paste from the context menu) is not checked; GetValue reads it as 0.0 when it is not a
// number. Read-only through QLineEdit::setReadOnly; a read-only box is an output, which shows
// the values written to it by their significant digits.
//
// While the text is the one a SetValue wrote, Ctrl+C with the whole text or nothing selected,
// and "Copy Whole Value" at the head of the box's context menu, put the whole number on the
// clipboard with 17 significant digits, as the command line prints it; any other selection is
// copied as it shows.
//
// A value written into the box shows from its first character. A read-only box (an output) is
// shaded as a read-only edit is, its text in the ordinary colour, still selectable and
// copyable; where its text is wider than its room it takes a smaller font, down to three
// quarters of its own, so that the whole value shows. Wherever the text is wider than the room
// at the box's own font, the tooltip carries the whole text.
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

    // The rule a refused keystroke names.
    static const QString kTypingRule;
    // The object name of the context menu's "Copy Whole Value".
    static constexpr const char* kCopyWholeValueName = "copy-whole-value";

    // Fits the text to the room the box has now: its font and its tooltip. Called by the box
    // itself on every change of its text, size or read-only state, and by whoever changes its
    // text margins (the spin button).
    void FitText();

  signals:
    // A keystroke was refused; `rule` is the rule it broke.
    void keystrokeRefused(const QString& rule);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    std::string ReadText() const override;
    void WriteText(const std::string& text) override;
    void ShowInvalidTextMessage(const std::string& message) override;
    bool IsOutput() const override;

    void OnChange();
    void RejectKeystroke(const QString& previousText);
    void ShowRefusal();
    void CopyValue();
    void CopyWholeValue();
    void ShowReadOnlyLook();
    QFont OwnFont() const;
    bool Fits(const QFont& font) const;
    int TextRoom() const;

    std::function<void()> m_changeListener;
    std::function<void(const QString&)> m_messagePresenter;
    bool m_droppingQueuedKeys = false;
};

}  // namespace quorvel
