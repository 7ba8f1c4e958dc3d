#include "tray.h"

#include "appidentity.h"
#include "gridicon.h"

#include "store/appstore.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QTextStream>

Tray::Tray(AppStore &store, QDBusConnection bus, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_menu(store)
    , m_hosts(std::move(bus))
{
    connect(&m_hosts, &TrayHostWatcher::trayAvailable, this, &Tray::showIcon);
    connect(&m_hosts, &TrayHostWatcher::startedWithoutTray, this, [] {
        const QString program = AppIdentity::executableName();
        QTextStream(stderr) << AppIdentity::displayName() << ": no system tray is running. The commands of its menu are "
                            << "also reached as \"" << program << " --new-panel\", \"" << program
                            << " --show-all-panels\" and \"" << program << " --quit\".\n";
    });
}

Tray::~Tray() = default;

void Tray::showIcon(TrayHostWatcher::Host host)
{
    m_menu.setShownOverDBus(host == TrayHostWatcher::Host::StatusNotifier);
    m_icon = std::make_unique<QSystemTrayIcon>(GridIcon::icon());
    m_icon->setToolTip(AppIdentity::displayName());
    m_icon->setContextMenu(m_menu.menu());
    // A click on the item brings the panels forward; the menu opens from the context click.
    connect(m_icon.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            m_store.showAllPanels();
    });
    m_icon->show();
}
