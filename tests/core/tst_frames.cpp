#include "core/frames.h"

#include <QTest>

class TstFrames : public QObject
{
    Q_OBJECT
private slots:
    void frame_data()
    {
        using C = GeneratorCommand;
        using F = GeneratorFields; // pulse, pause, count, divider, packets, pulses and pauses in a packet
        QTest::addColumn<GeneratorCommand>("command");
        QTest::addColumn<GeneratorFields>("fields");
        QTest::addColumn<QByteArray>("frame");
        auto hex = [](const char *h) { return QByteArray::fromHex(h); };
        QTest::newRow("start defaults") << C::StartGen << F{} << hex("FFFFFF0000FFFF");
        QTest::newRow("start ignores divider") << C::StartGen << F{1, 0, 1000, 2} << hex("FFFEFFE803FFFF");
        QTest::newRow("continuous") << C::NeprGener << F{1000, 500, 3} << hex("FE17FC03000BFE");
        QTest::newRow("with divider") << C::NeprSDelit << F{1000, 500, 3, 2} << hex("FC17FC03000BFE02");
        QTest::newRow("stop carries fields") << C::StopGen << F{1000, 500, 3} << hex("0017FC03000BFE");
        QTest::newRow("packets") << C::NPaketov << F{1000, 500, 99, 5, 10, 4, 2} << hex("FB17FC0A000BFE0504000200");
        QTest::newRow("packets continuous")
            << C::PaketNepreryvno << F{1000, 500, 99, 5, 10, 4, 2} << hex("FA17FC0A000BFE0504000200");
        QTest::newRow("duration 65535") << C::StartGen << F{65535, 65535} << hex("FF000000000000");
        QTest::newRow("duration 65536 wraps") << C::StartGen << F{65536, 65536} << hex("FFFFFF0000FFFF");
        QTest::newRow("duration -1") << C::StartGen << F{-1, -1} << hex("FF000000000000");
        QTest::newRow("count 70000") << C::StartGen << F{0, 0, 70000} << hex("FFFFFF7011FFFF");
        QTest::newRow("divider low 8 bits") << C::NeprSDelit << F{0, 0, 0, 0x1FE} << hex("FCFFFF0000FFFFFE");
        QTest::newRow("packet counts wrap")
            << C::PaketNepreryvno << F{0, 0, 0, 1, -1, 65536, 70000} << hex("FAFFFFFFFFFFFF0100007011");
    }
    void frame()
    {
        QFETCH(GeneratorCommand, command);
        QFETCH(GeneratorFields, fields);
        QFETCH(QByteArray, frame);
        QCOMPARE(GeneratorFrame(command, fields).toHex(' '), frame.toHex(' '));
    }

    void numberField_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        // Non-numbers read as the lower bound, here 1.
        for (const auto &[text, value] : {std::pair{"  12 ", 12}, {"-5", -5}, {"+5", 5}, {"0", 0}, {"-2147483648", INT32_MIN},
                                          {"2147483648", 1}, {"99999999999999999999999", 1}, {"", 1}, {"-", 1},
                                          {"1.5", 1}, {"1 2", 1}, {"0x10", 1}, {"\u0663", 1}})
            QTest::addRow("'%s'", text) << QString::fromUtf8(text) << value;
    }
    void numberField()
    {
        QFETCH(QString, text);
        QTEST(readNumberField(text, 1), "value");
    }
};

QTEST_GUILESS_MAIN(TstFrames)
#include "tst_frames.moc"
