#include "support/unitrig.h"
#include "core/bytetext.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QTest>

// The transmit table with its panels: typing through the cell editor, the
// size field, and the insert, delete and clear commands.
class TstTransmitTable : public QObject
{
    Q_OBJECT
    std::unique_ptr<UnitRig> rig;
    TransmitTable *t = nullptr;
    TransmitTableModel *m = nullptr;

    QLineEdit *editor(int column, int row) const
    {
        return qobject_cast<QLineEdit *>(rig->transmitBar.SGTrans->indexWidget(m->index(row, column)));
    }

    // "size N" sets the size field; any other step is a command.
    void act(const QString &step)
    {
        static const QHash<QString, void (TransmitTable::*)()> commands{
            {"ins", &TransmitTable::SBInsClick},          {"del", &TransmitTable::SBDelClick},
            {"mins", &TransmitTable::miInsertbyteClick}, {"mdel", &TransmitTable::miDeletebyteClick},
            {"clear", &TransmitTable::SBClearTransClick}};
        if (step.startsWith(u"size "))
            rig->transmitBar.SESizeTrans->setValue(step.mid(5).toInt());
        else
            (t->*commands.value(step))();
    }
    // Loads `bytes` as a file does, with the first column current.
    void load(const QByteArray &bytes)
    {
        rig->transmitBar.SESizeTrans->setValue(qMin(int(bytes.size()), 8192));
        t->showBytes(bytes);
        rig->transmitBar.SGTrans->setCurrentIndex(m->index(1, 1));
    }

    // One text per shown column of `row`, "-" for an empty cell.
    QString shown(int row) const
    {
        QStringList out;
        for (int c = 1; c <= m->dataColumnCount(); ++c) {
            const QString text = m->index(row, c).data().toString();
            out << (text.isEmpty() ? QStringLiteral("-") : text);
        }
        return out.join(u' ');
    }

private slots:
    void init()
    {
        rig = std::make_unique<UnitRig>();
        t = &rig->table;
        m = t->model();
        new QAbstractItemModelTester(m, QAbstractItemModelTester::FailureReportingMode::QtTest, &rig->window);
    }

    void everyKeystrokeUpdatesTheCompanionCell_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("keys"); // \b Backspace
        QTest::addColumn<QStringList>("companion"); // the other cell after each key
        QTest::addColumn<QString>("cell");          // the typed cell at the end, as typed
        QTest::newRow("hex lower case kept") << 1 << "c0" << QStringList{"\x0C", "А"} << "c0";
        QTest::newRow("ascii emptied") << 2 << "a\b" << QStringList{"61", "00"} << "";
        QTest::newRow("ascii cyrillic") << 2 << "Яz" << QStringList{"DF", "DF"} << "Яz";
    }
    void everyKeystrokeUpdatesTheCompanionCell()
    {
        QFETCH(int, row);
        QFETCH(QString, keys);
        QFETCH(QStringList, companion);
        QFETCH(QString, cell);
        rig->transmitBar.SESizeTrans->setValue(3);
        const int other = row == 1 ? 2 : 1;
        QStringList seen;
        // Typed as a user does: the first key on the table opens the editor.
        rig->transmitBar.SGTrans->setCurrentIndex(m->index(row, 2));
        for (QChar key : keys) {
            QWidget *w = editor(2, row) ? static_cast<QWidget *>(editor(2, row)) : rig->transmitBar.SGTrans;
            if (key == u'\b')
                QTest::keyClick(w, Qt::Key_Backspace);
            else // keyClicks() would drop characters beyond Latin-1
                QTest::sendKeyEvent(QTest::Click, w, key.unicode() < 0x80 ? Qt::Key(key.toUpper().unicode()) : Qt::Key_unknown,
                                    QString(key), Qt::NoModifier);
            seen << m->index(other, 2).data().toString();
        }
        QCOMPARE(seen, companion);
        QCOMPARE(editor(2, row)->text(), cell); // still editing
        // A send while the editor is open reads what is typed so far.
        QCOMPARE(t->tableBytes().at(1), char(HexCellByte(row == 1 ? cell : companion.last())));
        QCOMPARE(t->TransmitArray, QByteArray(1, '\0')); // editing does not touch the block
    }

    // The row of cells is unbounded: shrinking hides texts, growing shows
    // them again; only the operations that say so empty a cell.
    void operations_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("hex");
        QTest::addColumn<QString>("numbers");
        QTest::addColumn<int>("size"); // SESizeTrans afterwards
        const QByteArray t3("\x11\x22\x33"), one("\x5A");
        QTest::newRow("shrink keeps hidden texts") << t3 << "size 1;size 3" << "11 22 33" << "1 2 3" << 3;
        QTest::newRow("button delete keeps last hidden") << t3 << "del;size 4" << "22 33 33 -" << "1 2 3 4" << 4;
        QTest::newRow("button delete one byte") << one << "del" << "-" << "1" << 1;
        QTest::newRow("menu delete empties last") << t3 << "mdel;size 3" << "22 33 -" << "1 2 3" << 3;
        QTest::newRow("menu delete one byte") << one << "mdel" << "5A" << "1" << 1;
        QTest::newRow("button insert first") << t3 << "ins" << "- 11 22 33" << "1 2 3 4" << 3;
        QTest::newRow("menu insert first") << t3 << "mins" << "- 11 22 33" << "1 2 3 4" << 4;
        QTest::newRow("clear keeps hidden") << t3 << "size 1;clear;size 3" << "- 22 33" << "1 2 3" << 3;
    }
    void operations()
    {
        QFETCH(QByteArray, table);
        QFETCH(QString, steps);
        load(table);
        for (const QString &step : steps.split(u';'))
            act(step);
        QTEST(shown(1), "hex");
        QTEST(shown(0), "numbers");
        QTEST(rig->transmitBar.SESizeTrans->value(), "size");
        // The ASCII row moves with the Hex row, and the table reads as its Hex cells.
        QByteArray expected;
        for (int c = 1; c <= m->dataColumnCount(); ++c) {
            expected += char(HexCellByte(m->hexText(c)));
            QCOMPARE(m->asciiText(c), m->hexText(c).isEmpty() ? QString() : QString(cp1251ToUnicode(expected.back())));
        }
        t->readTableIntoTransmitArray();
        QCOMPARE(t->TransmitArray, expected);
    }

    // A file or a frame can make the table longer than the size field's 8192:
    // the menu command brings the field to its maximum without cutting the
    // table, and cannot number a column through it.
    void menuInsertPastTheSizeField()
    {
        const QByteArray data = QByteArray(5000, 'a') + QByteArray(5000, 'b');
        load(data);
        act("mins");
        QCOMPARE(rig->transmitBar.SESizeTrans->value(), 8192);
        QCOMPARE(t->tableBytes(), QByteArray(1, '\0') + data);
        QCOMPARE(m->numberText(m->dataColumnCount()), QString());
        QCOMPARE(m->numberText(8192), QStringLiteral("8192"));
    }
};

QTEST_MAIN(TstTransmitTable)
#include "tst_transmittable.moc"
