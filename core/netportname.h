#pragma once

#include <QString>

#include <optional>

// Names of ports on other machines, reached over TCP: "rfc2217://HOST:PORT"
// (telnet with the COM-PORT option, the remote line's settings are set from
// here) and "socket://HOST:PORT" (raw bytes, the server's settings hold).
// HOST is an IPv4 address, an IPv6 address in brackets or a host name.
namespace netport {

enum class Scheme { Rfc2217, Socket };

struct Address {
    Scheme scheme = Scheme::Socket;
    QString host;     // without brackets
    quint16 port = 0; // 1..65535
    friend bool operator==(const Address &, const Address &) = default;
};

// Whether the name asks for a network port at all (either scheme, any case);
// such a name never means a device path.
bool isNetworkName(const QString &name);

struct ParsedName {
    std::optional<Address> address;
    QString error; // why the name cannot be used, in words for the user
};

ParsedName parseName(const QString &name);

// "сетевой порт RFC 2217, узел HOST, TCP-порт PORT" (plus the server's
// signature when it sent one), for the port information line.
QString describe(const Address &address, const QString &serverSignature = {});

} // namespace netport
