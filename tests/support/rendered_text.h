#pragma once

#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>
#include <optional>

namespace quorvel::testing {

// The pixel columns a text covers: the first and last column holding a pixel clearly darker
// than the base (the faint edges of smoothed glyphs included). Dark text on a light base.
struct InkSpan {
    int left;
    int right;
    int width() const { return right - left + 1; }
};

inline std::optional<InkSpan> inkSpanIn(const QImage& image, const QRect& area,
                                        const QColor& base) {
    constexpr int kInkContrast = 48;
    const int inkGrey = qGray(base.rgb()) - kInkContrast;
    std::optional<InkSpan> span;
    for (int x = area.left(); x <= area.right(); ++x) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            if (qGray(image.pixel(x, y)) < inkGrey) {
                span = InkSpan{span ? span->left : x, x};
                break;
            }
        }
    }
    return span;
}

// The columns a line edit's text covers on the screen, inside its frame, in the edit as drawn.
// The edit must not have the focus (no cursor, no focus frame).
inline std::optional<InkSpan> renderedTextSpan(QLineEdit& edit) {
    const QImage image = edit.grab().toImage();
    const int frame = edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &edit) + 1;
    return inkSpanIn(image, image.rect().adjusted(frame, frame, -frame, -frame),
                     edit.palette().color(QPalette::Base));
}

// The width the edit's text covers when drawn whole, in the edit's font and colours, with room
// on every side; a text cut at either end covers less.
inline int wholeTextInkWidth(const QLineEdit& edit) {
    constexpr int kRoom = 10;
    const QFontMetrics metrics(edit.font());
    QImage image(metrics.horizontalAdvance(edit.text()) + 2 * kRoom, metrics.height() + 2 * kRoom,
                 QImage::Format_RGB32);
    const QColor base = edit.palette().color(QPalette::Base);
    image.fill(base);
    QPainter painter(&image);
    painter.setFont(edit.font());
    painter.setPen(edit.palette().color(QPalette::Text));
    painter.drawText(kRoom, kRoom + metrics.ascent(), edit.text());
    painter.end();
    const std::optional<InkSpan> span = inkSpanIn(image, image.rect(), base);
    return span ? span->width() : 0;
}

}  // namespace quorvel::testing
