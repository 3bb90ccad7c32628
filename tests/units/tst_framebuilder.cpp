#include "support/programfixture.h"
#include "core/bytetext.h"
#include "core/hdlc.h"
#include "units/transmittable.h"
#include "core/transmittablemodel.h"

#include <QTest>

// The HDLC button rewrites the transmit table in place; the frame itself is tst_hdlc's.
class TstFrameBuilder : public QObject
{
    Q_OBJECT
    ProgramFixture fx;

private slots:
    void init() { fx.start(); }

    void rewritesTable_data()
    {
        QTest::addColumn<QStringList>("hexCells");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("01 02 03") << QStringList{"01", "02", "03"} << QByteArray::fromHex("7E0102032091 7E");
        // Cells as the user left them: read by the Hex rule, never normalised.
        QTest::newRow("untidy cells") << QStringList{"1", "zz", "", "1FF", " 2", "a"}
                                      << BuildHdlcFrame(QByteArray::fromHex("010000FF000A"));
    }
    void rewritesTable()
    {
        QFETCH(QStringList, hexCells);
        QFETCH(QByteArray, frame);
        TransmitTable *t = fx.f->transmitTable;
        fx.f->transmitBar.SESizeTrans->setValue(int(hexCells.size()));
        for (int i = 0; i < hexCells.size(); ++i) {
            t->model()->setHexText(i + 1, hexCells[i]);
            t->model()->setAsciiText(i + 1, "Ж"); // the ASCII row is not read
        }
        t->TransmitArray = "kept";
        fx.f->transmitBar.SBMakeFrameHDLC->click();
        QCOMPARE(t->model()->columnCount(), frame.size() + 1);
        for (int c = 1; c <= frame.size(); ++c) {
            const ColumnTexts want = ByteColumnText(c, quint8(frame[c - 1]));
            QCOMPARE((QStringList{t->model()->numberText(c), t->model()->hexText(c), t->model()->asciiText(c)}),
                     (QStringList{want.number, want.hex, want.ascii}));
        }
        QCOMPARE(fx.f->transmitBar.SESizeTrans->value(), int(frame.size()));
        QCOMPARE(t->TransmitArray, QByteArray("kept"));
        QVERIFY(fx.port->calls.isEmpty());
    }

    // Frames past what the size field counts: the table takes them whole and
    // the field stops at its maximum.
    void largeTable()
    {
        QByteArray data(10000, Qt::Uninitialized);
        for (int i = 0; i < data.size(); ++i)
            data[i] = char(i * 7);
        fx.f->transmitTable->showBytes(data);
        fx.f->transmitBar.SBMakeFrameHDLC->click();
        data = BuildHdlcFrame(data);
        QCOMPARE(fx.f->transmitTable->tableBytes(), data);
        QCOMPARE(fx.f->transmitTable->model()->numberText(int(data.size())), QString::number(data.size()));
        QCOMPARE(fx.f->transmitBar.SESizeTrans->value(), 8192);
    }
};

QTEST_MAIN(TstFrameBuilder)
#include "tst_framebuilder.moc"
