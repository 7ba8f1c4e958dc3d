#include "panelmenus.h"

#include "additembutton.h"
#include "removalconfirmation.h"
#include "store/appstore.h"
#include "windows/panelscreens.h"

#include <QAction>
#include <QIcon>
#include <QMenu>

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

void addLinkEntries(QMenu &menu, const ItemLink &link, const QUuid &panelID, AppStore &store)
{
    AppStore *target = &store;
    const QUuid linkID = link.id;
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

bool isDestructive(const QAction *action)
{
    return action && action->property(destructiveProperty).toBool();
}

} // namespace PanelMenus
