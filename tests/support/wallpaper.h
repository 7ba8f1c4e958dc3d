#pragma once

#include <QColor>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

// The developer tools' wallpaper for screenshots: a desktop window, which window managers keep
// below everything (a plain screen-sized window without a frame would count as full screen and
// cover the panels), painted with an evening sky. Subclasses paint over the sky.
class Wallpaper : public QWidget
{
public:
    Wallpaper()
        : QWidget(nullptr, Qt::FramelessWindowHint)
    {
        // Qt passes the type on only to a native window that exists.
        winId();
        setAttribute(Qt::WA_X11NetWmWindowTypeDesktop);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QLinearGradient sky(rect().topLeft(), rect().bottomRight());
        sky.setColorAt(0, QColor(0x2c, 0x5e, 0x8a));
        sky.setColorAt(0.55, QColor(0x6f, 0x93, 0xb8));
        sky.setColorAt(1, QColor(0xd9, 0x9a, 0x6c));
        painter.fillRect(rect(), sky);
    }
};
