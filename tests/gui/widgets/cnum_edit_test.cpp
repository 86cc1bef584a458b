#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>
#include <QTestEventList>
#include <QTimer>
#include <QToolTip>

#include "gui/widgets/cnum_edit.h"
#include "tests/support/rendered_text.h"

namespace quorvel {

using testing::renderedTextSpan;
using testing::wholeTextInkWidth;

constexpr double kFailureValue = -9999.0;

// A field as the main dialog has it: 98 pixels wide, in 8-point DejaVu Sans (the font the
// window is measured with), in a shown window.
struct DialogField {
    QWidget window;
    CNumEdit* edit = new CNumEdit(kFailureValue, &window);

    explicit DialogField(bool readOnly) {
        window.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
        edit->setGeometry(10, 10, 98, 23);
        edit->Init(0.0, -1e300, 1e300, 2, 6);
        edit->setReadOnly(readOnly);
        window.resize(200, 50);
        window.show();
    }
    // The size of the field's font beside the window's.
    double fontScale() const { return edit->font().pointSizeF() / window.font().pointSizeF(); }
};

// The colour of the field's background, at its right end where a short value leaves it bare.
QColor backgroundOf(QLineEdit& edit) {
    return edit.grab().toImage().pixelColor(edit.width() - 5, edit.height() / 2);
}

class CNumEditTest : public QObject {
    Q_OBJECT

  private slots:
    void typing_data();
    void typing();
    void changeResetsTheStepAndCallsTheListener();
    void keysTypedAheadOfARejectionAreDropped();
    void verboseRejectionIsReportedOnce();
    void pastedTextIsNotFiltered();
    void refusedKeystrokesAreSignalled();
    void copyGivesTheWholeWrittenValue();
    void writtenValueShowsFromItsFirstCharacter_data();
    void writtenValueShowsFromItsFirstCharacter();
    void readOnlyBoxIsShadedAndStaysCopyable();
};

void CNumEditTest::typing_data() {
    QTest::addColumn<bool>("integerField");
    QTest::addColumn<QString>("startText");
    QTest::addColumn<QTestEventList>("keys");
    QTest::addColumn<QString>("expectedText");
    QTest::addColumn<bool>("wholeTextSelected");
    QTest::addColumn<double>("expectedValue");

    QTestEventList digit;
    digit.addKeyClicks("5");
    QTestEventList letter;
    letter.addKeyClicks("x");
    QTestEventList backspace;
    backspace.addKeyClick(Qt::Key_Backspace);
    QTestEventList point;
    point.addKeyClicks(".");
    QTestEventList minus;
    minus.addKeyClicks("-");
    QTestEventList plus;
    plus.addKeyClicks("+");
    QTestEventList upperE;
    upperE.addKeyClicks("E");
    QTestEventList blank;
    blank.addKeyClicks(" ");
    QTestEventList exponentInside;
    exponentInside.addKeyClick(Qt::Key_Left);
    exponentInside.addKeyClicks("e");
    QTestEventList lowerE;
    lowerE.addKeyClicks("e");
    QTestEventList deleteFirst;
    deleteFirst.addKeyClick(Qt::Key_Home);
    deleteFirst.addKeyClick(Qt::Key_Delete);

    QTestEventList fractionalDf;
    fractionalDf.addKeyClicks("5.5");
    QTestEventList scientificDf;
    scientificDf.addKeyClicks("2.5e3");
    QTestEventList negativeExponent;
    negativeExponent.addKeyClicks("1e-5");

    QTest::newRow("digit appended") << false << "1.00" << digit << "1.005" << false << 1.005;
    QTest::newRow("letter restores the text as it was")
        << false << "0.1234567" << letter << "0.1234567" << true << 0.1234567;
    QTest::newRow("backspace on the only character")
        << false << "5" << backspace << "5" << true << 5.0;
    QTest::newRow("backspace in an integer field")
        << true << "1" << backspace << "1" << true << 1.0;
    QTest::newRow("a second point is refused") << false << "1.5" << point << "1.5" << true << 1.5;
    QTest::newRow("lone minus accepted") << false << "" << minus << "-" << false << 0.0;
    QTest::newRow("plus begins a number") << false << "" << plus << "+" << false << 0.0;
    QTest::newRow("upper-case E begins an exponent")
        << false << "12" << upperE << "12E" << false << 0.0;
    QTest::newRow("blank dropped") << false << "12" << blank << "12" << false << 12.0;
    QTest::newRow("lower-case e makes an exponent")
        << false << "15" << exponentInside << "1e5" << false << 1e5;
    QTest::newRow("trailing e begins an exponent")
        << false << "15" << lowerE << "15e" << false << 0.0;
    QTest::newRow("delete is checked like backspace")
        << false << "5" << deleteFirst << "5" << true << 5.0;
    // Typed numbers stay the numbers typed; whether a Df is whole is judged at Compute.
    QTest::newRow("5.5 into an integer field")
        << true << "" << fractionalDf << "5.5" << false << 5.5;
    QTest::newRow("2.5e3 into an integer field")
        << true << "" << scientificDf << "2.5e3" << false << 2500.0;
    QTest::newRow("1e-5 typed") << false << "" << negativeExponent << "1e-5" << false << 1e-5;
}

void CNumEditTest::typing() {
    QFETCH(bool, integerField);
    QFETCH(QString, startText);
    QFETCH(QTestEventList, keys);
    QFETCH(QString, expectedText);
    QFETCH(bool, wholeTextSelected);
    QFETCH(double, expectedValue);

    CNumEdit edit(kFailureValue);
    if (integerField) {
        edit.Init(1, 1, 10000);
    } else {
        edit.Init(1.0, 0.0, 10000.0, 2, 6);
    }
    edit.setText(startText);
    keys.simulate(&edit);

    QCOMPARE(edit.text(), expectedText);
    QCOMPARE(edit.hasSelectedText() && edit.selectedText() == edit.text(), wholeTextSelected);
    QCOMPARE(edit.GetValue(), expectedValue);
}

void CNumEditTest::changeResetsTheStepAndCallsTheListener() {
    CNumEdit edit(kFailureValue);
    edit.Init(1.0, 0.0, 10000.0, 2, 6);
    int changes = 0;
    double stepSeenByListener = 0.0;
    edit.setChangeListener([&] {
        ++changes;
        stepSeenByListener = edit.GetDelta();
    });

    // Init leaves the cursor before the first character; the digit goes after the last.
    QCOMPARE(edit.cursorPosition(), 0);
    edit.end(false);
    QTest::keyClicks(&edit, "5");
    QCOMPARE(edit.text(), QString("1.005"));
    QCOMPARE(changes, 1);
    QCOMPARE(stepSeenByListener, 0.001);

    edit.SetValue(kFailureValue);
    QCOMPARE(edit.text(), QString("-----Failed-----"));
    QCOMPARE(changes, 2);
    QCOMPARE(edit.GetValue(), 0.0);
}

// Keystrokes queued behind a rejected one would otherwise replace the restored, selected text.
void CNumEditTest::keysTypedAheadOfARejectionAreDropped() {
    CNumEdit edit(kFailureValue);
    edit.Init(12.0, 0.0, 10000.0, 2, 6);
    for (const char* typed : {"x", "5"}) {
        QCoreApplication::postEvent(
            &edit, new QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromLatin1(typed)));
    }
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents();
    QCOMPARE(edit.text(), QString("12.00"));

