#include "core/celltexts.h"

#include "core/bytetext.h"

#include <array>

namespace celltexts {

namespace {

struct Texts
{
    std::array<QString, 256> hex;
    std::array<QString, 256> chars;
    Texts()
    {
        for (int b = 0; b < 256; ++b) {
            hex[b] = hexPair(quint8(b));
            chars[b] = QString(cp1251ToUnicode(quint8(b)));
        }
    }
};

const Texts &texts()
{
    static const Texts t;
    return t;
}

int upperHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

} // namespace

std::optional<quint8> cp1251Byte(QChar ch)
{
    const quint8 b = unicodeToCp1251(ch);
    if (b == '?' && ch != QLatin1Char('?'))
        return std::nullopt;
    return b;
}

const QString &hexPairText(quint8 byte) { return texts().hex[byte]; }
const QString &charText(quint8 byte) { return texts().chars[byte]; }

std::optional<quint8> canonicalHexPair(QStringView text)
{
    if (text.size() != 2)
        return std::nullopt;
    const int hi = upperHexDigit(text[0]), lo = upperHexDigit(text[1]);
    if (hi < 0 || lo < 0)
        return std::nullopt;
    return quint8(hi << 4 | lo);
}

} // namespace celltexts
