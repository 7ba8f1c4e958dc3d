#pragma once

#include <QString>
#include <QUrl>
#include <QUuid>

#include <optional>

class AppStore;
struct ItemGroup;
class Panel;
struct PanelTab;
class QAction;
class QMenu;
struct ItemLink;

// The context menus of a panel and its tiles. Each function appends its entries to `menu`,
// built from the store as it is when the menu opens. The entries hold the store and the ids they
// act on, never a view: a view may be replaced while its menu, or a dialog the entry opens, runs.
namespace PanelMenus {

// "Choose Icon…" and, while the item has a custom icon, "Use Default Icon".
void customIconMenu(QMenu &menu, const QUuid &itemID, const QUuid &panelID, AppStore &store);

// The menu of the panel itself: "New Panel", "Show All Panels", "Add Item…", "New Group",
// "New Tab", "Panel Settings…" and "Remove Panel".
void addPanelEntries(QMenu &menu, const Panel &panel, AppStore &store);

// An application's own entries, at the top of its tiles' menus: "New Window" where the
// application offers one, then the actions of its desktop entry, with their icons, then a
// divider. Nothing for folders, files and applications without either.
void addApplicationEntries(QMenu &menu, const QUrl &location, AppStore &store);

// A link tile's menu: the application's entries, the custom icon entries, then "Unpin" while
// its application runs in this panel, "Remove" otherwise.
void addLinkEntries(QMenu &menu, const ItemLink &link, const QUuid &panelID, AppStore &store);

// A running application's tile: the application's entries, then "Keep in Panel".
void addRunningApplicationEntries(QMenu &menu, const QUrl &location, const QUuid &panelID, AppStore &store);

// A group tile's menu: the custom icon entries, "Open", "Rename" and "Remove".
void addGroupEntries(QMenu &menu, const ItemGroup &group, const QUuid &panelID, AppStore &store);

// A member of a group's popover: its application's entries, the custom icon entries, then
// "Remove", which takes it out of the group without asking.
void addGroupMemberEntries(QMenu &menu, const ItemLink &link, const QUuid &groupID, const QUuid &panelID,
                           AppStore &store);

// A tab chip's menu: "New Tab", "Rename", the "Color" submenu, the "Show Running Applications"
// toggle and "Remove Tab" (asking first when the tab holds items).
void addTabEntries(QMenu &menu, const PanelTab &tab, const QUuid &panelID, AppStore &store);

// Asks for files and folders and appends them to the panel's active tab.
void addItems(AppStore &store, const QUuid &panelID);

// Whether `action` removes something (drawn as such in the menu).
bool isDestructive(const QAction *action);

} // namespace PanelMenus
