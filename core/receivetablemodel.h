#pragma once

#include "core/arrivaltimes.h"
#include "core/bytestore.h"
#include "core/columnruns.h"

#include "core/longtablemodel.h"

#include <functional>

// The cells of the receive table, computed from the received bytes. Grid
// column c (c >= 1) is the byte at position c - 1; row 0 is the number, row 1
// the hex pair, row 2 the character and row 3, while shown, the time stamp.
//
// The grid's memory is reproduced, not only its current bytes: a column's
// number, once written, stays; its hex and character cells are filled only by
// the writes that fill them (bytes that arrive while the table is hidden are
// stored but not written) and emptied by a clear.
//
// Each poll that stores bytes records its arrival time (ms since the epoch,
// from the arrival clock); a data column's tooltip tells it to the ms.
class ReceiveTableModel : public LongTableModel
{
    Q_OBJECT
public:
    enum Row { NumberRow = 0, HexRow = 1, AsciiRow = 2, SecondsRow = 3 };

    explicit ReceiveTableModel(QObject *parent = nullptr);

    ByteStore &store() { return m_store; }
    const ByteStore &store() const { return m_store; }
    QByteArray bytes() const { return m_store.toByteArray(); }

    // One poll with the table shown: the bytes are stored, the column count
    // becomes the stored size + 1 and the new columns are written, `stamp`
    // going into their time-stamp cells.
    void appendShown(const char *data, qint64 n, const QString &stamp);
    // One poll with the table hidden: the bytes are stored, the grid is not touched.
    void appendHidden(const char *data, qint64 n);
    // Store emptied, hex and character cells emptied, one data column left.
    void clear();
    void setShowSeconds(bool show);
    bool showSeconds() const { return m_showSeconds; }
    // A byte file opened into the table; an empty one changes nothing.
    void loadBytes(const QByteArray &bytes);

    // The clock that stamps each poll's arrival; the system clock by default.
    void setArrivalClock(std::function<qint64()> msecsSinceEpoch);
    const ArrivalTimes &arrivalTimes() const { return m_arrivals; }

    int dataColumnCount() const { return m_columnCount - 1; }
    // Columns are counted in 64 bits: a capture past what int counts keeps
    // its columns, read through the long-column calls.
    qint64 longColumnCount() const override { return m_longColumnCount; }
    QString longCellText(int row, qint64 column) const override;
    QString longToolTip(int row, qint64 column) const override;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // Every poll's bytes as they arrive, whether or not the store keeps them
    // (a capture log writes them all). Connect directly: `data` lives only
    // during the emission.
    void received(const char *data, qint64 n, qint64 arrivalMsecs);
    // The store could keep no more (its temporary file cannot grow); sent
    // once, until a clear or a load gives it room again.
    void storeStopped(const QString &reason);

private:
    // Stores a poll's bytes and returns how many were kept.
    qint64 store(const char *data, qint64 n);
    void setColumnCount(qint64 count);
    QString cellText(int row, qint64 column) const;

    ByteStore m_store;
    int m_columnCount = 2;
    qint64 m_longColumnCount = 2;
    bool m_showSeconds = false;
    ColumnIntervals m_numbered;   // columns whose number cell has been written
    ColumnIntervals m_written;    // columns whose hex and character cells hold their byte
    ColumnTextRuns m_stamps;
    ArrivalTimes m_arrivals;
    std::function<qint64()> m_clock;
    bool m_stopReported = false;
};
