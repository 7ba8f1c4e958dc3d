// Adding, moving, removing and launching links and groups; running-application queries.

#include "appstore.h"

#include "store/iconreferences.h"

#include "model/localfile.h"

#include <QDir>
#include <QSet>

namespace {

// One new link per usable location, in the given order. Links are local file-system objects kept
// by their absolute path, so a location without one (another scheme or host, an empty or
// relative path) could not be stored and read back: it is skipped. A location written in
// another form of its path ("file://localhost/x") is kept as the plain path it names.
QList<ItemLink> newLinks(const QList<QUrl> &locations)
{
    QList<ItemLink> links;
    for (const QUrl &location : locations) {
        const std::optional<QString> path = localFilePath(location);
        if (!path)
            continue;
        const bool plain = location.host().isEmpty() && location.toLocalFile() == *path;
        links.append(ItemLink{.location = plain ? location : QUrl::fromLocalFile(*path)});
    }
    return links;
}

// Locations compare equal when they name the same file after "." and ".." segments and a
// trailing separator are resolved.
QUrl standardizedLocation(const QUrl &location)
{
    if (location.isLocalFile())
        return QUrl::fromLocalFile(QDir::cleanPath(location.toLocalFile()));
    return location.adjusted(QUrl::NormalizePathSegments | QUrl::StripTrailingSlash);
}

const Item *topLevelItem(const PanelTab &tab, const QUuid &itemID)
{
    for (const Item &item : tab.items) {
        if (item.id() == itemID)
            return &item;
    }
    return nullptr;
}

} // namespace

// --- Adding -----------------------------------------------------------------------------------

void AppStore::addItems(const QUuid &tabID, const QUuid &panelID)
{
    addItems(fileSystem().chooseLocations(), std::nullopt, tabID, panelID);
}

void AppStore::addItems(const QList<QUrl> &locations, const std::optional<QUuid> &before, const QUuid &tabID,
                        const QUuid &panelID)
{
    const QList<ItemLink> links = newLinks(locations);
    if (links.isEmpty())
        return;
    const QList<Item> items(links.cbegin(), links.cend());
    editPanel(panelID, [&](Panel &panel) { panel.insert(items, before, tabID); });
}

void AppStore::addItemsToGroup(const QUuid &groupID, const QUuid &panelID)
{
    addItemsToGroup(fileSystem().chooseLocations(), groupID, panelID);
}

void AppStore::addItemsToGroup(const QList<QUrl> &locations, const QUuid &groupID, const QUuid &panelID)
{
    const QList<ItemLink> links = newLinks(locations);
    if (links.isEmpty())
        return;
    editPanel(panelID, [&](Panel &panel) {
        bool appended = false;
        for (const ItemLink &link : links)
            appended = panel.appendLink(link, groupID) || appended;
        return appended;
    });
}

void AppStore::addItemsToGroup(const QList<QUrl> &locations, const std::optional<QUuid> &before,
                               const QUuid &groupID, const QUuid &panelID)
{
    const QList<ItemLink> links = newLinks(locations);
    if (links.isEmpty())
        return;
    editPanel(panelID, [&](Panel &panel) { return panel.insertLinks(links, before, groupID); });
}

void AppStore::keepInPanel(const QUrl &location, const QUuid &panelID)
{
    if (const Panel *target = panel(panelID))
        addItems({location}, std::nullopt, target->activeTab().id, panelID);
}

// --- Moving -----------------------------------------------------------------------------------

void AppStore::moveItem(const QUuid &itemID, const std::optional<QUuid> &before, const QUuid &panelID)
{
    editPanel(panelID, [&](Panel &panel) { return panel.moveItem(itemID, before, panel.activeTab().id); });
}

void AppStore::moveIntoGroup(const QUuid &linkID, const QUuid &groupID, const QUuid &panelID)
{
    // The link keeps its custom icon: it still references the file from inside the group.
    editPanel(panelID, [&](Panel &panel) { return panel.moveLinkIntoGroup(linkID, groupID, panel.activeTab().id); });
}

