#include "ui/widgets.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

// Number fields take whatever digits are typed; a bounded one brings the
// value into range when it is left or read, an unbounded one reads the text
// as a 32-bit number or, failing that, as 0.
class TstSpinEdit : public QObject
{
    Q_OBJECT
    std::unique_ptr<QWidget> window;
    SpinEdit *field = nullptr;
    QLineEdit *elsewhere = nullptr;

    void build(int min, int max, int value)
    {
        window = std::make_unique<QWidget>();
        auto *layout = new QVBoxLayout(window.get());
        field = new SpinEdit(QStringLiteral("SETest"), min, max, value, window.get());
        elsewhere = new QLineEdit(window.get());
        layout->addWidget(field);
        layout->addWidget(elsewhere);
        window->show();
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        field->selectAll();
    }

private slots:
    void typedDigitsAreKept_data()
    {
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("initial");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("leave"); // how the field is left: tab, enter
        QTest::addColumn<int>("value");
        QTest::newRow("count past its maximum") << 1 << 65535 << 1000 << "99999" << "tab" << 65535;
        QTest::newRow("count past its maximum, Enter") << 1 << 65535 << 1000 << "99999" << "enter" << 65535;
        QTest::newRow("below the minimum") << 1 << 8192 << 5 << "0" << "tab" << 1;
        QTest::newRow("bounded, emptied") << 1 << 5 << 5 << "" << "tab" << 1;
        QTest::newRow("bounded, many zeros") << 1 << 8192 << 1 << "0000012" << "tab" << 12;
        QTest::newRow("unbounded, past 32 bits, Enter") << 0 << 0 << 7 << "2147483648" << "enter" << 0;
        QTest::newRow("unbounded, smallest") << 0 << 0 << 0 << "-2147483648" << "tab" << -2147483647 - 1;
        QTest::newRow("unbounded, minus alone") << 0 << 0 << 3 << "-" << "tab" << 0;
    }
    void typedDigitsAreKept()
    {
        QFETCH(int, min);
        QFETCH(int, max);
        QFETCH(int, initial);
        QFETCH(QString, typed);
        QFETCH(QString, leave);
        QFETCH(int, value);
        build(min, max, initial);
        QSignalSpy changes(field, &QSpinBox::textChanged);
        if (typed.isEmpty())
            QTest::keyClick(field, Qt::Key_Backspace);
        else
            QTest::keyClicks(field, typed);
        // Nothing typed is dropped, and the value in use is already in range.
        QCOMPARE(field->text(), typed);
        QCOMPARE(field->fieldValue(), value);
        if (leave == QLatin1String("enter"))
            QTest::keyClick(field, Qt::Key_Return);
        else
            elsewhere->setFocus();
        QCOMPARE(field->text(), QString::number(value));
        QCOMPARE(field->value(), value);
        // The field's change handler last heard the value in use.
        if (value != initial)
            QCOMPARE(changes.last().first().toString(), QString::number(value));
    }

    // Letters are still no number: the field does not take them.
    void lettersRefused()
    {
        build(0, 0, 12);
        QTest::keyClicks(field, QStringLiteral("x1y"));
        QCOMPARE(field->text(), QStringLiteral("1"));
    }
};

QTEST_MAIN(TstSpinEdit)
#include "tst_spinedit.moc"
