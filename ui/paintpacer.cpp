#include "ui/paintpacer.h"

#include <QWidget>

PaintPacer::PaintPacer(int frameMs, QObject *parent)
    : QObject(parent)
    , m_frameMs(frameMs)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PaintPacer::release);
}

void PaintPacer::addWidget(QWidget *widget)
{
    m_widgets.append(widget);
}

void PaintPacer::aboutToChange()
{
    if (m_holding)
        return;
    if (!m_lastFrame.isValid() || m_lastFrame.elapsed() >= m_frameMs) {
        // The change paints as any change would.
        m_lastFrame.start();
        return;
    }
    m_holding = true;
    for (QWidget *w : std::as_const(m_widgets))
        if (w)
            w->setUpdatesEnabled(false);
    m_timer.start(int(qMax<qint64>(1, m_frameMs - m_lastFrame.elapsed())));
}

void PaintPacer::release()
{
    m_holding = false;
    for (QWidget *w : std::as_const(m_widgets))
        if (w)
            w->setUpdatesEnabled(true);
    // Painted now: a poll right after this would hold the widgets again
    // before a queued update reached them. One repaint paints everything
    // pending in its window.
    QList<QWidget *> windows;
    for (QWidget *w : std::as_const(m_widgets))
        if (w && w->isVisible() && !windows.contains(w->window())) {
            windows.append(w->window());
            w->repaint();
        }
    m_lastFrame.start();
}
