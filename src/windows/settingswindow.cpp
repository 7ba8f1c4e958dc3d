#include "settingswindow.h"

#include <QCloseEvent>

SettingsWindow::SettingsWindow()
    : HostWindow(Body::Standard,
                 Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setStates(WindowStates{.skipsTaskbar = false});
    setTitle(QStringLiteral("Panel Settings"));
    resize(320, 240);
}

void SettingsWindow::closeEvent(QCloseEvent *event)
{
    HostWindow::closeEvent(event);
    if (event->isAccepted())
        Q_EMIT closed();
}
