#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

// The deferred save of a dragged free panel's position. It starts on the next turn of the event
// loop, waits while any mouse button is held (asking the server every 150 ms: the only timer
// that runs for a move, and only during one), then calls `save` once. Destroying it cancels it.
class PositionSave : public QObject
{
    Q_OBJECT

public:
    explicit PositionSave(std::function<void()> save, QObject *parent = nullptr);

    static constexpr int pollInterval = 150;

private:
    void poll();

    std::function<void()> m_save;
    QTimer m_timer;
};
