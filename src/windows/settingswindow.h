#pragma once

#include "hostwindow.h"

// A panel's settings: a standard, titled, closable window titled "Panel Settings", closed also
// by Escape.
class SettingsWindow : public HostWindow
{
    Q_OBJECT

public:
    SettingsWindow();

Q_SIGNALS:
    // The user closed the window (or it was closed); the window itself stays until released.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
};
