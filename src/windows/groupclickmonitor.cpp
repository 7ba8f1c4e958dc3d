#include "groupclickmonitor.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWindow>

GroupClickMonitor::GroupClickMonitor(Handler handler, QObject *parent)
    : QObject(parent)
    , m_handler(std::move(handler))
{
    QCoreApplication::instance()->installEventFilter(this);
}

GroupClickMonitor::~GroupClickMonitor()
{
    stop();
}

void GroupClickMonitor::stop()
{
    if (QCoreApplication *application = QCoreApplication::instance())
        application->removeEventFilter(this);
}

bool GroupClickMonitor::eventFilter(QObject *watched, QEvent *event)
{
    // Presses reach a window first and then travel through its widgets; the window sees each once.
    if (event->type() == QEvent::MouseButtonPress && watched->isWindowType()) {
        const auto *press = static_cast<QMouseEvent *>(event);
        if (press->button() == Qt::LeftButton || press->button() == Qt::RightButton)
            m_handler(static_cast<QWindow *>(watched), press->globalPosition());
    }
    return false;
}
