#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace quorvel {

class CNumEdit;

// An up-down button that steps the number of its buddy, a CNumEdit: each click or Up/Down arrow
// key in the buddy adds or subtracts the buddy's step, ten times that with Shift held, ten
// times that with Ctrl held, a hundred times with both. All value state lives in the buddy;
// the value operations forward to it, and with no buddy or a buddy of another kind they do
// nothing and the getters give 0.0. A read-only buddy is never stepped. The button places
// itself inside the right edge of its buddy (a sibling widget) and follows it; the buddy's text
// keeps clear of the button only while the button is shown.
class CNumSpinCtrl : public QWidget {
    Q_OBJECT

  public:
    explicit CNumSpinCtrl(QWidget* parent = nullptr);

    void SetDelta(double delta);
    double GetDelta() const;
    // Couples the button to `edit` (nullptr uncouples); a numeric buddy is then set to 0.0.
    void SetBuddy(QWidget* edit);
    QWidget* GetBuddy() const;
    // Both 0.0 when the buddy is not numeric.
    void GetRange(double& min, double& max) const;
    void SetRange(double min, double max);
    // The buddy's value, or 0.0.
    double GetPos() const;
    void SetPos(double value);

    QSize sizeHint() const override;

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    CNumEdit* NumericBuddy() const;
    bool CanStep() const;
    void Step(int clicks, Qt::KeyboardModifiers modifiers);
    void RepeatStep();
    void FollowBuddy();
    int ButtonWidth() const;

    QPointer<QWidget> m_buddy;
    // +1 while the up arrow is held down, -1 for the down arrow, 0 when none is.
    int m_heldDirection = 0;
    QTimer m_repeatTimer;
};

}  // namespace quorvel
