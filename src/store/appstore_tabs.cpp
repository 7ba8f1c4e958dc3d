#include "appstore.h"

#include "model/defaultname.h"
#include "store/iconreferences.h"

void AppStore::addTab(const QUuid &panelID)
{
    if (!panel(panelID))
        return;
    endRenamingIfInPanel(panelID);
    editPanel(panelID, [](Panel &panel) {
        PanelTab added;
        added.name = DefaultName::tab(int(panel.tabs().size()) + 1);
        panel.addTab(added); // becomes active and reveals the tab bar
    });
}

void AppStore::renameTab(const QUuid &tabID, const QString &name, const QUuid &panelID)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return;
    editPanel(panelID, [&](Panel &panel) { panel.renameTab(tabID, trimmed); });
}

void AppStore::setTabColor(std::optional<TabColor> color, const QUuid &tabID, const QUuid &panelID)
{
    editPanel(panelID, [&](Panel &panel) { panel.setColor(color, tabID); });
}

void AppStore::setShowsRunningApps(bool shows, const QUuid &tabID, const QUuid &panelID)
{
    editPanel(panelID, [&](Panel &panel) { panel.setShowsRunningApps(shows, tabID); });
}

AppStore::RemoveTabResult AppStore::removeTab(const QUuid &tabID, const QUuid &panelID, bool confirmed)
{
    const Panel *owner = panel(panelID);
    const PanelTab *found = owner ? owner->tab(tabID) : nullptr;
    if (!found)
        return RemoveTabResult::NotFound;
    if (!found->items.isEmpty() && !confirmed)
        return RemoveTabResult::NeedsConfirmation;

    // Copied before any observer runs: the notifications below may reach code that edits panels.
    const PanelTab removed = *found;
    const QStringList iconFiles = owner->customIconFileNames(tabID);
    const bool isOnlyTab = owner->tabs().size() == 1;

    if (isOnlyTab)
        endRenamingIfInPanel(panelID);
    else if (m_renaming == TabRenaming{panelID, tabID})
        assign(m_renaming, std::optional<TabRenaming>(), &AppStore::renamingChanged);
    clearGroupUIIfInTab(removed);
    const bool edited = editPanel(panelID, [&](Panel &panel) {
        if (!isOnlyTab)
            return panel.removeTab(tabID);
        panel.resetToEmptyState(DefaultName::firstTab());
        return true;
    });
    if (!edited)
        return RemoveTabResult::NotFound;
    // Only files no other item still shows go (a loaded configuration may share one).
    removeIconFiles(unreferencedIconFiles(iconFiles, m_panels));
    return RemoveTabResult::Removed;
}

void AppStore::selectTab(const QUuid &tabID, const QUuid &panelID)
{
    if (!panel(panelID))
        return;
    if (m_renaming != TabRenaming{panelID, tabID})
        endRenamingIfInPanel(panelID);
    // Saves even when the tab was already active or is unknown.
    editPanel(panelID, [&tabID](Panel &panel) { panel.selectTab(tabID); });
}

void AppStore::beginRenamingTab(const QUuid &tabID, const QUuid &panelID)
{
    assign(m_renaming, std::optional<TabRenaming>(TabRenaming{panelID, tabID}), &AppStore::renamingChanged);
}

void AppStore::cancelRenamingTab()
{
    assign(m_renaming, std::optional<TabRenaming>(), &AppStore::renamingChanged);
}

void AppStore::commitRenamingTab(const QString &name)
{
    if (!m_renaming)
        return;
    const TabRenaming target = *m_renaming;
    cancelRenamingTab();
    renameTab(target.tabID, name, target.panelID);
}
