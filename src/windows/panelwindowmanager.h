#pragma once

#include "groupwindow.h"

#include "model/panel.h"
#include "store/appstore.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QUuid>

#include <memory>
#include <optional>

class GroupClickMonitor;
class QAction;
class HostWindow;
class PanelWindow;
class PositionSave;
class QScreen;
class QWindow;
class SettingsWindow;
class ViewFactory;
namespace PanelScreens {
struct AttachedScreens;
}

// Owns every window of the program and keeps them in step with the store: exactly one window per
// panel (content, size, frame, level, workspaces), the group popover, the settings windows, and
// the moments when a panel is raised, revealed, highlighted or may take focus. It writes back to
// the store in three places only: a dragged free panel's position (once the button is released),
// the end of a show-all reveal, and the clearing of renaming and of the expanded group.
//
// The application forwards the store's changes to it: `panels` to syncWindows, the
// bring-to-front, show-all and settings requests to bringToFront, bringAllToFront and
// showSettings, `renaming` to updateRenaming, `expandedGroupID` to updateExpandedGroup,
// `groupIconScreenFrames` to repositionGroupWindow, `runningAppsRevision` to syncWindowSizes.
// Screen changes it watches itself. Main thread only; one for the life of the application.
class PanelWindowManager : public QObject
{
    Q_OBJECT

public:
    explicit PanelWindowManager(std::unique_ptr<ViewFactory> views, QObject *parent = nullptr);
    ~PanelWindowManager() override;

    // --- Panel windows -------------------------------------------------------------------------
    // Creates, refreshes and closes windows to match `panels` (the store's list, in order). A
    // window gets a fresh view only when its panel's value changed.
    void syncWindows(const QList<Panel> &panels, AppStore &store);
    // Refits every window to its content on the next turn of the event loop. Views follow the
    // running applications on their own; this also runs when a view asks for a new size.
    void syncWindowSizes();
    // Re-places the windows after screens were attached, detached, moved or resized, or docks
    // changed the space they reserve. Called once per event-loop turn however many changes came.
    void screenParametersDidChange();
    // Another window manager took over: every window states its level, workspaces and taskbar
    // presence again, and panels and the popover go back to their frames. A free panel that was
    // never dragged stays where it is now.
    void windowManagerDidChange();
    // Whether panel windows appear in taskbars and pagers; they do not unless set.
    void setShowsInTaskbar(bool shows);
    // An action every window of the program offers from now on, such as the application's quit
    // shortcut: an application-wide shortcut works while one of its windows or their menus has
    // the keyboard, and only when it belongs to a visible widget.
    void addWindowAction(QAction *action);

    // --- Reveal and focus ----------------------------------------------------------------------
    void bringToFront(const QUuid &panelID);
    void bringAllToFront();
    void endRevealAll();
    void handleResignActive();
    void windowDidResignKey(HostWindow *window);
    void flashNewPanel(PanelWindow *window);
    void showSettings(const QUuid &panelID, AppStore &store);
    std::optional<QUuid> settingsWindowID(const QWidget *window) const;
    void updateRenaming(const std::optional<AppStore::TabRenaming> &renaming, AppStore &store);

    // --- Group popover -------------------------------------------------------------------------
    void updateExpandedGroup(const std::optional<QUuid> &groupID, AppStore &store);
    void relayoutGroupWindow();
    void repositionGroupWindow();
    static void positionGroupWindow(HostWindow *window, const Rect &anchor, const Rect &visible,
                                    const PanelPlacement &placement);
    void closeGroupWindow();
    // The first panel, in list order, with an item of this id in one of its tabs.
    static const Panel *panelOwning(const QUuid &groupID, const QList<Panel> &panels);

    // --- What is shown -------------------------------------------------------------------------
    PanelWindow *window(const QUuid &panelID) const { return m_windows.value(panelID); }
    GroupWindow *groupWindow() const { return m_groupWindow; }
    std::optional<QUuid> openGroupID() const { return m_openGroupID; }
    SettingsWindow *settingsWindow(const QUuid &panelID) const { return m_settingsWindows.value(panelID); }
    bool hasPendingPositionSave(const QUuid &panelID) const { return m_pendingPositionSaves.contains(panelID); }

    // The workspace behaviour of a panel's windows: stationary, ignoring window cycling and
    // allowed beside full-screen windows (336), plus on every workspace (337).
    static int collectionBehavior(bool forAllSpaces);

private:
    PanelWindow *makeWindow(const Panel &panel, AppStore &store, const PanelScreens::AttachedScreens &screens);
    void closeWindowOfRemovedPanel(const QUuid &panelID);
    // Sets the content size to the view's fitting size and places the window on its panel's
    // screen, as one frame change. `keepsUnsavedFreeFrame`: a free panel that was free before and
    // has no saved position stays where it is.
    void refitAndPlace(PanelWindow *window, const PanelPlacement &placement,
                       const PanelScreens::AttachedScreens &screens, bool keepsUnsavedFreeFrame);
    void applyFrame(HostWindow *window, const Rect &frame);
    void applyWindowLevel(PanelWindow *window, const QUuid &panelID);
    void applyWorkspaceBehavior(HostWindow *window, int behavior);
    void refitWindows();
    // Runs `work` on the next turn of the event loop, once however often it is asked before then.
    void postOnce(bool &scheduled, void (PanelWindowManager::*work)());
    void watchScreens();
    void scheduleScreenParametersChange();
    void windowDidMove(PanelWindow *window);
    void windowDidStartDrag(PanelWindow *window);
    void scheduleFreePositionSave(PanelWindow *window, const QUuid &panelID);
    void saveFreePosition(QPointer<PanelWindow> window, const QUuid &panelID);
    void watchResignActiveIfNeeded();
    void applicationDidResignActive();
    void installGroupClickMonitor();
    void removeGroupClickMonitor();
    void groupClickMonitorSawPress(QWindow *window, QPointF globalPosition);
    std::optional<QUuid> panelID(const QWidget *window) const;
    // Gives a window made by the manager what every window offers.
    void adopt(HostWindow *window) const;

    std::unique_ptr<ViewFactory> m_views;
    QList<QPointer<QAction>> m_windowActions;

    QHash<QUuid, PanelWindow *> m_windows;
    QHash<QUuid, PanelWindowLevel> m_windowLevels;
    QSet<QUuid> m_temporarilyRaisedPanelIDs;
    QSet<QUuid> m_revealedAllPanelIDs;
    bool m_hasCompletedInitialSync = false;
    QMetaObject::Connection m_resignActiveObserver;
    QHash<QUuid, PanelPlacementMode> m_placementModes;
    QPointer<AppStore> m_store;
    bool m_isApplyingProgrammaticFrame = false;
    QHash<QUuid, PositionSave *> m_pendingPositionSaves;
    QHash<QUuid, SettingsWindow *> m_settingsWindows;
    std::optional<QUuid> m_renamingPanelID;
    QPointer<GroupWindow> m_groupWindow;
    std::optional<QUuid> m_openGroupID;
    QPointer<GroupClickMonitor> m_groupClickMonitor;

    bool m_showsInTaskbar = false;
    bool m_isScreenChangeScheduled = false;
    bool m_isSizeSyncScheduled = false;
};
