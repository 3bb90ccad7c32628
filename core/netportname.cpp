#include "core/netportname.h"

#include <algorithm>

namespace netport {

namespace {

const QLatin1String kRfc2217("rfc2217://");
const QLatin1String kSocket("socket://");

QString usage()
{
    return QStringLiteral("имя пишется так: rfc2217://УЗЕЛ:ПОРТ или socket://УЗЕЛ:ПОРТ");
}

QString nameError(const QString &name, const QString &what)
{
    return QStringLiteral("Имя сетевого порта «%1»: %2; %3.").arg(name, what, usage());
}

bool isHostNameChar(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
        || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-') || c == QLatin1Char('.')
        || c == QLatin1Char('_');
}

bool isIpv6Char(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
        || (c >= QLatin1Char('A') && c <= QLatin1Char('F')) || c == QLatin1Char(':') || c == QLatin1Char('.');
}

} // namespace

bool isNetworkName(const QString &name)
{
    return name.startsWith(kRfc2217, Qt::CaseInsensitive) || name.startsWith(kSocket, Qt::CaseInsensitive);
}

ParsedName parseName(const QString &name)
{
    ParsedName result;
    Address a;
    QString rest;
    if (name.startsWith(kRfc2217, Qt::CaseInsensitive)) {
        a.scheme = Scheme::Rfc2217;
        rest = name.mid(kRfc2217.size());
    } else if (name.startsWith(kSocket, Qt::CaseInsensitive)) {
        a.scheme = Scheme::Socket;
        rest = name.mid(kSocket.size());
    } else {
        result.error = nameError(name, QStringLiteral("неизвестная схема"));
        return result;
    }

    QString portText;
    bool hasPort = false;
    if (rest.startsWith(QLatin1Char('['))) {
        const qsizetype close = rest.indexOf(QLatin1Char(']'));
        if (close < 0) {
            result.error = nameError(name, QStringLiteral("нет закрывающей скобки «]» после адреса IPv6"));
            return result;
        }
        a.host = rest.mid(1, close - 1);
        const QString tail = rest.mid(close + 1);
        if (!a.host.contains(QLatin1Char(':')) || !std::all_of(a.host.begin(), a.host.end(), isIpv6Char)) {
            result.error = nameError(name, QStringLiteral("«%1» не адрес IPv6").arg(a.host));
            return result;
        }
        if (!tail.isEmpty()) {
            if (!tail.startsWith(QLatin1Char(':'))) {
                result.error = nameError(name, QStringLiteral("после «]» ожидается «:ПОРТ»"));
                return result;
            }
            hasPort = true;
            portText = tail.mid(1);
        }
    } else {
        const qsizetype colon = rest.indexOf(QLatin1Char(':'));
        if (colon >= 0 && rest.indexOf(QLatin1Char(':'), colon + 1) >= 0) {
            result.error = nameError(name, QStringLiteral("адрес IPv6 пишется в квадратных скобках, например [::1]:2000"));
            return result;
        }
        a.host = colon < 0 ? rest : rest.left(colon);
        if (colon >= 0) {
            hasPort = true;
            portText = rest.mid(colon + 1);
        }
        if (!a.host.isEmpty() && !std::all_of(a.host.begin(), a.host.end(), isHostNameChar)) {
            result.error = nameError(name, QStringLiteral("«%1» не имя узла и не адрес").arg(a.host));
            return result;
        }
    }
    if (a.host.isEmpty()) {
        result.error = nameError(name, QStringLiteral("не указан узел"));
        return result;
    }
    if (!hasPort || portText.isEmpty()) {
        result.error = nameError(name, QStringLiteral("не указан номер TCP-порта"));
        return result;
    }
    const bool digits = portText.size() <= 9
        && std::all_of(portText.begin(), portText.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; });
    const int port = digits ? portText.toInt() : -1;
    if (port < 1 || port > 65535) {
        result.error = nameError(name, QStringLiteral("номер TCP-порта «%1» должен быть числом от 1 до 65535").arg(portText));
        return result;
    }
    a.port = quint16(port);
    result.address = a;
    return result;
}

QString describe(const Address &address, const QString &serverSignature)
{
    QString host = address.host;
    if (host.contains(QLatin1Char(':')))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    QString text = QStringLiteral("сетевой порт %1, узел %2, TCP-порт %3")
                       .arg(address.scheme == Scheme::Rfc2217 ? QStringLiteral("RFC 2217")
                                                              : QStringLiteral("(только байты)"),
                            host, QString::number(address.port));
    if (!serverSignature.isEmpty())
        text += QStringLiteral("; сервер: ") + serverSignature;
    return text;
}

} // namespace netport
