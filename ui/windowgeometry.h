#pragma once

#include <QRect>

class QWidget;

// Outer window rectangles are stored; the frame is counted as designed so
// sizes round-trip exactly whatever the window manager reports.
QRect outerGeometry(const QWidget *window);
void setOuterGeometry(QWidget *window, const QRect &outer);
// A window that would lie off every screen is brought onto the primary one.
void keepOnScreen(QWidget *window);
