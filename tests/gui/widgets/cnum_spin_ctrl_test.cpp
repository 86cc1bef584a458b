#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include "gui/widgets/cnum_edit.h"
#include "gui/widgets/cnum_spin_ctrl.h"

namespace quorvel {

constexpr double kFailureValue = -9999.0;

// A CumP field showing 0.95 with its spin button, in a shown window.
struct CumPField {
    QWidget window;
    CNumEdit* edit = new CNumEdit(kFailureValue, &window);
    CNumSpinCtrl* spin = new CNumSpinCtrl(&window);

    CumPField() {
        edit->setGeometry(10, 10, 120, 24);
        spin->SetBuddy(edit);
        edit->Init(0.95, 0.0, 1.0, 2, 6);
        window.resize(200, 60);
        window.show();
    }

    void click(bool up, Qt::KeyboardModifiers modifiers) {
        const int y = up ? spin->height() / 4 : spin->height() * 3 / 4;
        QTest::mouseClick(spin, Qt::LeftButton, modifiers, QPoint(spin->width() / 2, y));
    }
    void press(bool up, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(edit, up ? Qt::Key_Up : Qt::Key_Down, modifiers);
    }
};

class CNumSpinCtrlTest : public QObject {
    Q_OBJECT

  private slots:
    void stepping_data();
    void stepping();
    void readOnlyBuddyIsNotStepped();
    void plainEditBuddyGetsNoValues();
    void coupledEditStartsAtZero();
    void sitsAtTheRightEdgeOfItsBuddy();
    void textKeepsClearOfTheButtonOnlyWhileItShows();
};

void CNumSpinCtrlTest::stepping_data() {
    QTest::addColumn<bool>("byMouse");
    QTest::addColumn<bool>("up");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("expectedText");

    for (const bool byMouse : {true, false}) {
        const char* way = byMouse ? "click" : "arrow key";
        QTest::addRow("%s up", way) << byMouse << true << Qt::KeyboardModifiers() << "0.96";
        QTest::addRow("%s down", way) << byMouse << false << Qt::KeyboardModifiers() << "0.94";
        QTest::addRow("%s up with Shift", way)
            << byMouse << true << Qt::KeyboardModifiers(Qt::ShiftModifier) << "1.05";
        QTest::addRow("%s up with Ctrl", way)
            << byMouse << true << Qt::KeyboardModifiers(Qt::ControlModifier) << "1.05";
        QTest::addRow("%s up with Ctrl and Shift", way)
            << byMouse << true << (Qt::ShiftModifier | Qt::ControlModifier) << "1.95";
        QTest::addRow("%s down with Ctrl and Shift", way)
            << byMouse << false << (Qt::ShiftModifier | Qt::ControlModifier) << "-0.05";
    }
}

// The bounds 0..1 of the field do not stop a step.
void CNumSpinCtrlTest::stepping() {
    QFETCH(bool, byMouse);
    QFETCH(bool, up);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, expectedText);

    CumPField field;
    if (byMouse) {
        field.click(up, modifiers);
    } else {
        field.press(up, modifiers);
    }
    QCOMPARE(field.edit->text(), expectedText);
}

void CNumSpinCtrlTest::readOnlyBuddyIsNotStepped() {
    CumPField field;
    field.edit->setReadOnly(true);
    field.click(true, Qt::NoModifier);
    field.press(true, Qt::ShiftModifier);
    QCOMPARE(field.edit->text(), QString("0.95"));
}

void CNumSpinCtrlTest::plainEditBuddyGetsNoValues() {
    QWidget window;
    auto* edit = new QLineEdit("7.5", &window);
    auto* spin = new CNumSpinCtrl(&window);
    spin->SetBuddy(edit);
    spin->SetPos(3.0);
    window.show();
    QTest::mouseClick(spin, Qt::LeftButton, Qt::NoModifier, QPoint(spin->width() / 2, 1));
    QTest::keyClick(edit, Qt::Key_Up);

    QCOMPARE(edit->text(), QString("7.5"));
    QCOMPARE(spin->GetBuddy(), edit);
    QCOMPARE(spin->GetPos(), 0.0);
    QCOMPARE(spin->GetDelta(), 0.0);
}

void CNumSpinCtrlTest::coupledEditStartsAtZero() {
    QWidget window;
    auto* edit = new CNumEdit(kFailureValue, &window);
    edit->setText("12");
    auto* spin = new CNumSpinCtrl(&window);
    spin->SetBuddy(edit);
    QCOMPARE(edit->text(), QString("0"));
    spin->SetRange(-10000.0, 10000.0);
    spin->SetPos(3.0);
    QCOMPARE(edit->text(), QString("3"));
    QCOMPARE(spin->GetPos(), 3.0);
    double min = 0.0;
    double max = 0.0;
    spin->GetRange(min, max);
    QCOMPARE(min, -10000.0);
    QCOMPARE(max, 10000.0);
}

void CNumSpinCtrlTest::sitsAtTheRightEdgeOfItsBuddy() {
    CumPField field;
    for (const QPoint& place : {QPoint(10, 10), QPoint(40, 25)}) {
        field.edit->move(place);
        const QRect buddy = field.edit->geometry();
        const QRect spin = field.spin->geometry();
        QVERIFY(buddy.contains(spin));
        QVERIFY(buddy.right() - spin.right() <= 3);
        QVERIFY(spin.width() < buddy.width() / 2);
        QCOMPARE(field.window.childAt(spin.center()), field.spin);
    }
}

// A hidden button (beside an output field) leaves the whole width to the text, also when the
// field moves.
void CNumSpinCtrlTest::textKeepsClearOfTheButtonOnlyWhileItShows() {
    CumPField field;
    QCOMPARE(field.edit->textMargins().right(), field.spin->width());
    field.spin->hide();
    QCOMPARE(field.edit->textMargins().right(), 0);
    field.edit->move(40, 25);
    QCOMPARE(field.edit->textMargins().right(), 0);
    field.spin->show();
    QCOMPARE(field.edit->textMargins().right(), field.spin->width());
}

}  // namespace quorvel

QTEST_MAIN(quorvel::CNumSpinCtrlTest)
#include "cnum_spin_ctrl_test.moc"
