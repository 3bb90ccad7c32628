#include "core/frames.h"
#include "core/hdlc.h"

#include <QTest>

namespace {

// Undoes an HDLC frame independently of the builder: strips the flags, unescapes.
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

class TstFrames : public QObject
{
    Q_OBJECT
private slots:
    void generator_data()
    {
        using C = GeneratorCommand;
        using F = GeneratorFields; // pulse, pause, count, divider, packets, pulses and pauses in a packet
        QTest::addColumn<GeneratorCommand>("command");
        QTest::addColumn<GeneratorFields>("fields");
        QTest::addColumn<QByteArray>("frame");
        auto hex = [](const char *h) { return QByteArray::fromHex(h); };
        QTest::newRow("start ignores divider, durations wrap") << C::StartGen << F{65537, 65536, 1000, 2} << hex("FFFEFFE803FFFF");
        QTest::newRow("continuous") << C::NeprGener << F{1000, 500, 3} << hex("FE17FC03000BFE");
        QTest::newRow("divider low 8 bits") << C::NeprSDelit << F{1000, 500, 3, 0x102} << hex("FC17FC03000BFE02");
        QTest::newRow("packets") << C::NPaketov << F{1000, 500, 99, 5, 10, 4, 2} << hex("FB17FC0A000BFE0504000200");
        QTest::newRow("packet counts wrap")
            << C::PaketNepreryvno << F{0, 0, 0, 1, -1, 65536, 70000} << hex("FAFFFFFFFFFFFF0100007011");
    }
    void generator()
    {
        QFETCH(GeneratorCommand, command);
        QFETCH(GeneratorFields, fields);
        QFETCH(QByteArray, frame);
        QCOMPARE(GeneratorFrame(command, fields).toHex(' '), frame.toHex(' '));
    }

    void hdlc_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("frame"); // empty: only undone and checked
        // Flags and escapes in data and in the FCS; 5E and 5D stay as they are.
        for (const auto &[data, frame] : {std::pair{"010203", "7E0102032091 7E"}, {"", "7EFF007E"}, {"7E", "7E7D5EC0607E"},
                                          {"7D00", "7E7D5D0060A07E"}, {"53", "7E53007D5D7E"}, {"56", "7E56C07D5E7E"},
                                          {"5E5D", ""}})
            QTest::addRow("'%s'", data) << QByteArray::fromHex(data) << QByteArray::fromHex(frame);
    }
    void hdlc()
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
        // A reflected CRC without final xor leaves 0 over data plus its FCS;
        // the range is cut to the data.
        QCOMPARE(int(CalcCRC16(body, -5, qint32(body.size()) + 100)), 0);
    }
};

QTEST_GUILESS_MAIN(TstFrames)
#include "tst_frames.moc"
