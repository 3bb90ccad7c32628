#include "app/settingsfiles.h"

#include <QTest>

using Commands = QList<Command>;
Q_DECLARE_METATYPE(Commands)
Q_DECLARE_METATYPE(PortSettings)

namespace {

PortSettings port(const QString &name, qint32 baud, int size, int parity, int stop)
{
    PortSettings s;
    s.PortName = name;
    s.BaudRate = baud;
    s.ByteSize = quint8(size);
    s.Parity = quint8(parity);
    s.StopBits = quint8(stop);
    return s;
}

QByteArray hex(const char *h)
{
    return QByteArray::fromHex(h);
}

QStringList tenLines(const QStringList &first = {})
{
    QStringList lines = first;
    while (lines.size() < 10)
        lines << QString();
    return lines;
}

} // namespace

class TstSettingsFiles : public QObject
{
    Q_OBJECT
private slots:
    void portEncode_data()
    {
        QTest::addColumn<PortSettings>("settings");
        QTest::addColumn<QByteArray>("record");
        QTest::newRow("COM3 19200 7 even 2") << port("COM3", 19200, 7, 2, 2)
                                             << hex("04434F4D3300000000 4B0000 07020200");
        QTest::newRow("defaults") << PortSettings() << hex("04434F4D3100000080250000 08000000");
        QTest::newRow("five chars cut") << port("COM10", 9600, 8, 0, 0) << hex("04434F4D3100000080250000 08000000");
        QTest::newRow("short name") << port("S0", 110, 5, 4, 1) << hex("02533000000000006E000000 05040100");
        QTest::newRow("empty name") << port("", 256000, 8, 1, 0) << hex("000000000000000000E80300 08010000");
        QTest::newRow("cyrillic name") << port(QString::fromUtf8("ПОРТ1"), -1, 8, 0, 0)
                                       << hex("04CFCED0D2000000FFFFFFFF 08000000");
    }
    void portEncode()
    {
        QFETCH(PortSettings, settings);
        QFETCH(QByteArray, record);
        QCOMPARE(EncodePortSettingsRecord(settings).toHex(' '), record.toHex(' '));
    }

