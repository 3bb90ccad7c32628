#include "units/receivepath.h"

#include "core/receivetablemodel.h"
#include "core/serialport.h"
#include "ui/bytetableview.h"
#include "ui/formtext.h"
#include "ui/receivedtextview.h"
#include "ui/widgets.h"
#include "units/portconnection.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLocale>
#include <QTime>
#include <QTimer>

ReceivePath::ReceivePath(PortConnection *connection, const PortBar &bar, ByteTableView *table,
                         const StatusPanels &status, QWidget *window, QObject *parent)
    : QObject(parent)
    , m_connection(connection)
    , m_bar(bar)
    , m_status(status)
    , m_window(window)
    , m_model(new ReceiveTableModel(this))
    , m_buffer(new char[size_t(ReceiveBufferSize)])
    , m_stepTimer(new QTimer(this))
{
    m_elapsed.start();
    m_stepClock.start();
    m_stepTimer->setSingleShot(true);
    m_stepTimer->setTimerType(Qt::PreciseTimer);
    connect(m_stepTimer, &QTimer::timeout, this, &ReceivePath::receiveStep);
    connect(connection->port(), &SerialPort::readyRead, this, &ReceivePath::portReadyRead);
    connect(connection, &PortConnection::portClosed, m_stepTimer, &QTimer::stop);
    m_now = [this] { return m_elapsed.elapsed(); };
    connect(connection, &PortConnection::portOpened, this, [this] { m_led.restart(m_now()); });
    // The text window comes up with the main window while SBShowText is down
    // (also when that state was restored from the settings).
    window->installEventFilter(this);
    m_pacer.addWidget(table);
    m_pacer.addWidget(status.StatusPanel2);

}

ReceivePath::~ReceivePath() = default;

const ByteStore &ReceivePath::ReceiveArray() const
{
    return m_model->store();
}

void ReceivePath::setClock(std::function<qint64()> nowMs)
{
    m_now = std::move(nowMs);
    m_led.restart(m_now());
}

void ReceivePath::attachFormText(TFormText *formText)
{
    m_formText = formText;
    connect(formText, &TFormText::closed, this, &ReceivePath::FormTextClose);
    m_pacer.addWidget(formText->Memo1);
}

void ReceivePath::blinkLed()
{
    ++m_connection->LedBlinkCount;
    // TimerRead ticks at the LED's own period; a tick a little early must
    // not skip a whole period.
    constexpr qint64 tickJitterMs = 10;
    if (!m_led.tick(m_now() + tickJitterMs))
        return;
    m_bar.ImageLedOn->setVisible(m_bar.ImageLedOn->isHidden());
    m_bar.ImageLedOff->setVisible(m_bar.ImageLedOn->isHidden());
    m_connection->LedBlinkCount = 0;
}

void ReceivePath::TimerReadTimer()
{
    blinkLed();
    receiveStep();
}

void ReceivePath::portReadyRead()
{
    if (m_stepTimer->isActive() || !m_connection->isOpen())
        return;
    // What arrives within a frame is one step: painting and counting every
    // small read of a slow line costs far more than the eye gains.
    const qint64 since = m_stepClock.elapsed() - m_lastStepMs;
    if (since >= FrameMs)
        receiveStep();
    else
        m_stepTimer->start(int(FrameMs - since));
}

void ReceivePath::receiveStep()
{
    m_stepTimer->stop();
    m_lastStepMs = m_stepClock.elapsed();
    SerialPort *port = m_connection->port();
    const qint64 waiting = port->bytesWaiting();
    if (waiting <= 0)
        return;
    m_pacer.aboutToChange();
    const qint64 n = qMax<qint64>(0, port->read(m_buffer.get(), qMin(waiting, ReceiveBufferSize)));
    if (m_bar.ChBShowRecTable->isChecked())
        m_model->appendShown(m_buffer.get(), n, TimeStamp(QTime::currentTime(), QLocale::system()));
    else
        m_model->appendHidden(m_buffer.get(), n);
    if (m_bar.SBShowText->down() && m_formText)
        refreshText(m_buffer.get(), n);
    ReceivedCount += n;
    m_status.StatusPanel2->setText(ReceiveCountersText(n, ReceivedCount));
    // A flood: the rest is read without waiting for the next frame.
    if (n == ReceiveBufferSize && port->bytesWaiting() > 0)
        m_stepTimer->start(0);
}

void ReceivePath::refreshText(const char *data, qint64 n)
{
    Q_UNUSED(data);
    Q_UNUSED(n);
    // Memo1 reads ReceiveArray itself and indexes only what it lacks. After a
    // clear or a load it keeps reading the bytes it showed (the store hands
    // out fresh ones) until this moves it to the new ones.
    m_formText->Memo1->showStore(m_model->store());
}

void ReceivePath::SBClearRecClick()
{
    m_model->clear();
    ReceivedCount = 0;
    // Memo1 keeps showing what it shows until the next bytes arrive.
}

void ReceivePath::ChBGetSecClick()
{
    m_model->setShowSeconds(m_bar.ChBGetSec->isChecked());
}

void ReceivePath::SBShowTextClick()
{
    if (!m_formText)
        return;
    if (m_bar.SBShowText->down()) {
        m_formText->show();
        m_formText->raise();
    } else {
        m_formText->close();
    }
}

void ReceivePath::FormTextClose()
{
    m_bar.SBShowText->setDown(false);
}

void ReceivePath::LoadReceiveArray(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    m_model->loadBytes(bytes);
}

bool ReceivePath::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Show && m_bar.SBShowText->down() && m_formText
        && !m_formText->isVisible())
        m_formText->show();
    return QObject::eventFilter(watched, event);
}
