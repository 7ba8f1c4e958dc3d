#include "panelmenus.h"

#include "additembutton.h"
#include "removalconfirmation.h"
#include "store/appstore.h"
#include "windows/panelscreens.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QPixmap>

namespace {

const char destructiveProperty[] = "isDestructive";

QAction *addDestructive(QMenu &menu, const QString &title)
{
    QAction *action = menu.addAction(QIcon::fromTheme(QStringLiteral("edit-delete")), title);
    action->setProperty(destructiveProperty, true);
    return action;
}

void removePanel(AppStore *store, const QUuid &panelID, const QString &name)
{
    if (store->removePanel(panelID, false) != AppStore::RemovePanelResult::NeedsConfirmation)
        return;
    if (RemovalConfirmation::confirm(QStringLiteral("Remove Panel"), name))
        store->removePanel(panelID, true);
}

void removeTab(AppStore *store, const QUuid &tabID, const QUuid &panelID, const QString &name)
{
    if (store->removeTab(tabID, panelID, false) != AppStore::RemoveTabResult::NeedsConfirmation)
        return;
    if (RemovalConfirmation::confirm(QStringLiteral("Remove Tab"), name))
        store->removeTab(tabID, panelID, true);
}

void removeGroup(AppStore *store, const QUuid &groupID, const QUuid &panelID, const QString &name)
{
    if (store->removeItem(groupID, panelID, false) != AppStore::RemoveItemResult::NeedsConfirmation)
        return;
    if (RemovalConfirmation::confirm(QStringLiteral("Remove"), name))
        store->removeItem(groupID, panelID, true);
}

} // namespace

