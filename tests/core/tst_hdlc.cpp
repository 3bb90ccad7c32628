#include "core/hdlc.h"

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
        QTest::newRow("first after last") << QByteArray("abc") << 2 << 1 << 0x00FF;
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
        QTest::addColumn<QByteArray>("frame"); // empty: only undone and checked
        // Flags and escapes in data and in the FCS; 5E and 5D stay as they are.
        for (const auto &[data, frame] : {std::pair{"010203", "7E0102032091 7E"}, {"", "7EFF007E"}, {"7E", "7E7D5EC0607E"},
                                          {"7D00", "7E7D5D0060A07E"}, {"53", "7E53007D5D7E"}, {"56", "7E56C07D5E7E"},
                                          {"5E5D", ""}})
            QTest::addRow("'%s'", data) << QByteArray::fromHex(data) << QByteArray::fromHex(frame);
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
