#include "core/lineencoder.h"

#include "core/bytetext.h"

#include <QList>
#include <QString>

quint8 dosFromWindows(quint8 code)
{
    if (code >= 0xC0 && code <= 0xEF)
        return quint8(code - 0x40);
    if (code >= 0xF0)
        return quint8(code - 0x10);
    return code;
}

QByteArray EncodeTransmitLine(QStringView text, Charset charset)
{
    // Walk by characters, not UTF-16 units, so that one character typed
    // outside the BMP is one "?" and never half of an escape.
    const QList<uint> chars = text.toUcs4();
    const qsizetype n = chars.size();
    QByteArray out;
    out.reserve(n);
    qsizetype i = 0;
    while (i < n) {
        const char32_t c = chars[i];
        if (c == '$') {
            if (i + 1 < n && chars[i + 1] == '$') {
                out.append('$');
                i += 2;
            } else if (i + 2 < n) {
                const char32_t pair[2] = {chars[i + 1], chars[i + 2]};
                out.append(char(HexCellByte(QString::fromUcs4(pair, 2))));
                i += 3;
            } else {
                ++i;
            }
            continue;
        }
        const quint8 code = unicodeToCp1251(c);
        out.append(char(charset == Charset::Dos ? dosFromWindows(code) : code));
        ++i;
    }
    return out;
}
