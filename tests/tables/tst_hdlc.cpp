#include "tables/hdlc.h"

#include <QTest>

namespace {

// Undoes a frame independently of the builder: strips the flags, unescapes.
QByteArray unframe(const QByteArray &frame, bool *ok)
{
    *ok = frame.size() >= 4 && frame.front() == 0x7E && frame.back() == 0x7E;
    QByteArray body;
    for (qsizetype i = 1; *ok && i + 1 < frame.size(); ++i) {
        if (frame[i] == 0x7E || (frame[i] == 0x7D && i + 2 >= frame.size()))
            *ok = false;
        else
            body.append(frame[i] == 0x7D ? char(frame[++i] | 0x20) : frame[i]);
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
        QTest::newRow("indexes outside") << QByteArray("123456789") << -5 << 100 << 0x4F78;
        QTest::newRow("empty data") << QByteArray() << 0 << -1 << 0x00FF;
        QTest::newRow("first after last") << QByteArray("abc") << 2 << 1 << 0x00FF;
        QTest::newRow("range wholly outside") << QByteArray("123") << 5 << 9 << 0x00FF;
    }
    void crc()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, first);
        QFETCH(int, last);
        QTEST(int(CalcCRC16(data, first, last)), "crc");
    }

    void frame_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("frame"); // empty: only checked by undoing it
        auto hex = [](const char *h) { return QByteArray::fromHex(h); };
        QTest::newRow("01 02 03") << hex("010203") << hex("7E0102032091 7E");
        QTest::newRow("empty") << QByteArray() << hex("7EFF007E");
        QTest::newRow("flag in data") << hex("7E") << hex("7E7D5EC0607E");
        QTest::newRow("escape in data") << hex("7D00") << hex("7E7D5D0060A07E");
        QTest::newRow("escape in FCS") << hex("53") << hex("7E53007D5D7E");
        QTest::newRow("flag in FCS") << hex("56") << hex("7E56C07D5E7E");
        QTest::newRow("5E 5D stay") << hex("5E5D") << QByteArray();
        QByteArray running(100000, 0);
        for (int i = 0; i < running.size(); ++i)
            running[i] = char(i);
        QTest::newRow("100000 running bytes") << running << QByteArray();
        QTest::newRow("100000 flags") << QByteArray(100000, 0x7E) << QByteArray();
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
};

QTEST_GUILESS_MAIN(TstHdlc)
#include "tst_hdlc.moc"
