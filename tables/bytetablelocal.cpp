#include "tables/bytetablelocal.h"

#include <array>

namespace bytetable_local {

namespace {

// Windows-1251, 0x80..0xFF. 0x98 is unassigned; it maps to U+0098 as the
// platform's own conversion does.
constexpr char16_t kCp1251High[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

struct Texts
{
    std::array<QString, 256> hex;
    std::array<QString, 256> chars;
    Texts()
    {
        static const char digits[] = "0123456789ABCDEF";
        for (int b = 0; b < 256; ++b) {
            const QChar pair[2] = {QChar(digits[b >> 4]), QChar(digits[b & 15])};
            hex[b] = QString(pair, 2);
            chars[b] = QString(cp1251Char(quint8(b)));
        }
    }
};

const Texts &texts()
{
    static const Texts t;
    return t;
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

} // namespace

QChar cp1251Char(quint8 byte)
{
    return byte < 0x80 ? QChar(byte) : QChar(kCp1251High[byte - 0x80]);
}

std::optional<quint8> cp1251Byte(QChar ch)
{
    const char16_t u = ch.unicode();
    if (u < 0x80)
        return quint8(u);
    for (int i = 0; i < 128; ++i)
        if (kCp1251High[i] == u)
            return quint8(0x80 + i);
    return std::nullopt;
}

const QString &hexPairText(quint8 byte) { return texts().hex[byte]; }
const QString &charText(quint8 byte) { return texts().chars[byte]; }

quint8 hexCellByte(QStringView text)
{
    if (text.isEmpty())
        return 0;
    quint64 value = 0;
    for (QChar c : text) {
        const int d = hexDigit(c);
        if (d < 0)
            return 0;
        value = (value << 4) | quint64(d);
        if (value > 0xFFFFFFFFull)
            return 0;
    }
    return quint8(value & 0xFF);
}

std::optional<quint8> canonicalHexPair(QStringView text)
{
    if (text.size() != 2)
        return std::nullopt;
    const int hi = hexDigit(text[0]), lo = hexDigit(text[1]);
    if (hi < 0 || lo < 0 || text[0].isLower() || text[1].isLower())
        return std::nullopt;
    return quint8(hi << 4 | lo);
}

} // namespace bytetable_local
