#include "generator/frames.h"

#include <QTest>

Q_DECLARE_METATYPE(GeneratorCommand)
Q_DECLARE_METATYPE(GeneratorFields)

namespace {

GeneratorFields fields(qint32 pulse, qint32 count, qint32 pause, qint32 divider = 5, qint32 packets = 0,
                       qint32 qPulse = 1, qint32 qPause = 1)
{
    GeneratorFields f;
    f.LengthPulse = pulse;
    f.CountPulse = count;
    f.LengthPause = pause;
    f.Divider = divider;
    f.NPaketov = packets;
    f.QPulseInPaket = qPulse;
    f.QPauseInPaket = qPause;
    return f;
}

} // namespace

class TstFrames : public QObject
{
    Q_OBJECT
private slots:
    void frame_data()
    {
        using C = GeneratorCommand;
        QTest::addColumn<GeneratorCommand>("command");
        QTest::addColumn<GeneratorFields>("fields");
        QTest::addColumn<QByteArray>("frame");
        auto hex = [](const char *h) { return QByteArray::fromHex(h); };
        const GeneratorFields defaults;
        QTest::newRow("start defaults") << C::StartGen << defaults << hex("FFFFFF0000FFFF");
        QTest::newRow("stop defaults") << C::StopGen << defaults << hex("00FFFF0000FFFF");
        QTest::newRow("continuous") << C::NeprGener << fields(1000, 3, 500) << hex("FE17FC03000BFE");
        QTest::newRow("with divider") << C::NeprSDelit << fields(1000, 3, 500, 2) << hex("FC17FC03000BFE02");
        QTest::newRow("start ignores divider") << C::StartGen << fields(1, 1000, 0, 2) << hex("FFFEFFE803FFFF");
        QTest::newRow("stop carries fields") << C::StopGen << fields(1000, 3, 500) << hex("0017FC03000BFE");
        QTest::newRow("packets")
            << C::NPaketov << fields(1000, 99, 500, 5, 10, 4, 2) << hex("FB17FC0A000BFE0504000200");
        QTest::newRow("packets continuous")
            << C::PaketNepreryvno << fields(1000, 99, 500, 5, 10, 4, 2) << hex("FA17FC0A000BFE0504000200");
        QTest::newRow("packet defaults") << C::NPaketov << defaults << hex("FBFFFF0000FFFF0501000100");
        QTest::newRow("duration 65535") << C::StartGen << fields(65535, 0, 65535) << hex("FF000000000000");
        QTest::newRow("duration 65536 wraps") << C::StartGen << fields(65536, 0, 65536) << hex("FFFFFF0000FFFF");
        QTest::newRow("duration -1") << C::StartGen << fields(-1, 0, -1) << hex("FF000000000000");
        QTest::newRow("duration min int") << C::StartGen << fields(INT32_MIN, 0, 0) << hex("FFFFFF0000FFFF");
        QTest::newRow("count -1") << C::StartGen << fields(0, -1, 0) << hex("FFFFFFFFFFFFFF");
        QTest::newRow("count 70000") << C::StartGen << fields(0, 70000, 0) << hex("FFFFFF7011FFFF");
        QTest::newRow("count max int") << C::StartGen << fields(0, INT32_MAX, 0) << hex("FFFFFFFFFFFFFF");
        QTest::newRow("divider low 8 bits") << C::NeprSDelit << fields(0, 0, 0, 0x1FE) << hex("FCFFFF0000FFFFFE");
        QTest::newRow("divider -1") << C::NeprSDelit << fields(0, 0, 0, -1) << hex("FCFFFF0000FFFFFF");
        QTest::newRow("packet counts wrap")
            << C::PaketNepreryvno << fields(0, 0, 0, 1, -1, 65536, 70000) << hex("FAFFFFFFFFFFFF0100007011");
    }
    void frame()
    {
        QFETCH(GeneratorCommand, command);
        QFETCH(GeneratorFields, fields);
        QFETCH(QByteArray, frame);
        const QByteArray built = GeneratorFrame(command, fields);
        QCOMPARE(built.toHex(' '), frame.toHex(' '));
        QCOMPARE(quint8(built[0]), generatorCode(command));
    }

    void numberField_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("lowerBound");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "12" << 0 << 12;
        QTest::newRow("spaces around") << "  12 " << 0 << 12;
        QTest::newRow("tab") << "\t7" << 1 << 7;
        QTest::newRow("negative") << "-5" << 0 << -5;
        QTest::newRow("plus") << "+5" << 0 << 5;
        QTest::newRow("zero in bounded field") << "0" << 1 << 0;
        QTest::newRow("max") << "2147483647" << 0 << INT32_MAX;
        QTest::newRow("min") << "-2147483648" << 0 << INT32_MIN;
        QTest::newRow("leading zeros") << "0000000000000042" << 0 << 42;
        QTest::newRow("over max") << "2147483648" << 1 << 1;
        QTest::newRow("under min") << "-2147483649" << 1 << 1;
        QTest::newRow("huge") << "99999999999999999999999" << 0 << 0;
        QTest::newRow("empty") << "" << 1 << 1;
        QTest::newRow("spaces only") << "   " << 1 << 1;
        QTest::newRow("sign only") << "-" << 1 << 1;
        QTest::newRow("word") << "abc" << 0 << 0;
        QTest::newRow("fraction") << "1.5" << 1 << 1;
        QTest::newRow("inner space") << "1 2" << 0 << 0;
        QTest::newRow("space after sign") << "- 5" << 0 << 0;
        QTest::newRow("hex") << "0x10" << 0 << 0;
        QTest::newRow("group separator") << "1,000" << 0 << 0;
        QTest::newRow("two signs") << "--5" << 0 << 0;
        QTest::newRow("arabic-indic digit") << QString::fromUtf8("٣") << 1 << 1;
    }
    void numberField()
    {
        QFETCH(QString, text);
        QFETCH(int, lowerBound);
        QFETCH(int, value);
        QCOMPARE(readNumberField(text, lowerBound), value);
    }
};

QTEST_GUILESS_MAIN(TstFrames)
#include "tst_frames.moc"
