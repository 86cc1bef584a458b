#include <QSignalSpy>
#include <QStringList>
#include <QTest>
#include <QTestEventList>

#include "controls/cnum_edit.h"

namespace quorvel {

constexpr double kFailureValue = -9999.0;

class CNumEditTest : public QObject {
    Q_OBJECT

  private slots:
    void typing_data();
    void typing();
    void changeResetsTheStepAndCallsTheListener();
    void keysTypedAheadOfARejectionAreDropped();
    void verboseRejectionIsReportedOnce();
    void pastedTextIsNotFiltered();
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

    QTest::newRow("digit appended") << false << "1.00" << digit << "1.005" << false << 1.005;
    QTest::newRow("letter restores the value")
        << false << "12" << letter << "12.00" << true << 12.0;
    QTest::newRow("backspace on the only character")
        << false << "5" << backspace << "5.00" << true << 5.0;
    QTest::newRow("backspace in an integer field")
        << true << "1" << backspace << "1" << true << 1.0;
    QTest::newRow("point without decimals dropped") << true << "1" << point << "1" << false << 1.0;
    QTest::newRow("lone minus accepted") << false << "" << minus << "-" << false << 0.0;
    QTest::newRow("plus into an empty field") << false << "" << plus << "0.00" << true << 0.0;
    QTest::newRow("upper-case E dropped") << false << "12" << upperE << "12" << false << 12.0;
    QTest::newRow("blank dropped") << false << "12" << blank << "12" << false << 12.0;
    QTest::newRow("lower-case e makes an exponent")
        << false << "15" << exponentInside << "1e5" << false << 1e5;
    QTest::newRow("trailing e is not a number")
        << false << "15" << lowerE << "15.00" << true << 15.0;
    QTest::newRow("delete is checked like backspace")
        << false << "5" << deleteFirst << "5.00" << true << 5.0;
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

void CNumEditTest::pastedTextIsNotFiltered() {
    CNumEdit edit(kFailureValue);
    edit.Init(12.0, 0.0, 10000.0, 2, 6);
    edit.selectAll();
    edit.insert("abc");
    QCOMPARE(edit.text(), QString("abc"));
    QCOMPARE(edit.GetValue(), 0.0);
}

}  // namespace quorvel

QTEST_MAIN(quorvel::CNumEditTest)
#include "cnum_edit_test.moc"
