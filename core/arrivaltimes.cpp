#include "core/arrivaltimes.h"

#include <QDateTime>
#include <QtEndian>

#include <algorithm>

ArrivalTimes::ArrivalTimes()
    : m_records(RamBudget)
{
}

void ArrivalTimes::add(qint64 first, qint64 count, qint64 msecs)
{
    if (count <= 0)
        return;
    Q_ASSERT(first >= m_end);
    char record[RecordSize];
    qToLittleEndian<qint64>(first, record);
    qToLittleEndian<qint64>(msecs, record + 8);
    if (m_records.append(record, RecordSize) != RecordSize)
        return;
    if ((stepCount() - 1) % RecordsPerChunk == 0)
        m_chunkFirst.push_back(first);
    m_end = first + count;
}

void ArrivalTimes::clear()
{
    m_records.clear();
    m_chunkFirst.clear();
    m_end = 0;
}

qint64 ArrivalTimes::firstOf(qint64 step) const
{
    char b[8];
    m_records.read(step * RecordSize, b, 8);
    return qFromLittleEndian<qint64>(b);
}

qint64 ArrivalTimes::msecsOf(qint64 step) const
{
    char b[8];
    m_records.read(step * RecordSize + 8, b, 8);
    return qFromLittleEndian<qint64>(b);
}

ArrivalTimes::Step ArrivalTimes::stepAt(qint64 pos) const
{
    const qint64 steps = stepCount();
    if (steps == 0 || pos < firstOf(0) || pos >= m_end)
        return {};
    const auto chunkIt = std::upper_bound(m_chunkFirst.begin(), m_chunkFirst.end(), pos);
    qint64 lo = qint64(chunkIt - m_chunkFirst.begin() - 1) * RecordsPerChunk;
    qint64 hi = qMin(steps, lo + RecordsPerChunk);   // the step is in [lo, hi)
    while (hi - lo > 1) {
        const qint64 mid = lo + (hi - lo) / 2;
        if (firstOf(mid) <= pos)
            lo = mid;
        else
            hi = mid;
    }
    Step s;
    s.first = firstOf(lo);
    s.count = (lo + 1 < steps ? firstOf(lo + 1) : m_end) - s.first;
    s.msecs = msecsOf(lo);
    s.gapMs = lo > 0 ? s.msecs - msecsOf(lo - 1) : -1;
    return s;
}

QString ArrivalToolTip(const ArrivalTimes::Step &step)
{
    if (step.first < 0)
        return {};
    const QString time = QDateTime::fromMSecsSinceEpoch(step.msecs).toString(QStringLiteral("hh:mm:ss.zzz"));
    QString text = QStringLiteral("Принято в %1\nБайт в пакете: %2").arg(time).arg(step.count);
    if (step.gapMs >= 0)
        text += QStringLiteral("\nПосле предыдущего пакета: %1 мс").arg(step.gapMs);
    return text;
}
