#pragma once

#include "trayhostwatcher.h"
#include "traymenu.h"

#include <QDBusConnection>
#include <QObject>

#include <memory>

class AppStore;
class QSystemTrayIcon;

// The program's item in the system tray: the grid icon, the tooltip "Quayrow 2" and the menu.
// The item appears as soon as a tray does (see TrayHostWatcher). Without one, the program says
// once on standard error how its commands are reached instead.
class Tray : public QObject
{
    Q_OBJECT

public:
    Tray(AppStore &store, QDBusConnection bus, QObject *parent = nullptr);
    ~Tray() override;

    TrayMenu &menu() { return m_menu; }
    // The tray icon, once a tray has appeared.
    QSystemTrayIcon *icon() const { return m_icon.get(); }

private:
    void showIcon(TrayHostWatcher::Host host);

    AppStore &m_store;
    TrayMenu m_menu;
    TrayHostWatcher m_hosts;
    std::unique_ptr<QSystemTrayIcon> m_icon;
};
