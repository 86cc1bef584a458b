#include "gui/widgets/chighlight_button.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace quorvel {

namespace {

// The integer centre of a rectangle whose right and bottom edges lie just outside it.
QPoint centreOf(const QRect& rect) {
    return {(rect.left() + rect.left() + rect.width()) / 2,
            (rect.top() + rect.top() + rect.height()) / 2};
}

// The caption at `box`, in the button-text colour; when disabled embossed instead: the
// light colour one pixel right and down, the dark shadow colour on top, mnemonics underlined.
void drawCaption(QPainter& painter, const QStyleOptionButton& option, const QRect& box) {
    constexpr int kFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
    if (option.state.testFlag(QStyle::State_Enabled)) {
        painter.setPen(option.palette.color(QPalette::ButtonText));
        painter.drawText(box, kFlags, option.text);
        return;
    }
    painter.setPen(option.palette.color(QPalette::Light));
    painter.drawText(box.translated(1, 1), kFlags | Qt::TextShowMnemonic, option.text);
    painter.setPen(option.palette.color(QPalette::Dark));
    painter.drawText(box, kFlags | Qt::TextShowMnemonic, option.text);
}

}  // namespace

CHighlightButton::CHighlightButton(QWidget* parent) : QPushButton(parent) {}

void CHighlightButton::SetHighlight(bool on) {
    m_highlighted = on;
    update();
}

void CHighlightButton::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}

void CHighlightButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);

    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
    const QRect face = option.rect.adjusted(frame, frame, -frame, -frame);
    if (m_highlighted) {
        painter.fillRect(face, kHighlightColour);
    }
    if (option.text.isEmpty()) {
        return;
    }
    const QSize extent(option.fontMetrics.horizontalAdvance(option.text),
                       option.fontMetrics.height());
    QPoint origin = centreOf(face) - QPoint(extent.width() / 2, extent.height() / 2);
    if (option.state.testFlag(QStyle::State_Sunken)) {
        origin += QPoint(1, 1);
    }
    drawCaption(painter, option, QRect(origin, extent));
}

}  // namespace quorvel
