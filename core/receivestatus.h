#pragma once

#include <QString>
#include <QtGlobal>

class QLocale;
class QTime;

// The minutes and seconds of a time, two digits each, joined by the locale's
// time separator (the one between minutes and seconds in its long format).
QString TimeStamp(const QTime &time, const QLocale &locale);
QString LocaleTimeSeparator(const QLocale &locale);

// Status panel 2 after a poll that read n bytes, `total` since the last clear.
QString ReceiveCountersText(qint64 n, qint64 total);

// When the port LED changes: about every `period` ms of ticks, however fast
// the poll timer really ticks.
class LedCadence
{
public:
    explicit LedCadence(qint64 periodMs = 80) : m_period(periodMs) {}
    void restart(qint64 nowMs) { m_last = nowMs; }
    // True when the LED should change at this tick.
    bool tick(qint64 nowMs);

private:
    qint64 m_period;
    qint64 m_last = 0;
};
