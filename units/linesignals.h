#pragma once

#include "ui/panels.h"

#include <QObject>

class PortConnection;
class QTimer;

// The modem status lines in the status bar and the break command.
class LineSignals : public QObject
{
    Q_OBJECT
public:
    static constexpr int RefreshMs = 40;   // the indicators follow the lines at least this often
    static constexpr int BreakMs = 250;    // how long "Послать Break" holds the line

    LineSignals(PortConnection *connection, const StatusPanels &status, const MainMenu &menu,
                QObject *parent = nullptr);

    void miSendBreakClick();
    // Reads the lines and lights the indicators.
    void refreshLines();
    bool breakHeld() const;

private:
    void portOpened();
    void portClosed();
    void endBreak();
    void showLines(bool known, bool cts, bool dsr, bool dcd, bool ri);

    PortConnection *m_connection;
    StatusPanels m_status;
    MainMenu m_menu;
    QTimer *m_refresh;
    QTimer *m_break;
};
