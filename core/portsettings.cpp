#include "core/portsettings.h"

#include "core/netportname.h"

namespace portsettings {

const QList<qint32> &baudRates()
{
    static const QList<qint32> rates{110,   300,   600,   1200,   2400,   4800,   9600,  14400,
                                     19200, 38400, 56000, 57600, 115200, 128000, 256000};
    return rates;
}

int baudRateIndex(qint32 rate)
{
    return int(baudRates().indexOf(rate));
}

const QStringList &parityNames()
{
    static const QStringList names{QStringLiteral("no"), QStringLiteral("odd"), QStringLiteral("even"),
                                   QStringLiteral("mark"), QStringLiteral("space")};
    return names;
}

const QStringList &stopBitsNames()
{
    static const QStringList names{QStringLiteral("1"), QStringLiteral("1,5"), QStringLiteral("2")};
    return names;
}

QStringList defaultPortNames()
{
    QStringList names;
    for (int i = 1; i <= 9; ++i)
        names << QStringLiteral("COM%1").arg(i);
    return names;
}

std::optional<qint32> parseBaudRate(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    for (QChar c : t)
        if (!c.isDigit() || c.unicode() > 127)
            return std::nullopt;
    bool ok = false;
    const qint32 v = t.toInt(&ok);
    if (!ok || v <= 0)
        return std::nullopt;
    return v;
}

QString resolvePortName(const QString &name)
{
    if (netport::isNetworkName(name))
        return name; // a port on another machine, never a device path
#ifdef Q_OS_LINUX
    if (name.size() > 3 && name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) {
        bool ok = false;
        const int n = name.mid(3).toInt(&ok);
        if (ok && n >= 1 && name.mid(3) == QString::number(n))
            return QStringLiteral("/dev/ttyS%1").arg(n - 1);
    }
    if (!name.startsWith(QLatin1Char('/')))
        return QStringLiteral("/dev/") + name;
    return name;
#else
    return name;
#endif
}

QString userPortName(const QString &systemLocation)
{
#ifdef Q_OS_LINUX
    if (systemLocation.startsWith(QLatin1String("/dev/")))
        return systemLocation.mid(5);
#endif
    return systemLocation;
}

QString portCaption(const QString &portText, const QString &baudText, int byteSize,
                    const QString &parityText, const QString &stopBitsText)
{
    return QStringLiteral("Транслятор портов: ") + portText + QStringLiteral("; ") + baudText
         + QStringLiteral(" бод; размер символа - ") + QString::number(byteSize)
         + QStringLiteral(" бит; паритет - ") + parityText + QStringLiteral("; стоп-битов - ")
         + stopBitsText;
}

} // namespace portsettings
