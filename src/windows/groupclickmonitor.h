#pragma once

#include <QObject>
#include <QPointF>

#include <functional>

class QWindow;

// Sees every left and right press in the program's own windows, before the window handles it,
// and reports the window and the press's global position (Qt coordinates). The press is always
// delivered as usual.
class GroupClickMonitor : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(QWindow *window, QPointF globalPosition)>;
    GroupClickMonitor(Handler handler, QObject *parent);
    ~GroupClickMonitor() override;

    // Stops reporting presses.
    void stop();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Handler m_handler;
};
