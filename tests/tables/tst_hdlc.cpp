#include "tables/hdlc.h"

#include <QTest>

namespace {

// Undo a frame independently of the builder: strip flags, unescape.
QByteArray unframe(const QByteArray &frame, bool *ok)
{
    *ok = frame.size() >= 4 && frame.front() == 0x7E && frame.back() == 0x7E;
    QByteArray body;
    for (qsizetype i = 1; *ok && i + 1 < frame.size(); ++i) {
        char b = frame[i];
        if (b == 0x7E)
            *ok = false;
        else if (b == 0x7D) {
            if (i + 2 >= frame.size())
                *ok = false;
            else
                body.append(char(frame[++i] | 0x20));
        } else
            body.append(b);
    }
    return body;
}

} // namespace

class TstHdlc : public QObject
{
    Q_OBJECT
private slots:
    void crc_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("crc");
        QTest::newRow("check value") << QByteArray("123456789") << 0 << 8 << 0x4F78;
        QTest::newRow("inner range") << QByteArray("xx123456789yy") << 2 << 10 << 0x4F78;
        QTest::newRow("empty data") << QByteArray() << 0 << -1 << 0x00FF;
        QTest::newRow("first after last") << QByteArray("abc") << 2 << 1 << 0x00FF;
        QTest::newRow("01 02 03") << QByteArray::fromHex("010203") << 0 << 2 << 0x9120;
        QTest::newRow("53") << QByteArray::fromHex("53") << 0 << 0 << 0x7D00;
        QTest::newRow("56") << QByteArray::fromHex("56") << 0 << 0 << 0x7EC0;
        QTest::newRow("indexes outside") << QByteArray("123456789") << -5 << 100 << 0x4F78;
        QTest::newRow("range wholly outside") << QByteArray("123") << 5 << 9 << 0x00FF;
    }
    void crc()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, crc);
        QCOMPARE(int(CalcCRC16(data, first, last)), crc);
    }

    void frame_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("frame");
        auto hex = [](const char *h) { return QByteArray::fromHex(h); };
        QTest::newRow("01 02 03") << hex("010203") << hex("7E0102032091 7E");
        QTest::newRow("00") << hex("00") << hex("7E0040407E");
        QTest::newRow("FF") << hex("FF") << hex("7EFF00007E");
        QTest::newRow("flag in data") << hex("7E") << hex("7E7D5EC0607E");
        QTest::newRow("escape in data") << hex("7D00") << hex("7E7D5D0060A07E");
        QTest::newRow("escape in FCS") << hex("53") << hex("7E53007D5D7E");
        QTest::newRow("flag in FCS") << hex("56") << hex("7E56C07D5E7E");
        QTest::newRow("digits") << QByteArray("123456789") << hex("7E313233343536373839784F7E");
        QTest::newRow("5E 5D stay") << hex("5E5D") << QByteArray();
        QTest::newRow("empty") << QByteArray() << hex("7EFF007E");
    }
    void frame()
    {
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, frame);
        const QByteArray built = BuildHdlcFrame(data);
        if (!frame.isEmpty())
            QCOMPARE(built.toHex(' '), frame.toHex(' '));
        bool ok = false;
        const QByteArray body = unframe(built, &ok);
        QVERIFY(ok);
        QCOMPARE(body.left(body.size() - 2), data);
        // A reflected CRC without final xor leaves 0 over data plus its FCS.
        QCOMPARE(int(CalcCRC16(body, 0, qint32(body.size()) - 1)), 0);
    }

    void largeFrames_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("fill"); // -1: running bytes 0..255
        QTest::newRow("100000 running") << 100000 << -1;
        QTest::newRow("100000 flags") << 100000 << 0x7E;
        QTest::newRow("100000 escapes") << 100000 << 0x7D;
        QTest::newRow("8193 zeros") << 8193 << 0;
    }
    void largeFrames()
    {
        QFETCH(int, size);
        QFETCH(int, fill);
        QByteArray data(size, char(fill));
        if (fill < 0)
            for (int i = 0; i < size; ++i)
                data[i] = char(i);
        const QByteArray built = BuildHdlcFrame(data);
        bool ok = false;
        const QByteArray body = unframe(built, &ok);
        QVERIFY(ok);
        QCOMPARE(body.left(body.size() - 2), data);
        QCOMPARE(int(CalcCRC16(body, 0, qint32(body.size()) - 1)), 0);
        if (fill == 0x7E || fill == 0x7D)
            QVERIFY(built.size() >= 2 * size + 2);
    }

    // A second build wraps the whole first frame as data.
    void frameOfFrame()
    {
        const QByteArray once = BuildHdlcFrame(QByteArray::fromHex("010203"));
        const QByteArray twice = BuildHdlcFrame(once);
        bool ok = false;
        const QByteArray body = unframe(twice, &ok);
        QVERIFY(ok);
        QCOMPARE(body.left(body.size() - 2), once);
        QCOMPARE(twice.left(3), QByteArray::fromHex("7E7D5E"));
    }
};

QTEST_GUILESS_MAIN(TstHdlc)
#include "tst_hdlc.moc"
