#include "core/hdlc.h"

#include <algorithm>

namespace {

constexpr char kFlag = 0x7E;
constexpr char kEscape = 0x7D;

quint16 crc16(const char *bytes, qsizetype count)
{
    quint16 crc = 0x00FF;
    for (qsizetype i = 0; i < count; ++i) {
        crc ^= quint8(bytes[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

} // namespace

quint16 CalcCRC16(const QByteArray &data, qint32 first, qint32 last)
{
    const qint64 from = std::max<qint64>(first, 0);
    const qint64 to = std::min<qint64>(last, qint64(data.size()) - 1);
    if (from > to)
        return 0x00FF;
    return crc16(data.constData() + from, qsizetype(to - from + 1));
}

QByteArray BuildHdlcFrame(const QByteArray &data)
{
    QByteArray body = data;
    const quint16 fcs = crc16(data.constData(), data.size());
    body.append(char(fcs & 0xFF));
    body.append(char(fcs >> 8));

    QByteArray frame;
    frame.reserve(body.size() + body.size() / 8 + 2);
    frame.append(kFlag);
    for (char b : std::as_const(body)) {
        if (b == kFlag || b == kEscape) {
            frame.append(kEscape);
            frame.append(char(quint8(b) & 0xDF));
        } else {
            frame.append(b);
        }
    }
    frame.append(kFlag);
    return frame;
}
