#include "core/bytetext.h"
#include "core/transmittablemodel.h"

#include <QRandomGenerator>
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

    // Loaded bytes are held once: the table and the block read from it share
    // them until a cell changes; exact to the end.
    void loadedBytesShared()
    {
        QByteArray big(10'000'000, Qt::Uninitialized);
        for (qsizetype i = 0; i < big.size(); ++i)
            big[i] = char(i * 7);
        TransmitTableModel m;
        m.setBytes(big);
        QCOMPARE(static_cast<const void *>(m.readBytes().constData()), big.constData());
        QCOMPARE(m.numberText(10'000'000), QStringLiteral("10000000"));
        m.setHexText(5'000'000, "abc");
        const QByteArray read = m.readBytes();
        QCOMPARE(read.at(4'999'999), char(0xBC));
        QCOMPARE(read.at(9'999'999), big.at(9'999'999));
        QCOMPARE(big.at(4'999'999), char(4'999'999 * 7)); // the loaded copy is left alone
    }

    // Random edits, loads, clears and shifts against cells kept as plain
    // strings: texts of both rows and the bytes read agree after every step.
    void matchesPlainCells_data()
    {
        QTest::addColumn<quint32>("salt");
        for (quint32 salt : {1u, 2u, 3u, 4u})
            QTest::newRow(qPrintable(QString::number(salt))) << salt;
    }
    void matchesPlainCells()
    {
        QFETCH(quint32, salt);
        QRandomGenerator rng(salt);
        const QStringList hexPool{"41", "0A", "FF", "4", "1ff", "zz", "", "a1"};
        const QStringList charPool{"A", "\n", "Ё", "z", "AB", "€x", "", "Ж"};
        constexpr int Width = 24;
        QStringList hex(Width + 2), chars(Width + 2);
        TransmitTableModel m;
        m.setDataColumnCount(8);
        for (int step = 0; step < 3000; ++step) {
            const int a = 1 + rng.bounded(Width), b = a + rng.bounded(Width + 1 - a);
            switch (rng.bounded(6)) {
            case 0: m.setHexText(a, hex[a] = hexPool[rng.bounded(hexPool.size())]); break;
            case 1: m.setAsciiText(a, chars[a] = charPool[rng.bounded(charPool.size())]); break;
            case 2: {
                QByteArray bytes(b, Qt::Uninitialized);
                for (int i = 0; i < b; ++i) {
                    bytes[i] = char(rng.bounded(256));
                    hex[i + 1] = hexPair(quint8(bytes[i]));
                    chars[i + 1] = QString(cp1251ToUnicode(quint8(bytes[i])));
                }
                m.setBytes(bytes);
                break;
            }
            case 3:
                m.clearTexts(a, b);
                for (int c = a; c <= b; ++c)
                    hex[c] = chars[c] = QString();
                break;
            case 4:
                m.shiftTextsRight(a, b);
                for (int c = b; c > a; --c)
                    hex[c] = hex[c - 1], chars[c] = chars[c - 1];
                hex[a] = chars[a] = QString();
                break;
            default:
                m.shiftTextsLeft(a, b);
                for (int c = a; c < b; ++c)
                    hex[c] = hex[c + 1], chars[c] = chars[c + 1];
            }
            for (int c = 1; c <= Width; ++c) {
                QCOMPARE(m.hexText(c), hex[c]);
                QCOMPARE(m.asciiText(c), chars[c]);
            }
            const QByteArray read = m.readBytes();
            QCOMPARE(read.size(), m.dataColumnCount());
            for (int c = 1; c <= qMin(Width, m.dataColumnCount()); ++c)
                QCOMPARE(quint8(read[c - 1]), HexCellByte(hex[c]));
        }
    }
};

QTEST_GUILESS_MAIN(TstTransmitTableModel)
#include "tst_transmittablemodel.moc"
