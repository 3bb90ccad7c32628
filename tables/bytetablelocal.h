#pragma once

// Cell-text rules used by the byte-table models until the shared byte-text
// unit is available; kept in their own namespace so that unit can replace them.

#include <QChar>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

namespace bytetable_local {

QChar cp1251Char(quint8 byte);
// The cp1251 byte of a character, if cp1251 has it.
std::optional<quint8> cp1251Byte(QChar ch);

// Shared, preallocated texts: looking them up allocates nothing.
const QString &hexPairText(quint8 byte);   // "0A", "FF"
const QString &charText(quint8 byte);      // one character, byte 0 included

// The byte a Hex cell's text stands for: 1+ hex digits whose value fits in
// 32 bits, low 8 bits kept; any other text gives 0.
quint8 hexCellByte(QStringView text);

// Hex pair written by the program ("0A"), as opposed to text typed otherwise.
std::optional<quint8> canonicalHexPair(QStringView text);

} // namespace bytetable_local
