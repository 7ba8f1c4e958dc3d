#include "positionsave.h"

#include "x11desktop.h"

PositionSave::PositionSave(std::function<void()> save, QObject *parent)
    : QObject(parent)
    , m_save(std::move(save))
{
    m_timer.setInterval(pollInterval);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PositionSave::poll);
    QMetaObject::invokeMethod(this, &PositionSave::poll, Qt::QueuedConnection);
}

void PositionSave::poll()
{
    if (X11Desktop::instance().pressedButtons() != Qt::NoButton) {
        if (!m_timer.isActive())
            m_timer.start();
        return;
    }
    m_timer.stop();
    // May destroy this object; nothing may follow.
    m_save();
}
