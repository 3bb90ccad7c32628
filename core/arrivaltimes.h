#pragma once

#include "core/bytestore.h"

#include <QString>
#include <QtGlobal>

#include <vector>

// When each receive step arrived: per step, its first byte's position and
// its arrival time in ms since the epoch. Records live in a byte store of
// their own, so a capture of millions of steps keeps to a small RAM budget.
class ArrivalTimes
{
public:
    struct Step {
        qint64 first = -1;   // -1: no step holds the position
        qint64 count = 0;
        qint64 msecs = 0;
        qint64 gapMs = -1;   // since the step before; -1 for the first
    };

    static constexpr qint64 RamBudget = qint64(4) << 20;

    ArrivalTimes();
    // A step of `count` (> 0) bytes starting at `first`, which must follow
    // the previous step's bytes.
    void add(qint64 first, qint64 count, qint64 msecs);
    void clear();
    qint64 stepCount() const { return m_records.size() / RecordSize; }
    Step stepAt(qint64 pos) const;

private:
    static constexpr qint64 RecordSize = 16;
    static constexpr qint64 RecordsPerChunk = ByteStore::ChunkSize / RecordSize;
    qint64 firstOf(qint64 step) const;
    qint64 msecsOf(qint64 step) const;

    ByteStore m_records;
    std::vector<qint64> m_chunkFirst;   // first position of each record chunk's first step
    qint64 m_end = 0;                   // one past the last step's bytes
};

// "hh:mm:ss.zzz" local time, the step's byte count and the gap since the step before.
QString ArrivalToolTip(const ArrivalTimes::Step &step);
