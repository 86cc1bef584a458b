#pragma once

#include <QColor>
#include <QPushButton>

namespace quorvel {

// A push button that draws itself through the style and can be highlighted: its face inside
// the frame is then filled with light blue. The caption is centred, moved one pixel right and
// down while the button is pressed, and embossed while it is disabled. No focus rectangle is
// drawn. Apart from its drawing it is an ordinary push button.
class CHighlightButton : public QPushButton {
    Q_OBJECT

  public:
    static constexpr QColor kHighlightColour{166, 202, 240};

    explicit CHighlightButton(QWidget* parent = nullptr);

    // Stores the state and repaints the whole button.
    void SetHighlight(bool on);
    bool IsHighlighted() const { return m_highlighted; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    // Accepted without the default processing: moving the mouse never changes the drawing.
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    bool m_highlighted = false;
};

}  // namespace quorvel
