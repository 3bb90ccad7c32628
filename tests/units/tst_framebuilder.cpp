#include "support/unitrig.h"
#include "units/framebuilder.h"
#include "core/hdlc.h"

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
        QCOMPARE(t->tableBytes(), frame);
        QCOMPARE(t->model()->asciiText(1) + t->model()->numberText(int(frame.size())), "~" + QString::number(frame.size()));
        QCOMPARE(rig->transmitBar.SESizeTrans->value(), int(frame.size()));
        QCOMPARE(t->TransmitArray, QByteArray("kept"));
        QVERIFY(rig->port->calls.isEmpty());
    }

    // A table past what the size field counts is framed whole.
    void largeTable()
    {
        const QByteArray data(10000, '\x7E');
        rig->table.showBytes(data);
        builder->SBMakeFrameHDLCClick();
        QCOMPARE(rig->table.tableBytes(), BuildHdlcFrame(data));
        QCOMPARE(rig->transmitBar.SESizeTrans->value(), 8192);
    }
};

QTEST_MAIN(TstFrameBuilder)
#include "tst_framebuilder.moc"
