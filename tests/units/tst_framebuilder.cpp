#include "support/unitrig.h"
#include "units/framebuilder.h"
#include "core/bytetext.h"
#include "core/hdlc.h"
#include "units/transmittable.h"
#include "core/transmittablemodel.h"

#include <QTest>

// The HDLC button rewrites the transmit table in place; the frame itself is tst_hdlc's.
class TstFrameBuilder : public QObject
{
    Q_OBJECT
    std::unique_ptr<UnitRig> rig;
    std::unique_ptr<FrameBuilder> builder;

private slots:
    void init()
    {
        rig = std::make_unique<UnitRig>();
        builder = std::make_unique<FrameBuilder>(&rig->table);
    }

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
        TransmitTable *t = &rig->table;
        rig->transmitBar.SESizeTrans->setValue(int(hexCells.size()));
        for (int i = 0; i < hexCells.size(); ++i) {
            t->model()->setHexText(i + 1, hexCells[i]);
            t->model()->setAsciiText(i + 1, "Ж"); // the ASCII row is not read
        }
        t->TransmitArray = "kept";
        builder->SBMakeFrameHDLCClick();
        QCOMPARE(t->model()->columnCount(), frame.size() + 1);
        for (int c = 1; c <= frame.size(); ++c) {
            const ColumnTexts want = ByteColumnText(c, quint8(frame[c - 1]));
            QCOMPARE((QStringList{t->model()->numberText(c), t->model()->hexText(c), t->model()->asciiText(c)}),
                     (QStringList{want.number, want.hex, want.ascii}));
        }
        QCOMPARE(rig->transmitBar.SESizeTrans->value(), int(frame.size()));
        QCOMPARE(t->TransmitArray, QByteArray("kept"));
        QVERIFY(rig->port->calls.isEmpty());
    }

    // Frames past what the size field counts: the table takes them whole and
    // the field stops at its maximum.
    void largeTable()
    {
        QByteArray data(10000, Qt::Uninitialized);
        for (int i = 0; i < data.size(); ++i)
            data[i] = char(i * 7);
        rig->table.showBytes(data);
        builder->SBMakeFrameHDLCClick();
        data = BuildHdlcFrame(data);
        QCOMPARE(rig->table.tableBytes(), data);
        QCOMPARE(rig->table.model()->numberText(int(data.size())), QString::number(data.size()));
        QCOMPARE(rig->transmitBar.SESizeTrans->value(), 8192);
    }
};

QTEST_MAIN(TstFrameBuilder)
#include "tst_framebuilder.moc"
