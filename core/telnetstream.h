#pragma once

#include "core/portsettings.h"
#include "core/serialport.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

// The telnet layer of an rfc2217:// port: data bytes with 0xFF doubled,
// option negotiation, and the COM-PORT option's subnegotiations that carry the
// remote line's settings, control lines and modem state.
namespace telnet {

inline constexpr quint8 IAC = 255;
inline constexpr quint8 DONT = 254;
inline constexpr quint8 DO = 253;
inline constexpr quint8 WONT = 252;
inline constexpr quint8 WILL = 251;
inline constexpr quint8 SB = 250;
inline constexpr quint8 SE = 240;

inline constexpr quint8 OptBinary = 0;
inline constexpr quint8 OptEcho = 1;
inline constexpr quint8 OptSuppressGoAhead = 3;
inline constexpr quint8 OptComPort = 44;

// Data as it goes on the wire: every 0xFF doubled.
QByteArray escape(QByteArrayView data);
void appendEscaped(QByteArray &out, quint8 byte);

// A three-byte negotiation "IAC verb option".
QByteArray negotiation(quint8 verb, quint8 option);

struct Event {
    enum class Kind {
        Negotiation,     // verb WILL/WONT/DO/DONT, option
        Subnegotiation,  // option and its payload (doubled 0xFF undone)
        Dropped,         // a subnegotiation longer than the limit, or cut short by another command
    };
    Kind kind = Kind::Negotiation;
    quint8 verb = 0;
    quint8 option = 0;
    QByteArray payload;
    friend bool operator==(const Event &, const Event &) = default;
};

// Splits a received telnet stream into data and commands. Input may be cut
// anywhere; the state carries over between feeds. A subnegotiation keeps at
// most kMaxSubnegotiation payload bytes: the rest is skipped until its end, so
// a server that never ends one costs neither memory nor time.
class Decoder
{
public:
    static constexpr qsizetype kMaxSubnegotiation = 256;

    // Appends the data bytes to data and what else arrived to events.
    void feed(QByteArrayView in, QByteArray &data, QList<Event> &events);
    void reset();

private:
    enum class State { Data, Iac, Option, SubOption, SubData, SubIac };
    void command(quint8 byte);
    void endSubnegotiation(QList<Event> &events, bool complete);

    State m_state = State::Data;
    quint8 m_verb = 0;
    quint8 m_subOption = 0;
    bool m_overflow = false;
    QByteArray m_sub;
};

} // namespace telnet

// RFC 2217 COM-PORT option: what a client sends and what it reads back.
namespace comport {

enum Command : quint8 {
    Signature = 0,
    SetBaudRate = 1,
    SetDataSize = 2,
    SetParity = 3,
    SetStopSize = 4,
    SetControl = 5,
    NotifyLineState = 6,
    NotifyModemState = 7,
    SetLineStateMask = 10,
    SetModemStateMask = 11,
};
// The server answers a command with the command's code plus this.
inline constexpr quint8 kServerOffset = 100;

enum Control : quint8 {
    BreakOn = 5,
    BreakOff = 6,
    DtrOn = 8,
    DtrOff = 9,
    RtsOn = 11,
    RtsOff = 12,
};

// "IAC SB 44 command value IAC SE", 0xFF in the value doubled.
QByteArray command(quint8 code, QByteArrayView value = {});

struct LineCodes {
    quint32 baudRate = 0;
    quint8 dataSize = 0; // 5..8
    quint8 parity = 0;   // 1 none, 2 odd, 3 even, 4 mark, 5 space
    quint8 stopSize = 0; // 1 one, 2 two, 3 one and a half
    friend bool operator==(const LineCodes &, const LineCodes &) = default;
};

struct CodedSettings {
    std::optional<LineCodes> codes;
    QString refused; // the value the option has no code for, in words; empty when coded
};

CodedSettings lineCodes(const PortSettings &settings);

// The four commands setting rate, data size, parity and stop size, in that order.
QByteArray settingsCommands(const LineCodes &codes);

// NOTIFY-MODEMSTATE's byte: CD 0x80, RI 0x40, DSR 0x20, CTS 0x10 (the low
// four bits are change flags).
ModemLines modemLines(quint8 state);

// Words for a value the server answered with, for messages ("57600 бод").
QString valueText(quint8 serverCode, const QByteArray &payload);

} // namespace comport
