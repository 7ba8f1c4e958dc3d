#include "storeobservers.h"

#include "panelwindowmanager.h"

#include "store/appstore.h"

namespace {

void applyDockVisibility(const AppStore &store, PanelWindowManager &manager)
{
    manager.setShowsInTaskbar(store.dockVisibility() == DockVisibility::Visible);
}

} // namespace

void connectStoreToWindows(AppStore &store, PanelWindowManager &manager)
{
    AppStore *s = &store;
    PanelWindowManager *m = &manager;
    QObject::connect(s, &AppStore::panelsChanged, m, [s, m] { m->syncWindows(s->panels(), *s); });
    QObject::connect(s, &AppStore::bringToFrontRequestIDChanged, m, [s, m] {
        if (s->broughtToFrontPanelID())
            m->bringToFront(*s->broughtToFrontPanelID());
    });
    QObject::connect(s, &AppStore::showAllPanelsRequestIDChanged, m, [s, m] {
        if (s->isRevealingAllPanels())
            m->bringAllToFront();
    });
    QObject::connect(s, &AppStore::settingsRequestIDChanged, m, [s, m] {
        if (s->settingsPanelID())
            m->showSettings(*s->settingsPanelID(), *s);
    });
    QObject::connect(s, &AppStore::renamingChanged, m, [s, m] { m->updateRenaming(s->renaming(), *s); });
    QObject::connect(s, &AppStore::expandedGroupIDChanged, m,
                     [s, m] { m->updateExpandedGroup(s->expandedGroupID(), *s); });
    QObject::connect(s, &AppStore::runningAppsRevisionChanged, m, [m] { m->syncWindowSizes(); });
    QObject::connect(s, &AppStore::groupIconScreenFramesChanged, m, [m] { m->repositionGroupWindow(); });
    QObject::connect(s, &AppStore::dockVisibilityChanged, m, [s, m] { applyDockVisibility(*s, *m); });

    // Before the first windows are made, so that they are mapped with the right states.
    applyDockVisibility(store, manager);
    manager.syncWindows(store.panels(), store);
}
