#include "core/transmittablemodel.h"

#include <QSignalSpy>
#include <QTest>

// The editing semantics are tested on the real widget (tst_transmittable);
// here the model's own contract.
class TstTransmitTableModel : public QObject
{
    Q_OBJECT
private slots:
    // Cells keep their text as typed; only user edits of Hex and ASCII cells count.
    void edits()
    {
        TransmitTableModel m;
        m.setDataColumnCount(3);
        QSignalSpy edited(&m, &TransmitTableModel::cellEdited);
        QVERIFY(m.setData(m.index(1, 2), "1ff")); // kept as typed, read by the hex rule
        QCOMPARE(m.hexText(2), QStringLiteral("1ff"));
        QCOMPARE(m.readBytes().at(1), char(0xFF));
        QVERIFY(!m.setData(m.index(0, 1), "9")); // numbers and headers are not edited
        QVERIFY(!m.setData(m.index(1, 0), "x"));
        m.setAsciiText(3, QStringLiteral("z")); // program writes are not edits
        QCOMPARE(edited.count(), 1);
        QCOMPARE(edited.at(0), (QList<QVariant>{2, 1, QString("1ff")}));
    }

    // Ten million bytes take no per-cell strings (timed in bench/): exact to the end.
    void tenMillionBytes()
    {
        QByteArray big(10'000'000, Qt::Uninitialized);
        for (qsizetype i = 0; i < big.size(); ++i)
            big[i] = char(i * 7);
        TransmitTableModel m;
        m.setBytes(big);
        QCOMPARE(m.readBytes(), big);
        QCOMPARE(m.numberText(10'000'000), QStringLiteral("10000000"));
        m.setHexText(5'000'000, "abc");
        QCOMPARE(m.readBytes().at(4'999'999), char(0xBC));
    }
};

QTEST_GUILESS_MAIN(TstTransmitTableModel)
#include "tst_transmittablemodel.moc"