    void portDecode_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<bool>("read");
        QTest::addColumn<PortSettings>("settings");
        QTest::newRow("COM3") << hex("04434F4D3300000000 4B0000 07020200") << true << port("COM3", 19200, 7, 2, 2);
        QTest::newRow("reserved ignored") << hex("04434F4D33AABBCC004B0000070202EE") << true << port("COM3", 19200, 7, 2, 2);
        QTest::newRow("length above 4") << hex("FF434F4D3331000080250000 08000000") << true << port("COM3", 9600, 8, 0, 0);
        QTest::newRow("length 2") << hex("02434F4D3300000080250000 08000000") << true << port("CO", 9600, 8, 0, 0);
        QTest::newRow("longer file") << hex("04434F4D3100000080250000 08000000 DEADBEEF") << true << PortSettings();
        QTest::newRow("one byte short") << hex("04434F4D3100000080250000 080000") << false << PortSettings();
        QTest::newRow("empty") << QByteArray() << false << PortSettings();
        QTest::newRow("cp1251 name") << hex("03CFCED00000000000C20100 08000000") << true
                                     << port(QString::fromUtf8("ПОР"), 115200, 8, 0, 0);
    }
    void portDecode()
    {
        QFETCH(QByteArray, record);
        QFETCH(bool, read);
        QFETCH(PortSettings, settings);
        const auto decoded = DecodePortSettingsRecord(record);
        QCOMPARE(decoded.has_value(), read);
        if (read)
            QCOMPARE(*decoded, settings);
    }

    void viewRecord()
    {
        ViewSettings v;
        v.asciiEntry = true;
        v.appendCr = false;
        v.textWindowOn = true;
        v.showReceiveTable = false;
        qint32 *numbers[] = {&v.lengthPulse, &v.lengthPause, &v.countPulse, &v.mainWidth,
                             &v.mainHeight,  &v.mainTop,     &v.mainLeft,   &v.textWidth,
                             &v.textHeight,  &v.textTop,     &v.textLeft};
        for (int i = 0; i < 11; ++i)
            *numbers[i] = 0x01020300 + i;
        v.mainTop = -1;
        v.textLeft = INT32_MIN;
        const QByteArray record = EncodeViewSettingsRecord(v);
        QCOMPARE(record.toHex(' '), hex("01 00 01 00"
                                        "00 03 02 01  01 03 02 01  02 03 02 01"
                                        "03 03 02 01  04 03 02 01  FF FF FF FF  06 03 02 01"
                                        "07 03 02 01  08 03 02 01  09 03 02 01  00 00 00 80")
                                        .toHex(' '));
        QCOMPARE(DecodeViewSettingsRecord(record), std::optional<ViewSettings>(v));
    }

    void viewDecode_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<bool>("read");
        QTest::addColumn<int>("flags"); // bit per flag, ASCII entry first
        QTest::addColumn<int>("textLeft");
        const QByteArray zeros(44, '\0');
        QTest::newRow("any non-zero is true") << hex("02FF8000") + zeros << true << 0b0111 << 0;
        QTest::newRow("all false") << hex("00000000") + zeros << true << 0 << 0;
        QTest::newRow("longer file") << hex("01010101") + QByteArray(40, '\0') + hex("2A000000 FFFF") << true
                                     << 0b1111 << 42;
        QTest::newRow("one byte short") << hex("01010101") + QByteArray(43, '\0') << false << 0 << 0;
        QTest::newRow("empty") << QByteArray() << false << 0 << 0;
    }
    void viewDecode()
    {
        QFETCH(QByteArray, record);
        QFETCH(bool, read);
        QFETCH(int, flags);
        QFETCH(int, textLeft);
        const auto v = DecodeViewSettingsRecord(record);
        QCOMPARE(v.has_value(), read);
        if (!read)
            return;
        QCOMPARE(v->asciiEntry, bool(flags & 1));
        QCOMPARE(v->appendCr, bool(flags & 2));
        QCOMPARE(v->textWindowOn, bool(flags & 4));
        QCOMPARE(v->showReceiveTable, bool(flags & 8));
        QCOMPARE(v->textLeft, textLeft);
    }

    void parseStrings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("recordName");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("listChanges");
        QTest::addColumn<Commands>("commands");
        QTest::addColumn<QList<int>>("numbers"); // divider, pulses, pauses
        QTest::addColumn<QString>("fullName");

        const QByteArray head = "L1\r\nL2\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nL10\r\nAT$0D\r\nReset\r\n";
        const QStringList lines = tenLines({"L1", "L2", "", "", "", "", "", "", "", "L10"});
        QTest::newRow("empty file") << QByteArray() << "COM1" << tenLines() << false << Commands()
                                    << QList<int>{5, 1, 1} << "";
        QTest::newRow("full") << head + "2\r\nA\r\n$41\r\nB\r\n42\r\n3\r\n100\r\n200\r\nCOM10\r\n" << "COM1" << lines
                              << true << Commands{{"A", "$41"}, {"B", "42"}} << QList<int>{3, 100, 200} << "COM10";
        QTest::newRow("without name line") << head + "1\r\nA\r\nB\r\n3\r\n100\r\n200\r\n" << "COM1" << lines << true
                                           << Commands{{"A", "B"}} << QList<int>{3, 100, 200} << "";
        QTest::newRow("zero count") << head + "0\r\n4\r\n7\r\n8\r\n" << "COM1" << lines << false << Commands()
                                    << QList<int>{4, 7, 8} << "";
        QTest::newRow("count not a number") << head + "many\r\n4\r\n7\r\n8\r\n" << "COM1" << lines << false
                                            << Commands() << QList<int>{4, 7, 8} << "";
        QTest::newRow("count too large") << head + "100001\r\n4\r\n7\r\n8\r\n" << "COM1" << lines << false
                                         << Commands() << QList<int>{4, 7, 8} << "";
        QTest::newRow("numbers not clamped") << head + "1\r\n\r\n\r\n9\r\n0\r\n-3\r\n" << "COM1" << lines << true
                                             << Commands{{"", ""}} << QList<int>{9, 0, -3} << "";
        QTest::newRow("numbers not numeric") << head + "1\r\n\r\n\r\nx\r\n\r\n1.5\r\n" << "COM1" << lines << true
                                             << Commands{{"", ""}} << QList<int>{5, 1, 1} << "";
        QTest::newRow("stops inside commands") << head + "2\r\nA\r\n" << "COM1" << lines << true
                                               << Commands{{"A", ""}, {"", ""}} << QList<int>{5, 1, 1} << "";
        QTest::newRow("LF only") << QByteArray(head).replace("\r\n", "\n") + "1\nA\nB\n2\n3\n4\nttyUSB0" << "ttyU"
                                 << lines << true << Commands{{"A", "B"}} << QList<int>{2, 3, 4} << "ttyUSB0";
        QTest::newRow("name of another port") << head + "1\r\nA\r\nB\r\n5\r\n1\r\n1\r\nCOM10\r\n" << "COM2" << lines
                                              << true << Commands{{"A", "B"}} << QList<int>{5, 1, 1} << "";
        QTest::newRow("name longer than record") << head + "1\r\nA\r\nB\r\n5\r\n1\r\n1\r\nCOM10\r\n" << "CO" << lines
                                                 << true << Commands{{"A", "B"}} << QList<int>{5, 1, 1} << "";
        QTest::newRow("short name matches") << head + "1\r\nA\r\nB\r\n5\r\n1\r\n1\r\nS0\r\n" << "S0" << lines << true
                                            << Commands{{"A", "B"}} << QList<int>{5, 1, 1} << "S0";
        QTest::newRow("cp1251") << QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2\r\n") << "COM1"
                                << tenLines({QString::fromUtf8("Привет")}) << false << Commands()
                                << QList<int>{5, 1, 1} << "";
    }
    void parseStrings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, recordName);
        QFETCH(QStringList, lines);
        QFETCH(bool, listChanges);
        QFETCH(Commands, commands);
        QFETCH(QList<int>, numbers);
        QFETCH(QString, fullName);
        const StringsFileContent c = ParseStringsFile(bytes, recordName);
        QCOMPARE(c.lines, lines);
        if (!bytes.isEmpty() && bytes.contains("Reset")) {
            QCOMPARE(c.leString, QStringLiteral("AT$0D"));
            QCOMPARE(c.leLabel, QStringLiteral("Reset"));
        }
        QCOMPARE(c.commands.has_value(), listChanges);
        if (listChanges)
            QCOMPARE(*c.commands, commands);
        QCOMPARE((QList<int>{c.divider, c.qPulseInPaket, c.qPauseInPaket}), numbers);
        QCOMPARE(c.fullPortName, fullName);
    }

    void serializeStrings()
    {
        StringsFileContent c;
        c.lines = QStringList{"AB", QString::fromUtf8("Ё")};
        c.leString = "$1B";
        c.leLabel = "Reset";
        c.commands = Commands{{"Reset", "$1B"}};
        c.divider = 2;
        c.qPulseInPaket = 65535;
        c.qPauseInPaket = 1;
        c.fullPortName = "ttyUSB0";
        const QByteArray bytes = SerializeStringsFile(c);
        QCOMPARE(bytes, QByteArray("AB\r\n\xa8\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n$1B\r\nReset\r\n"
                                   "1\r\nReset\r\n$1B\r\n2\r\n65535\r\n1\r\nttyUSB0\r\n"));
        StringsFileContent expected = c;
        expected.lines = tenLines(c.lines);
        QCOMPARE(ParseStringsFile(bytes, "ttyU"), expected);

        // An absent list is written as a count of 0 and reads back absent.
        c.commands.reset();
        expected.commands.reset();
        QCOMPARE(ParseStringsFile(SerializeStringsFile(c), "ttyU"), expected);
    }
};

QTEST_GUILESS_MAIN(TstSettingsFiles)
#include "tst_settingsfiles.moc"
