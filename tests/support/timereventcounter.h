#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QStringList>

// Counts the timer events delivered to any object of the main thread while it exists, and names
// each receiver by its class.
class TimerEventCounter : public QObject
{
public:
    TimerEventCounter() { QCoreApplication::instance()->installEventFilter(this); }
    ~TimerEventCounter() override { QCoreApplication::instance()->removeEventFilter(this); }

    int count = 0;
    QStringList receivers;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Timer) {
            ++count;
            receivers.append(QString::fromLatin1(watched->metaObject()->className()));
        }
        return false;
    }
};
