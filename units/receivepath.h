#pragma once

#include "ui/paintpacer.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class ByteStore;
class PortConnection;
class QLocale;
class QTime;
class ReceiveTableModel;
class TFormMain;
class TFormText;

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

// The receive path: polls the open port, keeps everything received since the
// last clear (ReceiveArray, the receive table model's store), shows it in
// SGReceive and in the text window, counts it in the status bar and blinks
// the port LED.
class ReceivePath : public QObject
{
    Q_OBJECT
public:
    // One read takes at most this much; a tick reads what has queued since the
    // last one, so this bounds the rate at about a thousand times it a second.
    static constexpr qint64 ReceiveBufferSize = qint64(1) << 18;
    static constexpr qint64 LedPeriodMs = 80;
    // The table, the text and the counters repaint at most once per frame.
    static constexpr int FrameMs = 16;

    ReceivePath(TFormMain *form, PortConnection *connection, QObject *parent = nullptr);
    ~ReceivePath() override;

    // The cells of SGReceive over ReceiveArray.
    ReceiveTableModel *model() const { return m_model; }
    const ByteStore &ReceiveArray() const;
    // Bytes received since the last clear; a loaded file does not count.
    qint64 ReceivedCount = 0;

    // The text window announces itself once it exists.
    void attachFormText(TFormText *formText);

    void TimerReadTimer();
    void SBClearRecClick();
    void ChBGetSecClick();
    void SBShowTextClick();
    // The text window was closed (its close box, or SBShowText released).
    void FormTextClose();
    // A received-table file replaces ReceiveArray and rows 0 to 2 of the table.
    void LoadReceiveArray(const QByteArray &bytes);

    // Tests drive the LED clock.
    void setClock(std::function<qint64()> nowMs);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void blinkLed();
    void refreshText(const char *data, qint64 n);

    TFormMain *m_form;
    PortConnection *m_connection;
    ReceiveTableModel *m_model;
    TFormText *m_formText = nullptr;
    std::unique_ptr<char[]> m_buffer; // ReceiveBuffer
    // Memo1 holds a copy of ReceiveArray's first bytes; false once the store
    // was emptied or replaced behind the text window's back.
    bool m_textMirrorsStore = true;
    LedCadence m_led{LedPeriodMs};
    QElapsedTimer m_elapsed;
    std::function<qint64()> m_now;
    PaintPacer m_pacer{FrameMs};
};