namespace PanelMenus {

void customIconMenu(QMenu &menu, const QUuid &itemID, const QUuid &panelID, AppStore &store)
{
    AppStore *target = &store;
    menu.addAction(QStringLiteral("Choose Icon\u2026"), [target, itemID, panelID] {
        if (target->chooseCustomIcon(itemID, panelID) == AppStore::SetCustomIconResult::NotAnImage)
            RemovalConfirmation::fileIsNotAnImage();
    });
    if (store.hasCustomIcon(itemID, panelID)) {
        menu.addAction(QStringLiteral("Use Default Icon"),
                       [target, itemID, panelID] { target->clearCustomIcon(itemID, panelID); });
    }
}

void addItems(AppStore &store, const QUuid &panelID)
{
    // The tab is read when the dialog opens; the dialog's own loop may outlast any view.
    if (const Panel *panel = store.panel(panelID))
        store.addItems(panel->activeTabID(), panelID);
}

void addPanelEntries(QMenu &menu, const Panel &panel, AppStore &store)
{
    AppStore *target = &store;
    const QUuid panelID = panel.id();
    const QString name = panel.name;
    menu.addAction(QStringLiteral("New Panel"), [target] { target->addPanel(std::nullopt, PanelScreens::screenIDUnderPointer()); });
    menu.addAction(QStringLiteral("Show All Panels"), [target] { target->showAllPanels(); });
    menu.addSeparator();
    menu.addAction(AddItemButton::title(), [target, panelID] { addItems(*target, panelID); });
    menu.addAction(QStringLiteral("New Group"), [target, panelID] { target->addGroup(panelID); });
    menu.addSeparator();
    menu.addAction(QStringLiteral("New Tab"), [target, panelID] { target->addTab(panelID); });
    menu.addSeparator();
    menu.addAction(QStringLiteral("Panel Settings\u2026"), [target, panelID] { target->openSettings(panelID); });
    QObject::connect(addDestructive(menu, QStringLiteral("Remove Panel")), &QAction::triggered,
                     [target, panelID, name] { removePanel(target, panelID, name); });
}

void addApplicationEntries(QMenu &menu, const QUrl &location, AppStore &store)
{
    AppStore *target = &store;
    const bool opensNewWindow = store.launcher().opensNewWindow(location);
    const QList<ApplicationAction> actions = store.launcher().actions(location);
    // The entries carry no input event: the launcher takes the time of the last input, the choice
    // of the entry itself.
    if (opensNewWindow) {
        menu.addAction(QIcon::fromTheme(QStringLiteral("window-new")), QStringLiteral("New Window"),
                       [target, location] { target->openNewWindow(ItemLink{.location = location}); });
    }
    for (const ApplicationAction &action : actions) {
        const QString actionID = action.id;
        // The name is the application's own text: an "&" in it marks no mnemonic.
        const QString title = QString(action.name).replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction *entry = menu.addAction(title, [target, location, actionID] { target->launchAction(location, actionID); });
        if (!action.iconName.isEmpty())
            entry->setIcon(QIcon::fromTheme(action.iconName, QIcon(action.iconName)));
    }
    if (opensNewWindow || !actions.isEmpty())
        menu.addSeparator();
}

void addLinkEntries(QMenu &menu, const ItemLink &link, const QUuid &panelID, AppStore &store)
{
    AppStore *target = &store;
    const QUuid linkID = link.id;
    addApplicationEntries(menu, link.location, store);
    customIconMenu(menu, linkID, panelID, store);
    menu.addSeparator();
    const Panel *panel = store.panel(panelID);
    const bool running = panel && store.isRunning(link.location, *panel);
    QObject::connect(addDestructive(menu, running ? QStringLiteral("Unpin") : QStringLiteral("Remove")),
                     &QAction::triggered, [target, linkID, panelID] { target->removeItem(linkID, panelID, false); });
}

void addRunningApplicationEntries(QMenu &menu, const QUrl &location, const QUuid &panelID, AppStore &store)
{
    AppStore *target = &store;
    addApplicationEntries(menu, location, store);
    menu.addAction(QStringLiteral("Keep in Panel"), [target, location, panelID] { target->keepInPanel(location, panelID); });
}

void addGroupEntries(QMenu &menu, const ItemGroup &group, const QUuid &panelID, AppStore &store)
{
    AppStore *target = &store;
    const QUuid groupID = group.id;
    const QString name = group.name;
    customIconMenu(menu, groupID, panelID, store);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Open"), [target, groupID] { target->expandGroup(groupID); });
    menu.addAction(QStringLiteral("Rename"), [target, groupID] { target->beginRenamingGroup(groupID); });
    QObject::connect(addDestructive(menu, QStringLiteral("Remove")), &QAction::triggered,
                     [target, groupID, panelID, name] { removeGroup(target, groupID, panelID, name); });
}

void addGroupMemberEntries(QMenu &menu, const ItemLink &link, const QUuid &groupID, const QUuid &panelID,
                           AppStore &store)
{
    AppStore *target = &store;
    const QUuid linkID = link.id;
    addApplicationEntries(menu, link.location, store);
    customIconMenu(menu, linkID, panelID, store);
    menu.addSeparator();
    QObject::connect(addDestructive(menu, QStringLiteral("Remove")), &QAction::triggered,
                     [target, linkID, groupID, panelID] { target->removeFromGroup(linkID, groupID, panelID); });
}

void addTabEntries(QMenu &menu, const PanelTab &tab, const QUuid &panelID, AppStore &store)
{
    AppStore *target = &store;
    const QUuid tabID = tab.id;
    const QString name = tab.name;
    menu.addAction(QStringLiteral("New Tab"), [target, panelID] { target->addTab(panelID); });
    menu.addSeparator();
    menu.addAction(QStringLiteral("Rename"), [target, tabID, panelID] { target->beginRenamingTab(tabID, panelID); });
    QMenu *colors = menu.addMenu(QStringLiteral("Color"));
    colors->addAction(QStringLiteral("No Color"),
                      [target, tabID, panelID] { target->setTabColor(std::nullopt, tabID, panelID); });
    colors->addSeparator();
    const qreal ratio = menu.devicePixelRatioF();
    for (const auto &[color, caseName] : EnumTraits<TabColor>::table) {
        const TabColor chosen = color;
        QAction *entry = colors->addAction(QIcon(QPixmap::fromImage(TabColors::swatch(chosen, ratio))),
                                           TabColors::menuTitle(chosen));
        QObject::connect(entry, &QAction::triggered,
                         [target, chosen, tabID, panelID] { target->setTabColor(chosen, tabID, panelID); });
    }
    menu.addSeparator();
    QAction *running = menu.addAction(QStringLiteral("Show Running Applications"));
    running->setCheckable(true);
    running->setChecked(tab.showsRunningApps);
    QObject::connect(running, &QAction::toggled,
                     [target, tabID, panelID](bool shows) { target->setShowsRunningApps(shows, tabID, panelID); });
    menu.addSeparator();
    QObject::connect(addDestructive(menu, QStringLiteral("Remove Tab")), &QAction::triggered,
                     [target, tabID, panelID, name] { removeTab(target, tabID, panelID, name); });
}

bool isDestructive(const QAction *action)
{
    return action && action->property(destructiveProperty).toBool();
}

} // namespace PanelMenus
