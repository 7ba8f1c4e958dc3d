#pragma once

#include "store/services.h"

#include "model/geometry.h"
#include "model/panel.h"

#include <QHash>
#include <QObject>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>

enum class DockVisibility { Hidden, Visible };

// The services handed to the store. The first three are required; a null `icons` makes the
// store use the file-based icon storage beside the configuration file, a null
// `runningAppsLookup` means no running applications are ever reported and a null
// `launcherEntries` that no application publishes anything (the application passes the
// desktop's own; this layer stays free of X11 and D-Bus).
struct AppStoreServices
{
    std::unique_ptr<FileSystemAccess> fileSystem;
    std::unique_ptr<ItemLauncher> launcher;
    std::unique_ptr<ConfigurationStorage> storage;
    std::unique_ptr<CustomIconStorage> icons;
    std::unique_ptr<RunningApplicationsLookup> runningAppsLookup;
    std::unique_ptr<LauncherEntries> launcherEntries;
};

// Supplies the applications of a first launch, asked only when the first-launch panel is built.
// The store knows no desktop: the application passes the desktop's own applications.
using StarterLocations = std::function<QList<QUrl>()>;

// The single observable object holding the whole application state. Main thread only.
//
// Every observable field notifies only when an assigned value differs from the stored one;
// commands that edit `panels` in place always notify. Every command that changes `panels`
// saves the complete list; a failed save is ignored and the state in memory stays changed.
class AppStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int runningAppsRevision READ runningAppsRevision NOTIFY runningAppsRevisionChanged)
    Q_PROPERTY(bool isRevealingAllPanels READ isRevealingAllPanels NOTIFY isRevealingAllPanelsChanged)

