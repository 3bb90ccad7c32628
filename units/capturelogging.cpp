#include "units/capturelogging.h"

#include "ui/prompts.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>

CaptureLogging::CaptureLogging(const MainMenu &menu, const StatusPanels &status, QWidget *window, QObject *parent)
    : QObject(parent)
    , m_menu(menu)
    , m_status(status)
    , m_window(window)
    , m_flushTimer(new QTimer(this))
{
    m_flushTimer->setObjectName(QStringLiteral("TimerLogFlush"));
    m_flushTimer->setSingleShot(true);
    m_flushTimer->setInterval(FlushMs);
    connect(m_flushTimer, &QTimer::timeout, this, &CaptureLogging::flush);
}

CaptureLogging::~CaptureLogging() = default; // the log closes itself, writing what waits

void CaptureLogging::miLogReceiveClick(bool checked)
{
    if (checked)
        startLogging();
    else
        stopLogging();
}

void CaptureLogging::startLogging()
{
    if (m_log.isOpen())
        return;
    const std::optional<QString> name = prompts().fileName(m_window, logDialogSpec());
    if (!name) {
        m_menu.miLogReceive->setChecked(false);
        return;
    }
    if (!m_log.open(*name, CaptureLog::formatFor(*name))) {
        m_menu.miLogReceive->setChecked(false);
        fileError(m_window, *name, m_log.errorString());
        return;
    }
    m_menu.miLogReceive->setChecked(true);
    showStatus();
    m_status.StatusPanelLog->show();
}

void CaptureLogging::stopLogging()
{
    m_flushTimer->stop();
    m_menu.miLogReceive->setChecked(false);
    m_status.StatusPanelLog->hide();
    if (!m_log.isOpen())
        return;
    if (!m_log.close())
        failed();
}

void CaptureLogging::received(const char *data, qint64 n, qint64 arrivalMsecs)
{
    // Bytes that arrive while the file is being chosen are not logged.
    if (!m_log.isOpen())
        return;
    if (!m_log.append(data, n, arrivalMsecs)) {
        failed();
        return;
    }
    if (m_log.hasPending() && !m_flushTimer->isActive())
        m_flushTimer->start();
}

void CaptureLogging::flush()
{
    if (!m_log.isOpen())
        return;
    if (!m_log.flush()) {
        failed();
        return;
    }
    showStatus();
}

void CaptureLogging::failed()
{
    m_flushTimer->stop();
    m_menu.miLogReceive->setChecked(false);
    m_status.StatusPanelLog->hide();
    const QString text = QDir::toNativeSeparators(m_log.fileName()) + QStringLiteral(": ") + m_log.errorString()
                         + QStringLiteral("\nЗапись принятого в файл остановлена.");
    // Not from inside the receive step that found the failure: the box's own
    // event loop would run further steps in the middle of this one.
    QMetaObject::invokeMethod(
        this, [this, text] { prompts().error(m_window, text); }, Qt::QueuedConnection);
}

void CaptureLogging::storeStopped(const QString &reason)
{
    QString informative = reason + QStringLiteral("\n\nПорт остается открытым");
    if (m_log.isOpen())
        informative += QStringLiteral(", запись принятого в файл %1 продолжается")
                           .arg(QDir::toNativeSeparators(m_log.fileName()));
    informative += QStringLiteral(". Очистите таблицу приема, чтобы снова добавлять в нее принятое.");
    QMetaObject::invokeMethod(
        this,
        [this, informative] {
            prompts().detailedMessage(
                m_window, QStringLiteral("Принятое больше не помещается: новые байты не добавляются в таблицу приема."),
                informative);
        },
        Qt::QueuedConnection);
}

void CaptureLogging::showStatus()
{
    m_status.StatusPanelLog->setText(
        QStringLiteral("Запись в %1: %2 байт").arg(QFileInfo(m_log.fileName()).fileName()).arg(m_log.size()));
    m_status.StatusPanelLog->setToolTip(QDir::toNativeSeparators(m_log.fileName()));
}
