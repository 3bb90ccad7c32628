#include "core/columnruns.h"

void ColumnIntervals::add(qint64 first, qint64 last)
{
    if (first > last)
        return;
    // Merge with an interval that overlaps or touches on the left.
    auto it = m_runs.upper_bound(first);
    if (it != m_runs.begin()) {
        auto prev = std::prev(it);
        if (prev->second >= first - 1) {
            if (prev->second >= last)
                return;
            first = prev->first;
            it = prev;
        }
    }
    // Swallow every interval that starts inside or right after [first, last].
    while (it != m_runs.end() && it->first <= last + 1) {
        last = qMax(last, it->second);
        it = m_runs.erase(it);
    }
    m_runs[first] = last;
}

bool ColumnIntervals::contains(qint64 column) const
{
    auto it = m_runs.upper_bound(column);
    if (it == m_runs.begin())
        return false;
    return std::prev(it)->second >= column;
}

void ColumnTextRuns::assign(qint64 first, qint64 last, const QString &text)
{
    if (first > last)
        return;
    const QString after = at(last + 1);
    m_runs.erase(m_runs.lower_bound(first), m_runs.upper_bound(last + 1));
    if (at(first - 1) != text)
        m_runs[first] = text;
    if (after != text)
        m_runs[last + 1] = after;
}

QString ColumnTextRuns::at(qint64 column) const
{
    auto it = m_runs.upper_bound(column);
    if (it == m_runs.begin())
        return {};
    return std::prev(it)->second;
}
