#pragma once

#include <QString>
#include <QtGlobal>

#include <map>

// A set of columns kept as disjoint closed intervals; a capture written in
// blocks stays a handful of entries however many columns it covers.
class ColumnIntervals
{
public:
    void add(qint64 first, qint64 last);
    bool contains(qint64 column) const;
    void clear() { m_runs.clear(); }
    bool isEmpty() const { return m_runs.empty(); }
    int intervalCount() const { return int(m_runs.size()); }

private:
    std::map<qint64, qint64> m_runs; // first -> last
};

// A text per column kept as runs [first column, text]: every byte of one poll
// shares its time stamp. Columns never assigned read as the null text.
class ColumnTextRuns
{
public:
    void assign(qint64 first, qint64 last, const QString &text);
    QString at(qint64 column) const;
    void clear() { m_runs.clear(); }
    int runCount() const { return int(m_runs.size()); }

private:
    std::map<qint64, QString> m_runs; // first column of a run -> its text
};
