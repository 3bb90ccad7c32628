#pragma once

#include <QByteArray>
#include <QString>

// The generator panel's number fields, by component name.
struct GeneratorFields {
    qint32 LengthPulse = 0;
    qint32 LengthPause = 0;
    qint32 CountPulse = 0;
    qint32 Divider = 5;
    qint32 NPaketov = 0;
    qint32 QPulseInPaket = 1;
    qint32 QPauseInPaket = 1;
};

enum class GeneratorCommand { StartGen, NeprGener, NeprSDelit, NPaketov, PaketNepreryvno, StopGen };

quint8 generatorCode(GeneratorCommand command);

// The 7-, 8- or 12-byte command frame. Durations go out as 0xFFFF minus
// their low 16 bits, counts as their low 16 bits, the divider as its low
// 8 bits; little-endian.
QByteArray GeneratorFrame(GeneratorCommand command, const GeneratorFields &fields);
