#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QString>
#include <QStringView>

// Byte of a Hex cell: one or more hexadecimal digits whose value fits in
// 32 bits, nothing else around them; the low 8 bits of that value, else 0.
quint8 HexCellByte(QStringView text);

// The three texts of a data column of a byte table: its 1-based number,
// the byte as two upper-case hex digits, the byte as a cp1251 character.
struct ColumnTexts {
    QString number, hex, ascii;
    bool operator==(const ColumnTexts &) const = default;
};
ColumnTexts ByteColumnText(qint64 column, quint8 byte);

QString hexPair(quint8 byte); // "0A"

// Windows-1251, the interface's 8-bit charset. 0x98, unassigned in
// cp1251, stands for U+0098 both ways so that every byte round-trips.
QChar cp1251ToUnicode(quint8 byte);
quint8 unicodeToCp1251(QChar ch);        // '?' when cp1251 lacks it
quint8 unicodeToCp1251(char32_t codePoint);
QString cp1251Decode(QByteArrayView bytes);
// One byte per character (a surrogate pair is one character).
QByteArray cp1251Encode(QStringView text);