public:
    struct TabRenaming
    {
        QUuid panelID;
        QUuid tabID;
        bool operator==(const TabRenaming &) const = default;
    };

    enum class RemovePanelResult { Removed, NeedsConfirmation, NotFound };
    enum class RemoveTabResult { Removed, NeedsConfirmation, NotFound };
    enum class RemoveItemResult { Removed, NeedsConfirmation, NotFound };
    enum class SetCustomIconResult { Set, Cancelled, NotAnImage, NotFound };

    // `panels` given: used as they are (an empty list becomes one default panel), nothing is
    // loaded or saved. Otherwise the storage is loaded; with nothing ever stored the first-launch
    // panel holding the `starterLocations` (none when not given) is built and saved at once; with
    // a stored but unreadable configuration one default panel is used and nothing is saved.
    explicit AppStore(AppStoreServices services,
                      std::optional<QList<Panel>> panels = std::nullopt,
                      const StarterLocations &starterLocations = {},
                      QObject *parent = nullptr);
    ~AppStore() override;

    static Panel makeDefaultPanel();
    static Panel makeFirstLaunchPanel(const QList<QUrl> &starterLocations);

    // --- State -----------------------------------------------------------------------------
    DockVisibility dockVisibility() const { return m_dockVisibility; }
    const QList<Panel> &panels() const { return m_panels; }
    const Panel *panel(const QUuid &panelID) const;
    const std::optional<TabRenaming> &renaming() const { return m_renaming; }
    const std::optional<QUuid> &broughtToFrontPanelID() const { return m_broughtToFrontPanelID; }
    QUuid bringToFrontRequestID() const { return m_bringToFrontRequestID; }
    bool isRevealingAllPanels() const { return m_isRevealingAllPanels; }
    QUuid showAllPanelsRequestID() const { return m_showAllPanelsRequestID; }
    const std::optional<QUuid> &settingsPanelID() const { return m_settingsPanelID; }
    QUuid settingsRequestID() const { return m_settingsRequestID; }
    const std::optional<QUuid> &expandedGroupID() const { return m_expandedGroupID; }
    const std::optional<QUuid> &editingGroupID() const { return m_editingGroupID; }
    const QHash<QUuid, Rect> &groupIconScreenFrames() const { return m_groupIconScreenFrames; }
    int runningAppsRevision() const { return m_runningAppsRevision; }

    FileSystemAccess &fileSystem() const { return *m_services.fileSystem; }
    ItemLauncher &launcher() const { return *m_services.launcher; }
    ConfigurationStorage &storage() const { return *m_services.storage; }
    CustomIconStorage &icons() const { return *m_services.icons; }
    RunningApplicationsLookup &runningAppsLookup() const { return *m_services.runningAppsLookup; }
    const LauncherEntries &launcherEntries() const { return *m_services.launcherEntries; }

    void setDockVisibility(DockVisibility visibility);

    // --- Panel commands -----------------------------------------------------------------------
    void addPanel(const std::optional<QString> &name = std::nullopt,
                  const std::optional<QString> &screenID = std::nullopt);
    RemovePanelResult removePanel(const QUuid &panelID, bool confirmed);
    void renamePanel(const QUuid &panelID, const QString &name);
    void openSettings(const QUuid &panelID);
    void bringToFront(const QUuid &panelID);
    void showAllPanels();
    void endRevealAllPanels();
    void setPlacement(const PanelPlacement &placement, const QUuid &panelID);
    void setPlacementMode(PanelPlacementMode mode, const QUuid &panelID);
    void setPlacementEdge(PanelEdge edge, const QUuid &panelID);
    void setPlacementAlignment(PanelAlignment alignment, const QUuid &panelID);
    void setPlacementEdgeInset(double inset, const QUuid &panelID);
    void setFreePosition(const PanelFreePosition &position, const std::optional<QString> &screenID,
                         const QUuid &panelID);
    void setWindowLevel(PanelWindowLevel level, const QUuid &panelID);
    void setShowsItemLabels(bool shows, const QUuid &panelID);
    void setShowsHoverHighlight(bool shows, const QUuid &panelID);
    void setShowsTooltips(bool shows, const QUuid &panelID);
    void setShowsOnAllSpaces(bool shows, const QUuid &panelID);
    void setIconSize(PanelIconSize size, const QUuid &panelID);
    void setIconSpacing(PanelIconSpacing spacing, const QUuid &panelID);
    void setTabStyle(PanelTabStyle style, const QUuid &panelID);

    // --- Tab commands -------------------------------------------------------------------------
    void addTab(const QUuid &panelID);
    void renameTab(const QUuid &tabID, const QString &name, const QUuid &panelID);
    void setTabColor(std::optional<TabColor> color, const QUuid &tabID, const QUuid &panelID);
    void setShowsRunningApps(bool shows, const QUuid &tabID, const QUuid &panelID);
    RemoveTabResult removeTab(const QUuid &tabID, const QUuid &panelID, bool confirmed);
    void selectTab(const QUuid &tabID, const QUuid &panelID);
    void beginRenamingTab(const QUuid &tabID, const QUuid &panelID);
    void cancelRenamingTab();
    void commitRenamingTab(const QString &name);

    // --- Item and group commands --------------------------------------------------------------
    // From the open dialog into a tab.
    void addItems(const QUuid &tabID, const QUuid &panelID);
    // One new link per location, inserted as one block before `before` (or at the end).
    void addItems(const QList<QUrl> &locations, const std::optional<QUuid> &before, const QUuid &tabID,
                  const QUuid &panelID);
    // From the open dialog into a group.
    void addItemsToGroup(const QUuid &groupID, const QUuid &panelID);
    // Appended one at a time to the group.
    void addItemsToGroup(const QList<QUrl> &locations, const QUuid &groupID, const QUuid &panelID);
    // Inserted as one block into the group before `before` (or at the end).
    void addItemsToGroup(const QList<QUrl> &locations, const std::optional<QUuid> &before,
                         const QUuid &groupID, const QUuid &panelID);
    void keepInPanel(const QUrl &location, const QUuid &panelID);

    void addGroup(const QUuid &panelID);
    void expandGroup(const QUuid &groupID);
    void collapseGroup();
    void beginRenamingGroup(const QUuid &groupID);
    void renameGroup(const QUuid &groupID, const QString &name, const QUuid &panelID);
    void updateGroupIconFrame(const Rect &frame, const QUuid &groupID);

    void moveItem(const QUuid &itemID, const std::optional<QUuid> &before, const QUuid &panelID);
    void moveIntoGroup(const QUuid &linkID, const QUuid &groupID, const QUuid &panelID);
    void moveLinkWithinGroup(const QUuid &linkID, const std::optional<QUuid> &before, const QUuid &groupID,
                             const QUuid &panelID);
    void removeFromGroup(const QUuid &linkID, const QUuid &groupID, const QUuid &panelID);
    RemoveItemResult removeItem(const QUuid &itemID, const QUuid &panelID, bool confirmed);

    QIcon icon(const QUrl &location) const;
    QString name(const QUrl &location) const;
    bool hasCustomIcon(const QUuid &itemID, const QUuid &panelID) const;
    std::optional<QImage> customIconImage(const QUuid &itemID, const QUuid &panelID) const;
    SetCustomIconResult chooseCustomIcon(const QUuid &itemID, const QUuid &panelID);
    SetCustomIconResult setCustomIcon(const QUrl &source, const QUuid &itemID, const QUuid &panelID);
    void clearCustomIcon(const QUuid &itemID, const QUuid &panelID);
    // The icon file name of an item: its UUID upper-case, without braces, then ".png".
    static QString customIconFileName(const QUuid &itemID);

    // Opens the link: an application that has windows is brought forward (its most recent
    // window, or while it is active its next one); everything else is launched. `timestamp`:
    // that of the input event that asked for it (QInputEvent::timestamp()).
    void launch(const ItemLink &link, std::optional<quint32> timestamp = std::nullopt);
    void launchFromGroup(const ItemLink &link, std::optional<quint32> timestamp = std::nullopt);
    // Asks the link's application for a new window even while it runs; where it offers none
    // (single-window applications, folders, files) the link is opened as by launch().
    void openNewWindow(const ItemLink &link, std::optional<quint32> timestamp = std::nullopt);
    // Runs one of the actions the launcher lists for the application at `location`.
    void launchAction(const QUrl &location, const QString &actionID, std::optional<quint32> timestamp = std::nullopt);
    bool isRunning(const QUrl &location, const Panel &panel) const;
    QList<QUrl> runningApps(const Panel &panel) const;
    // Since when the application at `location` asks for attention; none when it does not, or
    // when the panel's active tab does not follow running applications (as isRunning()).
    std::optional<std::chrono::steady_clock::time_point> attentionSince(const QUrl &location, const Panel &panel) const;

    // --- Frame geometry (pure; y-up global coordinates, no rounding) ---------------------------
    static Rect frame(const PanelPlacement &placement, const Size &contentSize, const Rect &visibleFrame);
    static PanelFreePosition freePosition(const Rect &frame, const Rect &visibleFrame);

