#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtGlobal>

#include <memory>

class CaptureLogSecondText;

// Writes received bytes to a file as they arrive, in one of two formats:
//   Raw  (".rcv") the bytes exactly as received, a byte file;
//   Text (".log") one line per receive step, fields separated by tabs:
//         local date and time to the ms, the byte count, the bytes as hex
//         pairs, and the bytes as cp1251 characters (control characters as ".").
//   2026-12-06 15:04:33.123	5	48 65 6C 6C 0D	Hell.
//
// Steps are gathered in memory and written by flush(), which the owner calls
// from a timer (at least once a second, so a killed program loses at most
// that); a large backlog is written at once. The first failed write (disk
// full, device gone) closes the file and stops logging; errorString() then
// gives the system's reason.
class CaptureLog
{
public:
    enum Format { Raw, Text };
    // Text for a ".log" name, else Raw.
    static Format formatFor(const QString &path);
    static constexpr qint64 MaxPending = qint64(1) << 20;

    CaptureLog();
    ~CaptureLog();
    CaptureLog(const CaptureLog &) = delete;
    CaptureLog &operator=(const CaptureLog &) = delete;

    // Creates the file or empties it; false with the system's text on failure.
    bool open(const QString &path, Format format);
    bool isOpen() const { return m_file.isOpen(); }
    Format format() const { return m_format; }
    QString fileName() const { return m_file.fileName(); }

    // One receive step. False once logging has stopped.
    bool append(const char *data, qint64 n, qint64 arrivalMsecs);
    bool hasPending() const { return !m_pending.isEmpty(); }
    bool flush();
    // Flushes and closes; false when that last write failed.
    bool close();

    bool hasFailed() const { return m_failed; }
    QString errorString() const { return m_error; }
    // Bytes the file holds, and with those still to be written.
    qint64 writtenSize() const { return m_written; }
    qint64 size() const { return m_written + m_pending.size(); }

private:
    bool fail();

    QFile m_file;
    std::unique_ptr<CaptureLogSecondText> m_seconds;
    Format m_format = Raw;
    QByteArray m_pending;
    qint64 m_written = 0;
    bool m_failed = false;
    QString m_error;
};

// A Text-format line for one step, with its line feed.
QByteArray CaptureLogLine(qint64 arrivalMsecs, const char *data, qint64 n);
