#pragma once

class AppStore;
class PanelWindowManager;

// The application's change observers, in their order: each store value the windows follow is
// forwarded to the window manager when it changes.
//   1 panels                  syncWindows (also once now)
//   2 bringToFrontRequestID   bringToFront of broughtToFrontPanelID, when set
//   3 showAllPanelsRequestID  bringAllToFront, while isRevealingAllPanels
//   4 settingsRequestID       showSettings of settingsPanelID, when set
//   5 renaming                updateRenaming
//   6 expandedGroupID         updateExpandedGroup
//   7 runningAppsRevision     syncWindowSizes
//   8 groupIconScreenFrames   repositionGroupWindow
//   9 dockVisibility          setShowsInTaskbar: panel windows appear in taskbars and pagers
//                             only while it is visible (also once now)
// The request values are fresh ids per request, so a repeated request is seen again; the value
// that goes with a request is read when it arrives. The connections end with the manager.
void connectStoreToWindows(AppStore &store, PanelWindowManager &manager);
