#include "busycursor.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

void runWithBusyCursor(const std::function<void()> &work)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        work();
        return;
    }
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    struct Restore
    {
        ~Restore() { QGuiApplication::restoreOverrideCursor(); }
    } restore;
    work();
}