void AppStore::moveLinkWithinGroup(const QUuid &linkID, const std::optional<QUuid> &before, const QUuid &groupID,
                                   const QUuid &panelID)
{
    editPanel(panelID, [&](Panel &panel) { return panel.moveLink(linkID, before, groupID); });
}

// --- Removing ---------------------------------------------------------------------------------

void AppStore::removeFromGroup(const QUuid &linkID, const QUuid &groupID, const QUuid &panelID)
{
    const Panel *target = panel(panelID);
    if (!target)
        return;
    const QStringList iconsBefore = target->customIconFileNames();
    if (editPanel(panelID, [&](Panel &panel) { return panel.removeLink(linkID, groupID); }))
        removeIconFiles(unreferencedIconFiles(iconsBefore, m_panels));
}

AppStore::RemoveItemResult AppStore::removeItem(const QUuid &itemID, const QUuid &panelID, bool confirmed)
{
    const Panel *target = panel(panelID);
    const Item *item = target ? topLevelItem(target->activeTab(), itemID) : nullptr;
    if (!item)
        return RemoveItemResult::NotFound;
    if (item->isGroup() && !item->group()->links.isEmpty() && !confirmed)
        return RemoveItemResult::NeedsConfirmation;

    // Copied first: observers of the popover state may already change the panel list.
    const QStringList iconFiles = item->customIconFileNames();
    if (m_expandedGroupID == itemID || m_editingGroupID == itemID)
        collapseGroup();
    if (!editPanel(panelID, [&](Panel &panel) { return panel.removeItem(itemID, panel.activeTab().id); }))
        return RemoveItemResult::NotFound;
    removeIconFiles(unreferencedIconFiles(iconFiles, m_panels));
    return RemoveItemResult::Removed;
}

// --- Launching and running applications -------------------------------------------------------

void AppStore::launch(const ItemLink &link, std::optional<quint32> timestamp)
{
    // Opening an application that runs shows it, as a dock does, rather than starting a copy.
    if (runningAppsLookup().bringForward(link.location, timestamp))
        return;
    launcher().launch(link.location, timestamp);
}

void AppStore::openNewWindow(const ItemLink &link, std::optional<quint32> timestamp)
{
    if (launcher().opensNewWindow(link.location))
        launcher().openNewWindow(link.location, timestamp);
    else
        launch(link, timestamp);
}

void AppStore::launchFromGroup(const ItemLink &link, std::optional<quint32> timestamp)
{
    launch(link, timestamp);
    collapseGroup();
}

bool AppStore::isRunning(const QUrl &location, const Panel &panel) const
{
    if (!panel.activeTab().showsRunningApps)
        return false;
    const QUrl wanted = standardizedLocation(location);
    const QList<QUrl> running = runningAppsLookup().runningApplications();
    return std::any_of(running.cbegin(), running.cend(),
                       [&wanted](const QUrl &app) { return standardizedLocation(app) == wanted; });
}

void AppStore::launchAction(const QUrl &location, const QString &actionID, std::optional<quint32> timestamp)
{
    launcher().launchAction(location, actionID, timestamp);
}

std::optional<std::chrono::steady_clock::time_point> AppStore::attentionSince(const QUrl &location,
                                                                             const Panel &panel) const
{
    // Only such a tab's view is rebuilt when the request is answered.
    if (!panel.activeTab().showsRunningApps)
        return std::nullopt;
    return runningAppsLookup().attentionSince(standardizedLocation(location));
}

QList<QUrl> AppStore::runningApps(const Panel &panel) const
{
    const PanelTab &tab = panel.activeTab();
    if (!tab.showsRunningApps)
        return {};
    QSet<QUrl> linked;
    for (const Item &item : tab.items) {
        if (const ItemLink *link = item.link())
            linked.insert(standardizedLocation(link->location));
        else if (const ItemGroup *group = item.group()) {
            for (const ItemLink &member : group->links)
                linked.insert(standardizedLocation(member.location));
        }
    }
    QList<QUrl> shown;
    for (const QUrl &app : runningAppsLookup().runningApplications()) {
        if (!linked.contains(standardizedLocation(app)))
            shown.append(app);
    }
    return shown;
}
