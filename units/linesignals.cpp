#include "units/linesignals.h"

#include "core/serialport.h"
#include "units/portconnection.h"

#include <QAction>
#include <QLabel>
#include <QTimer>

LineSignals::LineSignals(PortConnection *connection, const StatusPanels &status, const MainMenu &menu,
                         QObject *parent)
    : QObject(parent)
    , m_connection(connection)
    , m_status(status)
    , m_menu(menu)
    , m_refresh(new QTimer(this))
    , m_break(new QTimer(this))
{
    m_refresh->setObjectName(QStringLiteral("TimerLines"));
    m_refresh->setInterval(RefreshMs);
    m_refresh->setTimerType(Qt::PreciseTimer);
    m_break->setSingleShot(true);
    m_break->setInterval(BreakMs);
    m_break->setTimerType(Qt::PreciseTimer);
    connect(m_refresh, &QTimer::timeout, this, &LineSignals::refreshLines);
    connect(m_break, &QTimer::timeout, this, &LineSignals::endBreak);
    connect(connection, &PortConnection::portOpened, this, &LineSignals::portOpened);
    connect(connection, &PortConnection::portClosed, this, &LineSignals::portClosed);
    // A port server tells of changes as they happen; no need to ask it.
    connect(connection->port(), &SerialPort::modemLinesChanged, this, [this] {
        if (m_connection->isOpen())
            refreshLines();
    });
}

bool LineSignals::breakHeld() const
{
    return m_break->isActive();
}

void LineSignals::portOpened()
{
    m_menu.miSendBreak->setEnabled(true);
    refreshLines();
    // A port that cannot tell its lines (a pty) is not asked again.
    if (m_connection->port()->modemLines())
        m_refresh->start();
}

void LineSignals::portClosed()
{
    m_menu.miSendBreak->setEnabled(false);
    m_refresh->stop();
    m_break->stop(); // closing the device ends the break
    showLines(false, false, false, false, false);
}

void LineSignals::refreshLines()
{
    const std::optional<ModemLines> lines = m_connection->port()->modemLines();
    if (!lines) {
        m_refresh->stop();
        showLines(false, false, false, false, false);
        return;
    }
    showLines(true, lines->cts, lines->dsr, lines->dcd, lines->ri);
}

void LineSignals::showLines(bool known, bool cts, bool dsr, bool dcd, bool ri)
{
    for (auto [led, on] : {std::pair{m_status.LedCTS, cts}, std::pair{m_status.LedDSR, dsr},
                           std::pair{m_status.LedDCD, dcd}, std::pair{m_status.LedRI, ri}}) {
        led->setEnabled(known);
        setLineLit(led, known && on);
    }
}

void LineSignals::miSendBreakClick()
{
    if (!m_connection->isOpen() || m_break->isActive())
        return;
    if (!m_connection->port()->setBreak(true)) {
        m_status.StatusPanel1->setText(QStringLiteral("Порт не может послать Break"));
        return;
    }
    m_break->start();
}

void LineSignals::endBreak()
{
    if (m_connection->isOpen())
        m_connection->port()->setBreak(false);
}
