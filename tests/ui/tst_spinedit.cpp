#include "ui/widgets.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

// Number fields take whatever digits are typed; a bounded one brings the
// value into range when it is left or read, an unbounded one reads the text
// as a 32-bit number or, failing that, as 0.
class TstSpinEdit : public QObject
{
    Q_OBJECT
private slots:
    void typedDigitsAreKept_data()
    {
        QTest::addColumn<int>("max"); // minimum 1; 0: unbounded
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("enter"); // else left by focus
        QTest::addColumn<int>("value");
        QTest::newRow("bounded, below the minimum, Enter") << 8192 << "0" << true << 1;
        QTest::newRow("bounded, emptied") << 5 << "" << false << 1;
        QTest::newRow("unbounded, past 32 bits, Enter") << 0 << "2147483648" << true << 0;
    }
    void typedDigitsAreKept()
    {
        QFETCH(int, max);
        QFETCH(QString, typed);
        QFETCH(int, value);
        QWidget window;
        auto *field = new SpinEdit(QStringLiteral("SETest"), max ? 1 : 0, max, 3, &window);
        auto *elsewhere = new QLineEdit(&window);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        field->selectAll();
        QSignalSpy changes(field, &QSpinBox::textChanged);
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, typed);
        // Nothing typed is dropped, and the value in use is already in range.
        QCOMPARE(field->text(), typed);
        QCOMPARE(field->fieldValue(), value);
        QFETCH(bool, enter);
        if (enter)
            QTest::keyClick(field, Qt::Key_Return);
        else
            elsewhere->setFocus();
        QCOMPARE(field->text(), QString::number(value));
        // The field's change handler last heard the value in use.
        QCOMPARE(changes.last().first().toString(), QString::number(value));
    }
};

QTEST_MAIN(TstSpinEdit)
#include "tst_spinedit.moc"
