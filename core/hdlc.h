#pragma once

#include <QByteArray>

// CRC-16 over data[first..last] (inclusive): reflected polynomial 0xA001,
// initial value 0x00FF, no final xor. An empty range gives 0x00FF; indexes
// outside the data are brought inside it.
quint16 CalcCRC16(const QByteArray &data, qint32 first, qint32 last);

// The HDLC-style frame of the data: FCS appended low byte first, 7E and 7D
// (FCS bytes included) escaped as 7D, byte & 0xDF; a 7E flag at each end.
QByteArray BuildHdlcFrame(const QByteArray &data);
