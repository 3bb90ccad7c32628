#include "core/telnetstream.h"

#include <cstring>

namespace telnet {

QByteArray escape(QByteArrayView data)
{
    QByteArray out;
    out.reserve(data.size() + data.size() / 64 + 4);
    for (char c : data)
        appendEscaped(out, quint8(c));
    return out;
}

void appendEscaped(QByteArray &out, quint8 byte)
{
    out.append(char(byte));
    if (byte == IAC)
        out.append(char(IAC));
}

QByteArray negotiation(quint8 verb, quint8 option)
{
    const char bytes[3] = {char(IAC), char(verb), char(option)};
    return QByteArray(bytes, 3);
}

void Decoder::reset()
{
    m_state = State::Data;
    m_verb = 0;
    m_subOption = 0;
    m_overflow = false;
    m_sub.clear();
}

void Decoder::endSubnegotiation(QList<Event> &events, bool complete)
{
    Event e;
    e.kind = complete && !m_overflow ? Event::Kind::Subnegotiation : Event::Kind::Dropped;
    e.option = m_subOption;
    if (e.kind == Event::Kind::Subnegotiation)
        e.payload = m_sub;
    events.append(e);
    m_sub.clear();
    m_overflow = false;
}

// The byte after an IAC outside a subnegotiation.
void Decoder::command(quint8 byte)
{
    switch (byte) {
    case WILL:
    case WONT:
    case DO:
    case DONT:
        m_verb = byte;
        m_state = State::Option;
        return;
    case SB:
        m_state = State::SubOption;
        return;
    default:
        // NOP, data mark, go ahead and the like carry nothing for a port; a
        // stray SE or an unknown code is dropped with its IAC.
        m_state = State::Data;
        return;
    }
}

void Decoder::feed(QByteArrayView in, QByteArray &data, QList<Event> &events)
{
    const char *p = in.data();
    const char *const end = p + in.size();
    while (p < end) {
        switch (m_state) {
        case State::Data: {
            const void *hit = std::memchr(p, IAC, size_t(end - p));
            const char *stop = hit ? static_cast<const char *>(hit) : end;
            data.append(p, stop - p);
            p = stop;
            if (p < end) {
                ++p;
                m_state = State::Iac;
            }
            break;
        }
        case State::Iac: {
            const quint8 b = quint8(*p++);
            if (b == IAC) {
                data.append(char(IAC));
                m_state = State::Data;
            } else {
                command(b);
            }
            break;
        }
        case State::Option: {
            Event e;
            e.kind = Event::Kind::Negotiation;
            e.verb = m_verb;
            e.option = quint8(*p++);
            events.append(e);
            m_state = State::Data;
            break;
        }
        case State::SubOption:
            m_subOption = quint8(*p++);
            m_sub.clear();
            m_overflow = false;
            m_state = State::SubData;
            break;
        case State::SubData: {
            const void *hit = std::memchr(p, IAC, size_t(end - p));
            const char *stop = hit ? static_cast<const char *>(hit) : end;
            const qsizetype room = kMaxSubnegotiation - m_sub.size();
            const qsizetype n = stop - p;
            if (n > room)
                m_overflow = true;
            m_sub.append(p, std::min(n, room));
            p = stop;
            if (p < end) {
                ++p;
                m_state = State::SubIac;
            }
            break;
        }
        case State::SubIac: {
            const quint8 b = quint8(*p++);
            if (b == IAC) {
                if (m_sub.size() < kMaxSubnegotiation)
                    m_sub.append(char(IAC));
                else
                    m_overflow = true;
                m_state = State::SubData;
            } else if (b == SE) {
                endSubnegotiation(events, true);
                m_state = State::Data;
            } else {
                // Another command inside a subnegotiation: the server lost its
                // place. Give the subnegotiation up and take the command.
                endSubnegotiation(events, false);
                command(b);
            }
            break;
        }
        }
    }
}

} // namespace telnet

