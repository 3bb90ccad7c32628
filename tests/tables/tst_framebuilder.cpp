#include "app/formmain.h"
#include "app/program.h"
#include "app/widgets.h"
#include "support/programfixture.h"
#include "support/fakeserialport.h"
#include "support/recordingprompts.h"
#include "tables/bytetext.h"
#include "tables/hdlc.h"
#include "tables/transmittable.h"
#include "tables/transmittablemodel.h"

#include <QTemporaryDir>
#include <QTest>

class TstFrameBuilder : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    RecordingPrompts m_prompts;
    TFormMain *f = nullptr;
    FakeSerialPort *port = nullptr;

    TransmitTableModel *model() { return f->transmitTable->model(); }

    // What the table shows, row by row, against the texts bytes must give.
    void verifyShows(const QByteArray &bytes)
    {
        TransmitTableModel *m = model();
        QCOMPARE(m->dataColumnCount(), bytes.size());
        QCOMPARE(m->columnCount(), bytes.size() + 1);
        for (int i = 0; i < bytes.size(); ++i) {
            const ColumnTexts want = ByteColumnText(i + 1, quint8(bytes[i]));
            const int c = i + 1;
            QCOMPARE(m->index(0, c).data().toString(), want.number);
            QCOMPARE(m->index(1, c).data().toString(), want.hex);
            QCOMPARE(m->index(2, c).data().toString(), want.ascii);
        }
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
        port = FakeSerialPort::last;
    }

    void rewritesTable_data()
    {
        QTest::addColumn<QStringList>("hexCells");
        QTest::addColumn<QByteArray>("frame");
        auto hex = [](const char *h) { return QByteArray::fromHex(h); };
        QTest::newRow("01 02 03") << QStringList{"01", "02", "03"} << hex("7E0102032091 7E");
        QTest::newRow("flag") << QStringList{"7E"} << hex("7E7D5EC0607E");
        QTest::newRow("escape in FCS") << QStringList{"53"} << hex("7E53007D5D7E");
        // Cells as the user left them: read by the Hex rule, never normalised.
        QTest::newRow("untidy cells") << QStringList{"1", "zz", "", "1FF", " 2", "a"}
                                      << BuildHdlcFrame(hex("010000FF000A"));
    }
    void rewritesTable()
    {
        QFETCH(QStringList, hexCells);
        QFETCH(QByteArray, frame);
        f->SESizeTrans->setValue(int(hexCells.size()));
        TransmitTableModel *m = model();
        for (int i = 0; i < hexCells.size(); ++i) {
            m->setHexText(i + 1, hexCells[i]);
            m->setAsciiText(i + 1, QStringLiteral("Ж")); // the ASCII row is not read
        }
        f->transmitTable->TransmitArray = QByteArray("kept");
        f->transmitTable->TransmitCount = 4;
        port->clearLog();

        f->SBMakeFrameHDLC->click();

        verifyShows(frame);
        QCOMPARE(f->SESizeTrans->value(), int(frame.size()));
        QCOMPARE(f->transmitTable->tableBytes().toHex(' '), frame.toHex(' '));
        QCOMPARE(f->transmitTable->TransmitArray, QByteArray("kept"));
        QCOMPARE(f->transmitTable->TransmitCount, 4);
        QVERIFY(port->calls.isEmpty());
    }

    // Frames past what the size field can count: the table takes them whole,
    // the field stops at its maximum, and a second build wraps the first.
    void largeTables_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("8185") << 8185;
        QTest::newRow("100000") << 100000;
    }
    void largeTables()
    {
        QFETCH(int, size);
        QByteArray data(size, '\0');
        for (int i = 0; i < size; ++i)
            data[i] = char(i * 7);
        f->transmitTable->showBytes(data);

        f->SBMakeFrameHDLC->click();
        const QByteArray once = f->transmitTable->tableBytes();
        QVERIFY(once.size() > 8192);
        QCOMPARE(model()->dataColumnCount(), int(once.size()));
        QCOMPARE(f->SESizeTrans->value(), 8192);
        // Unframe independently: flags, escapes, then data and FCS.
        QCOMPARE(quint8(once.front()), quint8(0x7E));
        QCOMPARE(quint8(once.back()), quint8(0x7E));
        QByteArray body;
        for (qsizetype i = 1; i + 1 < once.size(); ++i)
            body.append(once[i] == 0x7D ? char(once[++i] | 0x20) : once[i]);
        QCOMPARE(body.size(), size + 2);
        QVERIFY(body.first(size) == data);
        const int last = int(once.size());
        QCOMPARE(model()->index(0, last).data().toString(), QString::number(last));
        QCOMPARE(model()->index(1, last).data().toString(), QStringLiteral("7E"));

        f->SBMakeFrameHDLC->click();
        const QByteArray twice = f->transmitTable->tableBytes();
        QVERIFY(twice.size() > once.size() + 4);
        QCOMPARE(twice.mid(0, 3), QByteArray::fromHex("7E7D5E"));
        QCOMPARE(f->SESizeTrans->value(), 8192);
    }
};

QTEST_MAIN(TstFrameBuilder)
#include "tst_framebuilder.moc"
