#include "core/frames.h"

namespace {

void appendWord(QByteArray &frame, quint16 value)
{
    frame.append(char(value & 0xFF));
    frame.append(char(value >> 8));
}

quint16 duration(qint32 value)
{
    return quint16(0xFFFF - (quint32(value) & 0xFFFF));
}

quint16 count(qint32 value)
{
    return quint16(quint32(value) & 0xFFFF);
}

} // namespace

quint8 generatorCode(GeneratorCommand command)
{
    switch (command) {
    case GeneratorCommand::StartGen:
        return 0xFF;
    case GeneratorCommand::NeprGener:
        return 0xFE;
    case GeneratorCommand::NeprSDelit:
        return 0xFC;
    case GeneratorCommand::NPaketov:
        return 0xFB;
    case GeneratorCommand::PaketNepreryvno:
        return 0xFA;
    case GeneratorCommand::StopGen:
        return 0x00;
    }
    return 0x00;
}

QByteArray GeneratorFrame(GeneratorCommand command, const GeneratorFields &f)
{
    const bool packets =
        command == GeneratorCommand::NPaketov || command == GeneratorCommand::PaketNepreryvno;
    QByteArray frame;
    frame.reserve(12);
    frame.append(char(generatorCode(command)));
    appendWord(frame, duration(f.LengthPulse));
    appendWord(frame, count(packets ? f.NPaketov : f.CountPulse));
    appendWord(frame, duration(f.LengthPause));
    if (packets || command == GeneratorCommand::NeprSDelit)
        frame.append(char(quint32(f.Divider) & 0xFF));
    if (packets) {
        appendWord(frame, count(f.QPulseInPaket));
        appendWord(frame, count(f.QPauseInPaket));
    }
    return frame;
}
