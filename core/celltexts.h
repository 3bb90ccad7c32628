#pragma once

// Cell texts of the byte tables, shared and preallocated so that painting
// millions of cells allocates nothing. The rules themselves are those of
// tables/bytetext.h.

#include <QChar>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

namespace celltexts {

// The cp1251 byte of a character, if cp1251 has it.
std::optional<quint8> cp1251Byte(QChar ch);

const QString &hexPairText(quint8 byte);   // "0A", "FF"
const QString &charText(quint8 byte);      // one character, byte 0 included

// Hex pair as the program writes it ("0A"), as opposed to text typed otherwise.
std::optional<quint8> canonicalHexPair(QStringView text);

} // namespace celltexts
