#include "app/formmain.h"
#include "app/program.h"
#include "app/widgets.h"
#include "support/programfixture.h"
#include "support/fakeserialport.h"
#include "support/recordingprompts.h"
#include "tables/bytetableview.h"
#include "tables/bytetext.h"
#include "tables/transmittable.h"
#include "tables/transmittablemodel.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

// The transmit table on the real window: typing through the cell editor, the
// size field, and the insert, delete and clear commands.
class TstTransmitTable : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    RecordingPrompts m_prompts;
    TFormMain *f = nullptr;
    TransmitTable *t = nullptr;
    TransmitTableModel *m = nullptr;

    QLineEdit *editor(int column, int row) const
    {
        return qobject_cast<QLineEdit *>(f->SGTrans->indexWidget(m->index(row, column)));
    }

    static void sendKey(QWidget *w, QChar key)
    {
        if (key == u'\b')
            QTest::keyClick(w, Qt::Key_Backspace);
        else if (key == u'\x01')
            QTest::keyClick(w, Qt::Key_Home);
        else // keyClicks() would drop characters beyond Latin-1
            QTest::sendKeyEvent(QTest::Click, w, key.unicode() < 0x80 ? Qt::Key(key.toUpper().unicode()) : Qt::Key_unknown,
                                QString(key), Qt::NoModifier);
    }

    // Types into a cell as a user does: the first key on the table opens the
    // editor, the rest go to the editor. After each key, `after` sees the table.
    template <typename After>
    void type(int column, int row, const QString &keys, After after)
    {
        f->SGTrans->setCurrentIndex(m->index(row, column));
        for (int i = 0; i < keys.size(); ++i) {
            QLineEdit *e = editor(column, row);
            sendKey(e ? static_cast<QWidget *>(e) : f->SGTrans, keys[i]);
            after();
        }
    }
    void typeAndCommit(int column, int row, const QString &keys)
    {
        type(column, row, keys, [] {});
        if (QLineEdit *e = editor(column, row))
            QTest::keyClick(e, Qt::Key_Return);
        QTRY_VERIFY(!editor(column, row)); // the delegate closes it from the event loop
    }

    // Runs a script of ";"-separated steps on the window.
    void run(const QString &script)
    {
        for (const QString &step : script.split(u';', Qt::SkipEmptyParts)) {
            const QStringList w = step.split(u' ', Qt::SkipEmptyParts);
            const QString op = w.value(0);
            if (op == u"table") { // size the table and type each byte's Hex cell
                f->SESizeTrans->setValue(int(w.size() - 1));
                for (int c = 1; c < w.size(); ++c)
                    typeAndCommit(c, 1, w[c]);
            } else if (op == u"size") {
                f->SESizeTrans->setValue(w[1].toInt());
            } else if (op == u"typesize") {
                f->SESizeTrans->selectAll();
                QTest::keyClicks(f->SESizeTrans, w[1]);
            } else if (op == u"col") {
                f->SGTrans->setCurrentIndex(m->index(1, w[1].toInt()));
            } else if (op == u"ins") {
                f->SBIns->click();
            } else if (op == u"del") {
                f->SBDel->click();
            } else if (op == u"mins") {
                f->miInsertbyte->trigger();
            } else if (op == u"mdel") {
                f->miDeletebyte->trigger();
            } else if (op == u"clear") {
                f->SBClearTrans->click();
            } else {
                QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
            }
        }
    }

    // Hex texts of the shown columns, "-" for an empty cell.
    QString shownHex() const
    {
        QStringList out;
        for (int c = 1; c <= m->dataColumnCount(); ++c)
            out << (m->hexText(c).isEmpty() ? QStringLiteral("-") : m->hexText(c));
        return out.join(u' ');
    }
    QString shownNumbers() const
    {
        QStringList out;
        for (int c = 1; c <= m->dataColumnCount(); ++c)
            out << m->index(0, c).data().toString();
        return out.join(u' ');
    }

