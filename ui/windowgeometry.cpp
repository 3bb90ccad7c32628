#include "ui/windowgeometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

// Outer size minus client size of the designed windows (866 x 727 around 858 x 700).
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 27;

} // namespace

QRect outerGeometry(const QWidget *w)
{
    return QRect(w->pos(), QSize(w->width() + kFrameWidth, w->height() + kFrameHeight));
}

void setOuterGeometry(QWidget *w, const QRect &outer)
{
    const QSize client(qMax(outer.width() - kFrameWidth, 1), qMax(outer.height() - kFrameHeight, 1));
    w->move(outer.topLeft());
    w->resize(client);
}

void keepOnScreen(QWidget *w)
{
    QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary)
        return;
    QRect outer = outerGeometry(w);
    // A corrupt record can hold any size; no window needs much more than the desktop.
    const QSize desktop = (primary->availableVirtualGeometry().size() * 2).expandedTo(QSize(866, 727));
    if (outer.width() > desktop.width() || outer.height() > desktop.height()) {
        outer.setSize(outer.size().boundedTo(desktop));
        setOuterGeometry(w, outer);
    }
    // Visible when a usable part of the title area lies on some screen.
    const QRect title(outer.left(), outer.top(), outer.width(), qMin(outer.height(), 30));
    for (QScreen *screen : QGuiApplication::screens()) {
        const QRect seen = screen->availableGeometry().intersected(title);
        if (seen.width() >= 60 && seen.height() >= 10)
            return;
    }
    const QRect avail = primary->availableGeometry();
    outer.setSize(outer.size().boundedTo(avail.size()));
    outer.moveCenter(avail.center());
    outer.moveTopLeft(QPoint(qMax(outer.left(), avail.left()), qMax(outer.top(), avail.top())));
    setOuterGeometry(w, outer);
}
