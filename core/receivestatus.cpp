#include "core/receivestatus.h"

#include <QLocale>
#include <QTime>

QString LocaleTimeSeparator(const QLocale &locale)
{
    // The literal text between the minutes and the seconds of the long time
    // format; a separator with letters in it ("min") is not one.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString between;
    bool afterMinutes = false, quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        if (!quoted && c == QLatin1Char('m')) {
            afterMinutes = true;
            between.clear();
            continue;
        }
        if (!quoted && c == QLatin1Char('s') && afterMinutes)
            break;
        if (afterMinutes)
            between += c;
    }
    between = between.trimmed();
    for (QChar c : between)
        if (c.isLetterOrNumber())
            return QStringLiteral(":");
    return between.isEmpty() ? QStringLiteral(":") : between;
}

QString TimeStamp(const QTime &time, const QLocale &locale)
{
    auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    return two(time.minute()) + LocaleTimeSeparator(locale) + two(time.second());
}

QString ReceiveCountersText(qint64 n, qint64 total)
{
    return QStringLiteral("Принято: в последнем пакете - %1 байт; всего - %2 байт").arg(n).arg(total);
}

bool LedCadence::tick(qint64 nowMs)
{
    if (nowMs - m_last < m_period)
        return false;
    m_last = nowMs;
    return true;
}
