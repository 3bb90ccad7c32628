#pragma once

#include "core/capturelog.h"
#include "ui/panels.h"

#include <QObject>
#include <QString>

class QTimer;
class QWidget;

// The capture log as the user drives it: `miLogReceive` checked means every
// received byte goes to the chosen file as it arrives (whatever the tables
// show, across port closes and reopens), and the status bar shows the file
// and its size. Also tells the user, once, when the receive store can keep
// no more.
class CaptureLogging : public QObject
{
    Q_OBJECT
public:
    // Written bytes reach the file this long after they arrive, at most; the
    // timer runs only while something waits, so an idle log costs no wake-ups.
    static constexpr int FlushMs = 500;

    // `window` parents the dialog and the boxes.
    CaptureLogging(const MainMenu &menu, const StatusPanels &status, QWidget *window, QObject *parent = nullptr);
    ~CaptureLogging() override;

    // The menu item was checked or unchecked by the user.
    void miLogReceiveClick(bool checked);
    // One receive step's bytes (connected directly: `data` lives only during the call).
    void received(const char *data, qint64 n, qint64 arrivalMsecs);
    // The receive store refused bytes.
    void storeStopped(const QString &reason);
    // Writes what waits and closes the file (the program ends).
    void stopLogging();

    bool isLogging() const { return m_log.isOpen(); }
    const CaptureLog &log() const { return m_log; }
    // Writes what waits now.
    void flush();

private:
    void startLogging();
    void failed();
    void showStatus();

    MainMenu m_menu;
    StatusPanels m_status;
    QWidget *m_window;
    CaptureLog m_log;
    QTimer *m_flushTimer;
};
