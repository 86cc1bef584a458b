#include <QImage>
#include <QTest>

#include "gui/widgets/chighlight_button.h"

namespace quorvel {

namespace {

const QColor kFill(166, 202, 240);

QImage render(CHighlightButton& button) {
    return button.grab().toImage();
}

// Bounding box of the pixels inside `area` whose colour satisfies `matches`.
template <typename Predicate>
QRect boxWhere(const QImage& image, const QRect& area, Predicate matches) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (matches(image.pixelColor(x, y))) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

bool isFill(const QColor& colour) {
    return colour == kFill;
}
bool isNotFill(const QColor& colour) {
    return colour != kFill;
}

}  // namespace

class CHighlightButtonTest : public QObject {
    Q_OBJECT

  private slots:
    void face_data();
    void face();
    void captionIsCentredAndMovesWhilePressed();
    void disabledCaptionIsEmbossed();
};

void CHighlightButtonTest::face_data() {
    QTest::addColumn<bool>("highlighted");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("normal") << false << false << true;
    QTest::newRow("highlighted") << true << false << true;
    QTest::newRow("highlighted and pressed") << true << true << true;
    QTest::newRow("highlighted and disabled") << true << false << false;
    QTest::newRow("pressed, not highlighted") << false << true << true;
}

// Without a caption the whole face inside the frame carries the fill, and nothing else does.
void CHighlightButtonTest::face() {
    QFETCH(bool, highlighted);
    QFETCH(bool, pressed);
    QFETCH(bool, enabled);

    CHighlightButton button;
    button.resize(120, 40);
    button.SetHighlight(!highlighted);
    button.SetHighlight(highlighted);
    button.setDown(pressed);
    button.setEnabled(enabled);
    QCOMPARE(button.IsHighlighted(), highlighted);

    const QImage image = render(button);
    const QRect filled = boxWhere(image, image.rect(), isFill);
    if (!highlighted) {
        QVERIFY(filled.isEmpty());
        return;
    }
    QVERIFY(filled.contains(image.rect().center()));
    QVERIFY(filled.width() > image.width() - 10 && filled.height() > image.height() - 10);
    QVERIFY(!filled.contains(QPoint(0, 0)));
    QVERIFY(!filled.contains(image.rect().bottomRight()));
    QVERIFY(boxWhere(image, filled, isNotFill).isEmpty());
}

void CHighlightButtonTest::captionIsCentredAndMovesWhilePressed() {
    CHighlightButton button;
    button.resize(120, 40);
    button.SetHighlight(true);
    const QRect face = boxWhere(render(button), button.rect(), isFill);

    button.setText("COMPUTE");
    const QRect caption = boxWhere(render(button), face, isNotFill);
    button.setDown(true);
    const QRect pressedCaption = boxWhere(render(button), face, isNotFill);

    QVERIFY(!caption.isEmpty());
    QVERIFY(qAbs(caption.center().x() - face.center().x()) <= 2);
    QVERIFY(qAbs(caption.center().y() - face.center().y()) <= 3);
    QCOMPARE(pressedCaption, caption.translated(1, 1));
}

// Embossed: the caption in the light colour one pixel right and down, under the caption in the
// dark shadow colour. Without antialiasing every caption pixel has one of the two colours.
void CHighlightButtonTest::disabledCaptionIsEmbossed() {
    CHighlightButton button;
    button.resize(120, 40);
    QFont font = button.font();
    font.setStyleStrategy(QFont::NoAntialias);
    button.setFont(font);
    button.setText("Finished");
    button.SetHighlight(true);
    const QRect face = boxWhere(render(button), button.rect(), isFill);
    const auto boxOfColour = [&](const QColor& colour) {
        return boxWhere(render(button), face, [&](const QColor& pixel) { return pixel == colour; });
    };
    const QColor light = button.palette().color(QPalette::Disabled, QPalette::Light);
    const QColor shadow = button.palette().color(QPalette::Disabled, QPalette::Dark);
    QVERIFY(boxOfColour(light).isEmpty());

    button.setEnabled(false);
    const QRect lightBox = boxOfColour(light);
    const QRect shadowBox = boxOfColour(shadow);
    QVERIFY(!shadowBox.isEmpty());
    QCOMPARE(lightBox.bottomRight(), shadowBox.bottomRight() + QPoint(1, 1));
}

}  // namespace quorvel

QTEST_MAIN(quorvel::CHighlightButtonTest)
#include "chighlight_button_test.moc"