namespace comport {

QByteArray command(quint8 code, QByteArrayView value)
{
    QByteArray out;
    out.reserve(value.size() + 8);
    out.append(char(telnet::IAC));
    out.append(char(telnet::SB));
    out.append(char(telnet::OptComPort));
    out.append(char(code));
    for (char c : value)
        telnet::appendEscaped(out, quint8(c));
    out.append(char(telnet::IAC));
    out.append(char(telnet::SE));
    return out;
}

namespace {

QString dataBitsWords(int n)
{
    const int last = n % 10;
    const bool few = last >= 2 && last <= 4 && (n % 100 < 12 || n % 100 > 14);
    return QString::number(n) + (few ? QStringLiteral(" бита данных") : QStringLiteral(" бит данных"));
}

} // namespace

CodedSettings lineCodes(const PortSettings &s)
{
    CodedSettings out;
    if (s.BaudRate <= 0) {
        // Rate 0 asks an RFC 2217 server for its current rate instead of setting one.
        out.refused = QStringLiteral("скорость %1").arg(s.BaudRate);
        return out;
    }
    if (s.ByteSize < 5 || s.ByteSize > 8) {
        out.refused = dataBitsWords(s.ByteSize);
        return out;
    }
    if (s.Parity > 4) {
        out.refused = s.Parity == 255 ? QStringLiteral("чётность не выбрана")
                                      : QStringLiteral("чётность с номером %1").arg(s.Parity);
        return out;
    }
    static constexpr quint8 kStop[] = {1, 3, 2};
    if (s.StopBits > 2) {
        out.refused = s.StopBits == 255 ? QStringLiteral("число стоп-битов не выбрано")
                                        : QStringLiteral("стоп-биты с номером %1").arg(s.StopBits);
        return out;
    }
    LineCodes c;
    c.baudRate = quint32(s.BaudRate);
    c.dataSize = s.ByteSize;
    c.parity = quint8(s.Parity + 1);
    c.stopSize = kStop[s.StopBits];
    out.codes = c;
    return out;
}

QByteArray settingsCommands(const LineCodes &c)
{
    const char baud[4] = {char(c.baudRate >> 24), char(c.baudRate >> 16), char(c.baudRate >> 8), char(c.baudRate)};
    return command(SetBaudRate, QByteArrayView(baud, 4)) + command(SetDataSize, QByteArray(1, char(c.dataSize)))
         + command(SetParity, QByteArray(1, char(c.parity))) + command(SetStopSize, QByteArray(1, char(c.stopSize)));
}

ModemLines modemLines(quint8 state)
{
    ModemLines m;
    m.dcd = state & 0x80;
    m.ri = state & 0x40;
    m.dsr = state & 0x20;
    m.cts = state & 0x10;
    return m;
}

QString valueText(quint8 serverCode, const QByteArray &payload)
{
    const auto byteAt = [&](int i) { return payload.size() > i ? quint8(payload[i]) : 0; };
    switch (serverCode) {
    case kServerOffset + SetBaudRate: {
        const quint32 v = quint32(byteAt(0)) << 24 | quint32(byteAt(1)) << 16 | quint32(byteAt(2)) << 8 | byteAt(3);
        return QStringLiteral("скорость %1 бод").arg(v);
    }
    case kServerOffset + SetDataSize:
        return dataBitsWords(byteAt(0));
    case kServerOffset + SetParity: {
        const quint8 v = byteAt(0);
        return v >= 1 && v <= 5 ? QStringLiteral("чётность «%1»").arg(portsettings::parityNames().at(v - 1))
                                : QStringLiteral("чётность с кодом %1").arg(v);
    }
    case kServerOffset + SetStopSize: {
        const quint8 v = byteAt(0);
        return v == 1 ? QStringLiteral("1 стоп-бит") : v == 2 ? QStringLiteral("2 стоп-бита")
             : v == 3 ? QStringLiteral("1,5 стоп-бита") : QStringLiteral("стоп-биты с кодом %1").arg(v);
    }
    default:
        return {};
    }
}

} // namespace comport
