#pragma once

#include "core/receivestatus.h"
#include "ui/paintpacer.h"
#include "ui/panels.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class ByteStore;
class ByteTableView;
class PortConnection;
class ReceiveTableModel;
class TFormText;

// The receive path: polls the open port, keeps everything received since the
// last clear (ReceiveArray, the receive table model's store), shows it in
// SGReceive and in the text window, counts it in the status bar and blinks
// the port LED.
class ReceivePath : public QObject
{
    Q_OBJECT
public:
    // One read takes at most this much; a step reads what has queued since
    // the last one, and a full buffer brings the next step at once.
    static constexpr qint64 ReceiveBufferSize = qint64(1) << 18;
    // TimerRead ticks at this period while the port is open.
    static constexpr qint64 LedPeriodMs = 80;
    // The table, the text and the counters repaint at most once per frame,
    // and bytes the port announces are taken in at most one step a frame: at
    // a serial line's pace a faster display costs far more than it shows.
    static constexpr int FrameMs = 70;

    // `window` is the main window: the text window comes up with it.
    ReceivePath(PortConnection *connection, const PortBar &bar, ByteTableView *table, const StatusPanels &status,
                QWidget *window, QObject *parent = nullptr);
    ~ReceivePath() override;

    // The cells of SGReceive over ReceiveArray.
    ReceiveTableModel *model() const { return m_model; }
    const ByteStore &ReceiveArray() const;
    // Bytes received since the last clear; a loaded file does not count.
    qint64 ReceivedCount = 0;

    // The text window announces itself once it exists.
    void attachFormText(TFormText *formText);

    // TimerRead's tick: the LED, and whatever waits (the port's notification
    // brings the bytes sooner; the tick only catches what it did not announce).
    void TimerReadTimer();
    // The port announced bytes: one receive step soon, at most one a frame.
    void portReadyRead();
    // Reads what waits and shows it: one "packet".
    void receiveStep();
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

    PortConnection *m_connection;
    PortBar m_bar;
    StatusPanels m_status;
    QWidget *m_window;
    ReceiveTableModel *m_model;
    TFormText *m_formText = nullptr;
    std::unique_ptr<char[]> m_buffer; // ReceiveBuffer
    LedCadence m_led{LedPeriodMs};
    QElapsedTimer m_elapsed;
    std::function<qint64()> m_now;
    PaintPacer m_pacer{FrameMs};
    QTimer *m_stepTimer;
    QElapsedTimer m_stepClock;
    qint64 m_lastStepMs = -FrameMs;
};
