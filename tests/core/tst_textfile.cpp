#include "core/commandfile.h"
#include "core/settingsfiles.h"
#include "core/textfile.h"

#include <QTest>

using Commands = QList<Command>;

namespace {

QStringList readAll(const QByteArray &bytes)
{
    TextLineReader reader(bytes);
    QStringList lines;
    while (!reader.atEnd())
        lines << reader.next();
    return lines;
}

QByteArray pairs(int count, int pairsFollowing, const char *tail)
{
    return QByteArray::number(count) + "\n" + QByteArray("a\nb\n").repeated(pairsFollowing) + tail;
}

QByteArray hex(const char *h) { return QByteArray::fromHex(h); }

} // namespace

class TstTextFile : public QObject
{
    Q_OBJECT
private slots:
    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("CR elsewhere dropped, LF alone") << QByteArray("A\rB\r\r\nC\nD") << QStringList{"AB", "C", "D"};
        QTest::newRow("ctrl-Z ends data") << QByteArray("A\x1A" "B\nC") << QStringList{"A"};
        QTest::newRow("3 MB line") << QByteArray(3'000'000, 'x') + "\r\ny" << QStringList{QString(3'000'000, 'x'), "y"};
    }
    void read()
    {
        QFETCH(QByteArray, bytes);
        QTEST(readAll(bytes), "lines");
    }

    // Lines missing at the end read as empty up to the bound; past it the
    // count is taken only when the data holds all its lines.
    void parseCommands_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("rows"); // -1: the list stays as it was
        QTest::addColumn<Commands>("head");
        const int past = kMaxCommandRows + 1;
        QTest::newRow("short file") << QByteArray("3\r\nA\r\n") << 3 << Commands{{"A", ""}, {"", ""}, {"", ""}};
        QTest::newRow("beyond int32") << QByteArray("4294967297\r\nA\r\nB\r\n") << -1 << Commands();
        QTest::newRow("at the bound, one line follows")
            << QByteArray::number(kMaxCommandRows) + "\r\nA\r\n" << kMaxCommandRows << Commands{{"A", ""}};
        QTest::newRow("past the bound, last pair unended") << pairs(past, past - 1, "a\nb") << past << Commands{{"a", "b"}};
        QTest::newRow("past the bound, one line short") << pairs(past, past - 1, "a\n") << -1 << Commands();
        // A code with a line break in it does not shift the commands after it.
        QTest::newRow("line break in a code") << SerializeCommandFile({{"A", "x\ny"}, {"B", "z"}}) << 2
                                              << Commands{{"A", "x y"}, {"B", "z"}};
    }
    void parseCommands()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, rows);
        QFETCH(Commands, head);
        const auto parsed = ParseCommandFile(bytes);
        QCOMPARE(parsed ? int(parsed->size()) : -1, rows);
        if (parsed)
            QCOMPARE(parsed->first(head.size()), head);
    }

    void portRecord()
    {
        const PortSettings com3{"COM3", 19200, 7, 2, 2}, cyrillic{QString::fromUtf8("ПОРТ"), -1, 8, 0, 0};
        for (const auto &[settings, record] : {std::pair{com3, "04434F4D33000000004B000007020200"},
                                               {cyrillic, "04CFCED0D2000000FFFFFFFF08000000"}}) {
            QCOMPARE(EncodePortSettingsRecord(settings).toHex(' '), hex(record).toHex(' '));
            QCOMPARE(DecodePortSettingsRecord(hex(record)), std::optional(settings));
        }
        // Reserved bytes are ignored, a name length above 4 reads 4 (short records: the stress test).
        QCOMPARE(DecodePortSettingsRecord(hex("04434F4D33AABBCC004B0000070202EE")), std::optional(com3));
        QCOMPARE(DecodePortSettingsRecord(hex("FF434F4D3331000080250000 08000000")),
                 std::optional(PortSettings{"COM3", 9600, 8, 0, 0}));
    }

    void viewRecord()
    {
        const ViewSettings v{true,       false,      true,       false,      0x01020300, 0x01020301, 0x01020302, 0x01020303,
                             0x01020304, -1,         0x01020306, 0x01020307, 0x01020308, 0x01020309, INT32_MIN};
        const QByteArray record = EncodeViewSettingsRecord(v);
        QCOMPARE(record.toHex(' '), hex("01 00 01 00"
                                        "00 03 02 01  01 03 02 01  02 03 02 01"
                                        "03 03 02 01  04 03 02 01  FF FF FF FF  06 03 02 01"
                                        "07 03 02 01  08 03 02 01  09 03 02 01  00 00 00 80")
                                        .toHex(' '));
        QCOMPARE(DecodeViewSettingsRecord(record), std::optional<ViewSettings>(v));
    }

    void parseStrings_data()
    {
        QTest::addColumn<QByteArray>("tail"); // after the ten lines and the command line
        QTest::addColumn<QString>("recordName");
        QTest::addColumn<Commands>("commands"); // empty: the list stays as it is
        QTest::addColumn<QString>("rest"); // divider, pulses, pauses, full port name
        QTest::newRow("full") << QByteArray("2\nA\n$41\nB\n42\n3\n100\n200\nCOM10\n") << "COM1"
                              << Commands{{"A", "$41"}, {"B", "42"}} << "3 100 200 COM10";
        QTest::newRow("numbers not numeric") << QByteArray("1\n\n\nx\n\n1.5\n") << "COM1" << Commands{{"", ""}} << "5 1 1 ";
        QTest::newRow("name of another port") << QByteArray("1\nA\nB\n5\n1\n1\nCOM10\n") << "COM2" << Commands{{"A", "B"}}
                                              << "5 1 1 ";
        // A refused count takes only its own line, so what follows is read.
        QTest::newRow("count refused") << QByteArray("x\n3\n100\n200\nCOM1\n") << "COM1" << Commands{} << "3 100 200 COM1";
        QTest::newRow("short name matches") << QByteArray("1\nA\nB\n5\n1\n1\nS0\n") << "S0" << Commands{{"A", "B"}}
                                            << "5 1 1 S0";
    }
    void parseStrings()
    {
        QFETCH(QByteArray, tail);
        QFETCH(QString, recordName);
        QFETCH(Commands, commands);
        const StringsFileContent c =
            ParseStringsFile("L1\r\nL2\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nL10\r\nAT$0D\r\nReset\r\n" + tail, recordName);
        QCOMPARE(c.lines, (QStringList{"L1", "L2", "", "", "", "", "", "", "", "L10"}));
        QCOMPARE(c.leString + c.leLabel, QStringLiteral("AT$0DReset"));
        QCOMPARE(c.commands.has_value(), !commands.isEmpty());
        QCOMPARE(c.commands.value_or(Commands()), commands);
        QTEST(QStringLiteral("%1 %2 %3 %4").arg(c.divider).arg(c.qPulseInPaket).arg(c.qPauseInPaket).arg(c.fullPortName), "rest");
    }

    void stringsRoundTrip()
    {
        StringsFileContent c{{"AB", QString::fromUtf8("Ё"), "", "", "", "", "", "", "", ""}, "$1B", "Reset",
                                   Commands{{"Reset", "$1B"}}, 2, 65535, 1, "ttyUSB0"};
        const QByteArray bytes = SerializeStringsFile(c);
        QCOMPARE(bytes, QByteArray("AB\r\n\xa8\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n$1B\r\nReset\r\n"
                                   "1\r\nReset\r\n$1B\r\n2\r\n65535\r\n1\r\nttyUSB0\r\n"));
        QCOMPARE(ParseStringsFile(bytes, "ttyU"), c);
        // A list longer than any typed by hand comes back whole.
        for (int i = 0; i <= kMaxCommandRows; ++i)
            c.commands->append({QString::number(i), "c"});
        QCOMPARE(ParseStringsFile(SerializeStringsFile(c), "ttyU"), c);
    }
};

QTEST_GUILESS_MAIN(TstTextFile)
#include "tst_textfile.moc"
