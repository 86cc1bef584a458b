#pragma once

#include <QObject>
#include <QPointer>

class QPushButton;

namespace quorvel {

// Keeps a dialog's default push button as a dialog manager keeps it: the push button that has
// the focus is the default one (it carries the default frame, and Enter presses it); while any
// other control has the focus the template's default push button is, and without one no button
// is. Qt's automatic defaults are switched off for the buttons it watches: they would keep the
// first button that ever had the focus as the default, and so frame a button that Enter does
// not press.
class DefaultButtonRule : public QObject {
    Q_OBJECT

  public:
    // `templateDefault` is the template's default push button, or nullptr.
    DefaultButtonRule(QObject* parent, QPushButton* templateDefault);

    void watch(QPushButton& button);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPointer<QPushButton> templateDefault_;
};

}  // namespace quorvel