    QTest::keyClicks(&edit, "3");
    QCOMPARE(edit.text(), QString("3"));
}

void CNumEditTest::verboseRejectionIsReportedOnce() {
    CNumEdit edit(kFailureValue);
    edit.Init(12.0, 0.0, 10000.0, 2, 6);
    edit.SetVerbose(true);
    QStringList shown;
    edit.setMessagePresenter([&](const QString& message) { shown << message; });

    QTest::keyClicks(&edit, "x");
    QCOMPARE(edit.text(), QString("12.00"));
    QCOMPARE(shown, QStringList{"Characters must be a number.\n"});
}

// A refused key is seen and named, never silent; a key that is taken says nothing.
void CNumEditTest::refusedKeystrokesAreSignalled() {
    DialogField field(false);
    field.edit->setText(QStringLiteral("12"));
    QSignalSpy refused(field.edit, &CNumEdit::keystrokeRefused);
    field.edit->end(false);
    QTest::keyClicks(field.edit, "5");
    QCOMPARE(refused.count(), 0);
    QTest::keyClicks(field.edit, " ");
    QCOMPARE(refused.count(), 1);
    QTest::keyClicks(field.edit, "x");
    QCOMPARE(refused.count(), 2);
    QCOMPARE(refused.last().first().toString(), CNumEdit::kTypingRule);
    QCOMPARE(field.edit->text(), QStringLiteral("125"));
    QCOMPARE(QToolTip::text(), CNumEdit::kTypingRule);
}

