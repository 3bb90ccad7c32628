#include "core/settingsfiles.h"

#include "core/bytetext.h"
#include "core/textfile.h"

#include <QtEndian>

namespace {

constexpr int kTransmitLines = 10;
constexpr qsizetype kNameCapacity = 4;

void putInt32(QByteArray &record, qsizetype offset, qint32 value)
{
    qToLittleEndian<qint32>(value, record.data() + offset);
}

qint32 getInt32(QByteArrayView record, qsizetype offset)
{
    return qFromLittleEndian<qint32>(record.data() + offset);
}

} // namespace

QByteArray EncodePortSettingsRecord(const PortSettings &s)
{
    QByteArray record(kPortSettingsRecordSize, '\0');
    const QByteArray name = cp1251Encode(s.PortName).left(kNameCapacity);
    record[0] = char(name.size());
    record.replace(1, name.size(), name);
    putInt32(record, 8, s.BaudRate);
    record[12] = char(s.ByteSize);
    record[13] = char(s.Parity);
    record[14] = char(s.StopBits);
    return record;
}

std::optional<PortSettings> DecodePortSettingsRecord(QByteArrayView bytes)
{
    if (bytes.size() < kPortSettingsRecordSize)
        return std::nullopt;
    PortSettings s;
    const qsizetype length = std::min<qsizetype>(quint8(bytes[0]), kNameCapacity);
    s.PortName = cp1251Decode(bytes.sliced(1, length));
    s.BaudRate = getInt32(bytes, 8);
    s.ByteSize = quint8(bytes[12]);
    s.Parity = quint8(bytes[13]);
    s.StopBits = quint8(bytes[14]);
    return s;
}

QByteArray EncodeViewSettingsRecord(const ViewSettings &v)
{
    QByteArray record(kViewSettingsRecordSize, '\0');
    record[0] = v.asciiEntry ? 1 : 0;
    record[1] = v.appendCr ? 1 : 0;
    record[2] = v.textWindowOn ? 1 : 0;
    record[3] = v.showReceiveTable ? 1 : 0;
    const qint32 numbers[] = {v.lengthPulse, v.lengthPause, v.countPulse, v.mainWidth,
                              v.mainHeight,  v.mainTop,     v.mainLeft,   v.textWidth,
                              v.textHeight,  v.textTop,     v.textLeft};
    qsizetype offset = 4;
    for (qint32 n : numbers) {
        putInt32(record, offset, n);
        offset += 4;
    }
    return record;
}

std::optional<ViewSettings> DecodeViewSettingsRecord(QByteArrayView bytes)
{
    if (bytes.size() < kViewSettingsRecordSize)
        return std::nullopt;
    ViewSettings v;
    v.asciiEntry = bytes[0] != 0;
    v.appendCr = bytes[1] != 0;
    v.textWindowOn = bytes[2] != 0;
    v.showReceiveTable = bytes[3] != 0;
    qint32 *numbers[] = {&v.lengthPulse, &v.lengthPause, &v.countPulse, &v.mainWidth,
                         &v.mainHeight,  &v.mainTop,     &v.mainLeft,   &v.textWidth,
                         &v.textHeight,  &v.textTop,     &v.textLeft};
    qsizetype offset = 4;
    for (qint32 *n : numbers) {
        *n = getInt32(bytes, offset);
        offset += 4;
    }
    return v;
}

StringsFileContent ParseStringsFile(const QByteArray &bytes, const QString &recordPortName)
{
    TextLineReader reader(bytes);
    StringsFileContent c;
    for (int i = 0; i < kTransmitLines; ++i)
        c.lines << reader.next();
    c.leString = reader.next();
    c.leLabel = reader.next();
    c.commands = ReadCommandBlock(reader);
    c.divider = parseDecimalLine(reader.next()).value_or(5);
    c.qPulseInPaket = parseDecimalLine(reader.next()).value_or(1);
    c.qPauseInPaket = parseDecimalLine(reader.next()).value_or(1);
    if (!reader.atEnd()) {
        // Trusted only when the record holds exactly its first characters:
        // otherwise the two files come from different runs.
        const QString name = reader.next();
        if (name.left(kNameCapacity) == recordPortName)
            c.fullPortName = name;
    }
    return c;
}

QByteArray SerializeStringsFile(const StringsFileContent &c)
{
    QStringList lines = c.lines.mid(0, kTransmitLines);
    while (lines.size() < kTransmitLines)
        lines << QString();
    lines << c.leString << c.leLabel;
    lines << CommandBlockLines(c.commands.value_or(QList<Command>()));
    lines << QString::number(c.divider) << QString::number(c.qPulseInPaket) << QString::number(c.qPauseInPaket);
    lines << c.fullPortName;
    return WriteTextLines(lines);
}
