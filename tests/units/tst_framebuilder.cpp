#include "support/unitrig.h"
#include "units/framebuilder.h"
#include "core/hdlc.h"

#include <QTest>

// The HDLC button rewrites the transmit table in place; the frame itself is tst_frames'.
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

    // Cells as the user left them: read by the Hex rule, never normalised;
    // the ASCII row is not read. TransmitArray stays.
    void rewritesTable()
    {
        TransmitTable *t = &rig->table;
        const QStringList cells{"1", "2", "103"};
        rig->transmitBar.SESizeTrans->setValue(int(cells.size()));
        for (int i = 0; i < cells.size(); ++i) {
            t->model()->setHexText(i + 1, cells[i]);
            t->model()->setAsciiText(i + 1, "Ж");
        }
        t->TransmitArray = "kept";
        builder->SBMakeFrameHDLCClick();
        const QByteArray frame = QByteArray::fromHex("7E0102032091 7E");
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