private slots:
    void initTestCase()
    {
        QDir::setCurrent(m_dir.path());
        FakeSerialPort::install();
    }
    void init()
    {
        startFreshProgram();
        f = formMain();
        t = f->transmitTable;
        QVERIFY(t);
        m = t->model();
        QCOMPARE(f->SGTrans->model(), m);
        new QAbstractItemModelTester(m, QAbstractItemModelTester::FailureReportingMode::QtTest, f);
    }

    void startState()
    {
        QCOMPARE(t->TransmitArray, QByteArray(1, '\0'));
        QCOMPARE(t->TransmitCount, 1);
        QCOMPARE(m->columnCount(), 2);
        QCOMPARE(shownHex(), QStringLiteral("-"));
        QCOMPARE(f->SESizeTrans->value(), 1);
    }

    void everyKeystrokeUpdatesTheCompanionCell_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("keys");          // \b backspace, \x01 Home
        QTest::addColumn<QStringList>("companion"); // the other cell after each key
        QTest::addColumn<QString>("cell");          // the typed cell at the end, as typed
        const QString nul(QChar(0));
        QTest::newRow("hex 4 then 41") << 1 << "41" << QStringList{"\x04", "A"} << "41";
        QTest::newRow("hex low 8 bits") << 1 << "1FF" << QStringList{"\x01", "\x1F", "я"} << "1FF";
        QTest::newRow("hex not a number") << 1 << "zz" << QStringList{nul, nul} << "zz";
        QTest::newRow("hex lower case kept") << 1 << "c0" << QStringList{"\x0C", "А"} << "c0";
        QTest::newRow("hex backspace") << 1 << "4A\b" << QStringList{"\x04", "J", "\x04"} << "4";
        QTest::newRow("hex typed mid-text") << 1 << "41\x01" "12" << QStringList{"\x04", "A", "A", "A", "A"}
                                            << "1241";
        QTest::newRow("ascii first char") << 2 << "abc" << QStringList{"61", "61", "61"} << "abc";
        QTest::newRow("ascii emptied") << 2 << "a\b" << QStringList{"61", "00"} << "";
        QTest::newRow("ascii cyrillic") << 2 << "Яz" << QStringList{"DF", "DF"} << "Яz";
        QTest::newRow("ascii not in cp1251") << 2 << "ä" << QStringList{"3F"} << "ä";
        QTest::newRow("ascii euro") << 2 << "€" << QStringList{"88"} << "€";
    }
    void everyKeystrokeUpdatesTheCompanionCell()
    {
        QFETCH(int, row);
        QFETCH(QString, keys);
        QFETCH(QStringList, companion);
        QFETCH(QString, cell);
        f->SESizeTrans->setValue(3);
        const int column = 2;
        QStringList seen;
        QByteArray sentMidEdit;
        type(column, row, keys, [&] {
            seen << (row == 1 ? m->asciiText(column) : m->hexText(column));
            sentMidEdit = t->tableBytes();
        });
        QCOMPARE(seen, companion);
        QVERIFY(editor(column, row)); // still editing
        QCOMPARE(editor(column, row)->text(), cell);
        // A send while the editor is open reads what is typed so far.
        const QString hex = row == 1 ? cell : companion.last();
        QCOMPARE(sentMidEdit, QByteArray("\0", 1) + char(HexCellByte(hex)) + QByteArray("\0", 1));
        QTest::keyClick(editor(column, row), Qt::Key_Return);
        QTRY_VERIFY(!editor(column, row));
        QCOMPARE(row == 1 ? m->hexText(column) : m->asciiText(column), cell);
        QCOMPARE(row == 1 ? m->asciiText(column) : m->hexText(column), companion.last());
        QCOMPARE(t->TransmitArray, QByteArray(1, '\0')); // editing does not touch the block
    }

    void operations_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("hex");     // Hex cells of the shown columns, "-" empty
        QTest::addColumn<QString>("numbers"); // number cells of the shown columns
        QTest::addColumn<int>("size");        // SESizeTrans afterwards
        QTest::newRow("grow a fresh table") << "size 3" << "- - -" << "1 2 3" << 3;
        QTest::newRow("typed size") << "typesize 4" << "- - - -" << "1 2 3 4" << 4;
        QTest::newRow("shrink keeps hidden texts") << "table 11 22 33;size 1;size 3" << "11 22 33" << "1 2 3" << 3;
        QTest::newRow("button delete first") << "table 11 22 33;col 1;del" << "22 33" << "1 2" << 3;
        QTest::newRow("button delete keeps last hidden") << "table 11 22 33;col 1;del;size 4" << "22 33 33 -"
                                                         << "1 2 3 4" << 4;
        QTest::newRow("menu delete first") << "table 11 22 33;col 1;mdel" << "22 33" << "1 2" << 2;
        QTest::newRow("menu delete empties last") << "table 11 22 33;col 1;mdel;size 3" << "22 33 -" << "1 2 3" << 3;
        QTest::newRow("button delete middle") << "table 11 22 33;col 2;del" << "11 33" << "1 2" << 3;
        QTest::newRow("menu delete middle") << "table 11 22 33;col 2;mdel" << "11 33" << "1 2" << 2;
        QTest::newRow("button delete last regrown") << "table 11 22 33;col 3;del;size 4" << "11 22 33 -"
                                                    << "1 2 3 4" << 4;
        QTest::newRow("button size unchanged") << "table 11 22 33;col 3;del;size 3" << "11 22" << "1 2" << 3;
        QTest::newRow("menu delete last regrown") << "table 11 22 33;col 3;mdel;size 3" << "11 22 -" << "1 2 3" << 3;
        QTest::newRow("menu delete one byte") << "table 5A;mdel" << "5A" << "1" << 1;
        QTest::newRow("button delete one byte") << "table 5A;del" << "-" << "1" << 1;
        QTest::newRow("button insert first") << "table 11 22 33;col 1;ins" << "- 11 22 33" << "1 2 3 4" << 3;
        QTest::newRow("menu insert first") << "table 11 22 33;col 1;mins" << "- 11 22 33" << "1 2 3 4" << 4;
        QTest::newRow("insert at last") << "table 11 22 33;col 3;ins" << "11 22 - 33" << "1 2 3 4" << 3;
        QTest::newRow("button insert then size") << "table 11 22 33;col 1;ins;size 5" << "- 11 22 33 -"
                                                 << "1 2 3 4 5" << 5;
        QTest::newRow("clear") << "table 11 22 33;clear" << "-" << "1" << 1;
        QTest::newRow("clear keeps hidden") << "table 11 22 33;size 1;clear;size 3" << "- 22 33" << "1 2 3" << 3;
    }
    void operations()
    {
        QFETCH(QString, script);
        run(script);
        QTEST(shownHex(), "hex");
        QTEST(shownNumbers(), "numbers");
        QTEST(f->SESizeTrans->value(), "size");
        // The ASCII row moves with the Hex row, and the table reads as its Hex cells.
        QByteArray expected;
        for (int c = 1; c <= m->dataColumnCount(); ++c) {
            const quint8 b = HexCellByte(m->hexText(c));
            QCOMPARE(m->asciiText(c), m->hexText(c).isEmpty() ? QString() : QString(cp1251ToUnicode(b)));
            expected += char(b);
        }
        QCOMPARE(t->tableBytes(), expected);
        t->readTableIntoTransmitArray();
        QCOMPARE(t->TransmitArray, expected);
    }

    void clearEmptiesBufferAndFirstLine()
    {
        run(QStringLiteral("table 11 22"));
        f->EditString->setText(QStringLiteral("AT"));
        f->EditString2->setText(QStringLiteral("kept"));
        t->TransmitArray = "xyz";
        t->TransmitCount = 3;
        f->SBClearTrans->click();
        QCOMPARE(t->TransmitArray, QByteArray());
        QCOMPARE(t->TransmitCount, 0);
        QCOMPARE(f->EditString->text(), QString());
        QCOMPARE(f->EditString2->text(), QStringLiteral("kept"));
        QCOMPARE(m->columnCount(), 2);
    }

    // The size field stops at 8192; the menu insert still adds the column but
    // cannot number it through the field, the button numbers it itself.
    void insertBeyondTheSizeLimit_data()
    {
        QTest::addColumn<bool>("menu");
        QTest::addColumn<QString>("number");
        QTest::newRow("menu") << true << "";
        QTest::newRow("button") << false << "8193";
    }
    void insertBeyondTheSizeLimit()
    {
        QFETCH(bool, menu);
        f->SESizeTrans->setValue(8192);
        typeAndCommit(8192, 1, QStringLiteral("7F"));
        f->SGTrans->setCurrentIndex(m->index(1, 1));
        if (menu)
            f->miInsertbyte->trigger();
        else
            f->SBIns->click();
        QCOMPARE(m->dataColumnCount(), 8193);
        QCOMPARE(f->SESizeTrans->value(), 8192);
        QTEST(m->index(0, 8193).data().toString(), "number");
        QCOMPARE(m->hexText(8193), QStringLiteral("7F"));
        QCOMPARE(t->tableBytes().size(), 8193);
    }

    // A loaded file or a frame can make the table longer than the size field
    // goes; the menu commands bring the field to its maximum without cutting
    // the table down to it.
    void menuCommandsKeepALongTable_data()
    {
        QTest::addColumn<bool>("insert");
        QTest::newRow("insert") << true;
        QTest::newRow("delete") << false;
    }
    void menuCommandsKeepALongTable()
    {
        QFETCH(bool, insert);
        QByteArray bytes(10000, Qt::Uninitialized);
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i);
        f->SESizeTrans->setValue(5);
        t->showBytes(bytes);
        f->SGTrans->setCurrentIndex(m->index(1, 1));
        if (insert)
            f->miInsertbyte->trigger();
        else
            f->miDeletebyte->trigger();
        QCOMPARE(f->SESizeTrans->value(), 8192);
        QCOMPARE(t->tableBytes(), insert ? QByteArray(1, '\0') + bytes : bytes.mid(1));
        QCOMPARE(shownNumbers().section(u' ', 8191, 8191), QStringLiteral("8192"));
    }

    void showBytesWritesEveryColumn()
    {
        f->SESizeTrans->setValue(5);
        typeAndCommit(5, 1, QStringLiteral("zz"));
        const QByteArray bytes = QByteArray::fromHex("00 41 ff c0");
        t->showBytes(bytes);
        QCOMPARE(m->columnCount(), 5);
        QCOMPARE(shownHex(), QStringLiteral("00 41 FF C0"));
        QCOMPARE(shownNumbers(), QStringLiteral("1 2 3 4"));
        for (int c = 1; c <= 4; ++c)
            QCOMPARE(m->asciiText(c), ByteColumnText(c, quint8(bytes[c - 1])).ascii);
        QCOMPARE(t->tableBytes(), bytes);
        QCOMPARE(f->SESizeTrans->value(), 5); // the field is the loader's business
    }
};

QTEST_MAIN(TstTransmitTable)
#include "tst_transmittable.moc"
