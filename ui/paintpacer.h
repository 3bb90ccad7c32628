#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;

// Lets a set of widgets repaint at most once a frame however often their
// content changes. The receive poll changes the receive table, the text
// window and the counters up to a thousand times a second; painting each
// change would leave the event loop no time to read the port.
//
// Content changes at once (models, scroll ranges, texts stay exact); only
// the painting is held back, and the held frame is painted when it is due.
class PaintPacer : public QObject
{
    Q_OBJECT
public:
    explicit PaintPacer(int frameMs, QObject *parent = nullptr);

    void addWidget(QWidget *widget);
    // Call before changing what the widgets show.
    void aboutToChange();
    bool isHolding() const { return m_holding; }

private:
    void release();

    int m_frameMs;
    QList<QPointer<QWidget>> m_widgets;
    QElapsedTimer m_lastFrame;
    QTimer m_timer;
    bool m_holding = false;
};