// A result shows rounded and copies whole, by the keyboard and by the field's menu; a part of
// it, or a text typed over it, copies as it shows.
void CNumEditTest::copyGivesTheWholeWrittenValue() {
    DialogField output(true);
    const double p = 1.0 / 3.0;
    output.edit->SetValue(p);
    QCOMPARE(output.edit->text(), QStringLiteral("0.333333"));
    QTest::keyClick(output.edit, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("0.33333333333333331"));
    QCOMPARE(QApplication::clipboard()->text().toDouble(), p);

    QApplication::clipboard()->clear();
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr && !menu->actions().isEmpty());
        QAction* whole = menu->actions().first();
        QCOMPARE(whole->objectName(), QString::fromLatin1(CNumEdit::kCopyWholeValueName));
        whole->trigger();
        menu->close();
    });
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5),
                                output.edit->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(output.edit, &menuEvent);
    QTRY_COMPARE(QApplication::clipboard()->text(), QStringLiteral("0.33333333333333331"));

    output.edit->setSelection(0, 4);
    QTest::keyClick(output.edit, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("0.33"));

    DialogField input(false);
    input.edit->SetValue(p);
    input.edit->setText(QStringLiteral("0.5"));
    input.edit->selectAll();
    QTest::keyClick(input.edit, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("0.5"));
    QCOMPARE(input.edit->GetValue(), 0.5);

    // Once forgotten, the written number is read as its text stands.
    input.edit->SetValue(p);
    const QString rounded = input.edit->text();
    QCOMPARE(input.edit->GetValue(), p);
    input.edit->ForgetWrittenValue();
    QCOMPARE(input.edit->GetValue(), rounded.toDouble());
}

void CNumEditTest::pastedTextIsNotFiltered() {
    CNumEdit edit(kFailureValue);
    edit.Init(12.0, 0.0, 10000.0, 2, 6);
    edit.selectAll();
    edit.insert("abc");
    QCOMPARE(edit.text(), QString("abc"));
    QCOMPARE(edit.GetValue(), 0.0);
}

void CNumEditTest::writtenValueShowsFromItsFirstCharacter_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("font");
    QTest::addColumn<bool>("wholeTextShows");

    QTest::newRow("short output") << true << 0.934442 << "own" << true;
    QTest::newRow("failure text") << true << kFailureValue << "own" << true;
    QTest::newRow("wide output in a smaller font")
        << true << -123456789012345.0 << "smaller" << true;
    QTest::newRow("output too wide for the smallest font")
        << true << -1.2345678901234567e17 << "smallest" << false;
    QTest::newRow("wide input keeps its font") << false << 40528472.789012 << "own" << false;
}

// Where the text is wider than the field at its own font, the tooltip carries it whole.
void CNumEditTest::writtenValueShowsFromItsFirstCharacter() {
    QFETCH(bool, readOnly);
    QFETCH(double, value);
    QFETCH(QString, font);
    QFETCH(bool, wholeTextShows);

    DialogField field(readOnly);
    field.edit->SetValue(value);
    QCOMPARE(field.edit->cursorPosition(), 0);

    if (font == QLatin1String("own")) {
        QCOMPARE(field.fontScale(), 1.0);
    } else if (font == QLatin1String("smaller")) {
        QVERIFY(field.fontScale() < 1.0 && field.fontScale() > 0.75);
    } else {
        QCOMPARE(field.fontScale(), 0.75);
    }
    const bool wideAtOwnFont = font != QLatin1String("own") || !wholeTextShows;
    QCOMPARE(field.edit->toolTip(), wideAtOwnFont ? field.edit->text() : QString());

    const std::optional<testing::InkSpan> ink = renderedTextSpan(*field.edit);
    QVERIFY(ink.has_value());
    QCOMPARE(ink->width() >= wholeTextInkWidth(*field.edit) - 1, wholeTextShows);
}

void CNumEditTest::readOnlyBoxIsShadedAndStaysCopyable() {
    DialogField input(false);
    DialogField output(true);
    input.edit->SetValue(0.95);
    output.edit->SetValue(0.95);

    const QPalette palette = output.window.palette();
    const QColor disabledBase = palette.color(QPalette::Disabled, QPalette::Base);
    const QColor shade = disabledBase != palette.color(QPalette::Active, QPalette::Base)
                             ? disabledBase
                             : palette.color(QPalette::Active, QPalette::Window);
    QVERIFY(shade != palette.color(QPalette::Base));
    QCOMPARE(backgroundOf(*input.edit), palette.color(QPalette::Base));
    QCOMPARE(backgroundOf(*output.edit), shade);
    // The text is not greyed: the same colour, drawn as dark as in an input.
    QCOMPARE(output.edit->palette().color(QPalette::Text), palette.color(QPalette::Text));
    QCOMPARE(renderedTextSpan(*output.edit)->width(), renderedTextSpan(*input.edit)->width());

    QTest::keyClick(output.edit, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(output.edit->selectedText(), QStringLiteral("0.95"));
    QTest::keyClick(output.edit, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text().toDouble(), 0.95);
    QTest::keyClicks(output.edit, "7");
    QCOMPARE(output.edit->text(), QStringLiteral("0.95"));

    output.edit->setReadOnly(false);
    QCOMPARE(backgroundOf(*output.edit), palette.color(QPalette::Base));
}

}  // namespace quorvel

QTEST_MAIN(quorvel::CNumEditTest)
#include "cnum_edit_test.moc"
