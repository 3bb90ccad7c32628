#include "units/receivepath.h"

#include "app/formmain.h"
#include "ui/widgets.h"
#include "ui/formtext.h"
#include "units/portconnection.h"
#include "ui/receivedtextview.h"
#include "core/serialport.h"
#include "ui/bytetableview.h"
#include "core/receivetablemodel.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLocale>
#include <QTime>

QString LocaleTimeSeparator(const QLocale &locale)
{
    // The literal text between the minutes and the seconds of the long time
    // format; a separator with letters in it ("min") is not one.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString between;
    bool afterMinutes = false, quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        if (!quoted && c == QLatin1Char('m')) {
            afterMinutes = true;
            between.clear();
            continue;
        }
        if (!quoted && c == QLatin1Char('s') && afterMinutes)
            break;
        if (afterMinutes)
            between += c;
    }
    between = between.trimmed();
    for (QChar c : between)
        if (c.isLetterOrNumber())
            return QStringLiteral(":");
    return between.isEmpty() ? QStringLiteral(":") : between;
}

QString TimeStamp(const QTime &time, const QLocale &locale)
{
    auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    return two(time.minute()) + LocaleTimeSeparator(locale) + two(time.second());
}

QString ReceiveCountersText(qint64 n, qint64 total)
{
    return QStringLiteral("Принято: в последнем пакете - %1 байт; всего - %2 байт").arg(n).arg(total);
}

bool LedCadence::tick(qint64 nowMs)
{
    if (nowMs - m_last < m_period)
        return false;
    m_last = nowMs;
    return true;
}

ReceivePath::ReceivePath(TFormMain *form, PortConnection *connection, QObject *parent)
    : QObject(parent)
    , m_form(form)
    , m_connection(connection)
    , m_model(new ReceiveTableModel(this))
    , m_buffer(new char[size_t(ReceiveBufferSize)])
{
    m_elapsed.start();
    m_now = [this] { return m_elapsed.elapsed(); };
    connect(connection, &PortConnection::portOpened, this, [this] { m_led.restart(m_now()); });
    // The text window comes up with the main window while SBShowText is down
    // (also when that state was restored from the settings).
    form->installEventFilter(this);
    m_pacer.addWidget(form->SGReceive);
    m_pacer.addWidget(form->StatusPanel2);
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
    m_textMirrorsStore = false;
    connect(formText, &TFormText::closed, this, &ReceivePath::FormTextClose);
    m_pacer.addWidget(formText->Memo1);
}

void ReceivePath::blinkLed()
{
    ++m_connection->LedBlinkCount;
    if (!m_led.tick(m_now()))
        return;
    m_form->ImageLedOn->setVisible(m_form->ImageLedOn->isHidden());
    m_form->ImageLedOff->setVisible(m_form->ImageLedOn->isHidden());
    m_connection->LedBlinkCount = 0;
}

void ReceivePath::TimerReadTimer()
{
    blinkLed();
    SerialPort *port = m_connection->port();
    const qint64 waiting = port->bytesWaiting();
    if (waiting <= 0)
        return;
    m_pacer.aboutToChange();
    const qint64 n = qMax<qint64>(0, port->read(m_buffer.get(), qMin(waiting, ReceiveBufferSize)));
    if (m_form->ChBShowRecTable->isChecked())
        m_model->appendShown(m_buffer.get(), n, TimeStamp(QTime::currentTime(), QLocale::system()));
    else
        m_model->appendHidden(m_buffer.get(), n);
    if (m_form->SBShowText->down() && m_formText)
        refreshText(m_buffer.get(), n);
    ReceivedCount += n;
    m_form->StatusPanel2->setText(ReceiveCountersText(n, ReceivedCount));
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
    m_textMirrorsStore = false;
}

void ReceivePath::ChBGetSecClick()
{
    m_model->setShowSeconds(m_form->ChBGetSec->isChecked());
}

void ReceivePath::SBShowTextClick()
{
    if (!m_formText)
        return;
    if (m_form->SBShowText->down()) {
        m_formText->show();
        m_formText->raise();
    } else {
        m_formText->close();
    }
}

void ReceivePath::FormTextClose()
{
    m_form->SBShowText->setDown(false);
}

void ReceivePath::LoadReceiveArray(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    m_model->loadBytes(bytes);
    m_textMirrorsStore = false;
}

bool ReceivePath::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_form && event->type() == QEvent::Show && m_form->SBShowText->down() && m_formText
        && !m_formText->isVisible())
        m_formText->show();
    return QObject::eventFilter(watched, event);
}