Q_SIGNALS:
    void dockVisibilityChanged();
    void panelsChanged();
    void renamingChanged();
    void broughtToFrontPanelIDChanged();
    void bringToFrontRequestIDChanged();
    void isRevealingAllPanelsChanged();
    void showAllPanelsRequestIDChanged();
    void settingsPanelIDChanged();
    void settingsRequestIDChanged();
    void expandedGroupIDChanged();
    void editingGroupIDChanged();
    void groupIconScreenFramesChanged();
    void runningAppsRevisionChanged();
    // What an application publishes for its tiles changed (LauncherEntries::entry).
    void launcherEntryChanged(const QString &applicationID);

private:
    // Stores `value` in `field` and emits `changed` only when they differ.
    template<typename T>
    void assign(T &field, const T &value, void (AppStore::*changed)())
    {
        if (field == value)
            return;
        field = value;
        Q_EMIT(this->*changed)();
    }

    qsizetype indexOfPanel(const QUuid &panelID) const;
    // Runs `edit` on the panel if it exists; when `edit` returns true (or is void), saves and
    // notifies. Returns whether the panel existed and the edit reported a change.
    template<typename Edit>
    bool editPanel(const QUuid &panelID, Edit edit);
    void saveAndNotify();
    void removeIconFiles(const QStringList &fileNames);
    void endRenamingIfInPanel(const QUuid &panelID);
    void clearGroupUIIfInTab(const PanelTab &tab);

    AppStoreServices m_services;

    DockVisibility m_dockVisibility = DockVisibility::Hidden;
    QList<Panel> m_panels;
    std::optional<TabRenaming> m_renaming;
    std::optional<QUuid> m_broughtToFrontPanelID;
    QUuid m_bringToFrontRequestID;
    bool m_isRevealingAllPanels = false;
    QUuid m_showAllPanelsRequestID;
    std::optional<QUuid> m_settingsPanelID;
    QUuid m_settingsRequestID;
    std::optional<QUuid> m_expandedGroupID;
    std::optional<QUuid> m_editingGroupID;
    QHash<QUuid, Rect> m_groupIconScreenFrames;
    int m_runningAppsRevision = 0;
};

template<typename Edit>
bool AppStore::editPanel(const QUuid &panelID, Edit edit)
{
    const qsizetype index = indexOfPanel(panelID);
    if (index < 0)
        return false;
    Panel &target = m_panels[index];
    if constexpr (std::is_void_v<decltype(edit(target))>) {
        edit(target);
    } else {
        if (!edit(target))
            return false;
    }
    saveAndNotify();
    return true;
}
