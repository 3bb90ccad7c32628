#pragma once

#include <QByteArray>
#include <QStringView>

enum class Charset { Windows, Dos };

// The DOS option: cp1251 Cyrillic letters moved to their cp866 places
// (А..п 0xC0-0xEF -> 0x80-0xAF, р..я 0xF0-0xFF -> 0xE0-0xEF); all other
// codes, Ё and ё included, pass unchanged.
quint8 dosFromWindows(quint8 code);

// Bytes of a transmit text line with its "$" escapes: "$$" is "$", "$hh" a
// byte by the Hex-cell rule (charset not applied), a "$" with fewer than two
// characters after it gives nothing. No CR LF is appended here.
QByteArray EncodeTransmitLine(QStringView text, Charset charset);
