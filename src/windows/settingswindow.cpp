#include "settingswindow.h"

#include <QCloseEvent>
#include <QKeySequence>
#include <QShortcut>

SettingsWindow::SettingsWindow()
    : HostWindow(Body::Standard,
                 Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setStates(WindowStates{.skipsTaskbar = false});
    setTitle(QStringLiteral("Panel Settings"));
    resize(320, 240);
    // Escape closes it from whichever control has the focus, as it closes a dialog; an open
    // list of a picker takes its own Escape first.
    connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated, this, &QWidget::close);
}

void SettingsWindow::closeEvent(QCloseEvent *event)
{
    HostWindow::closeEvent(event);
    if (event->isAccepted())
        Q_EMIT closed();
}
