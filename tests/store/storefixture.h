#pragma once

// A store on in-memory services plus small builders of panels, shared by the command tests.

#include "inmemoryservices.h"

#include "store/appstore.h"

#include <QSignalSpy>

inline ItemLink linkTo(const QString &path, const std::optional<QString> &customIcon = std::nullopt)
{
    return ItemLink{.location = QUrl::fromLocalFile(path), .customIcon = customIcon};
}

inline PanelTab tabNamed(const QString &name, const QList<Item> &items = {})
{
    PanelTab tab;
    tab.name = name;
    tab.items = items;
    return tab;
}

// A panel with the given tabs (at least one); the first is active.
inline Panel panelWith(const QString &name, const QList<PanelTab> &tabs)
{
    return Panel(PanelInit{.name = name, .tab = tabs.first(), .moreTabs = tabs.mid(1)});
}

struct StoreFixture
{
    // `panels` absent: the store loads an empty stored list, so it starts with no panels.
    explicit StoreFixture(const std::optional<QList<Panel>> &panels)
    {
        services.storage->stored = QList<Panel>();
        services.storage->hasStored = true;
        store = std::make_unique<AppStore>(services.take(), panels);
    }

    int saves() const { return services.storage->saveCount; }
    const Panel &panel(qsizetype index) const { return store->panels().at(index); }

    InMemoryServices services;
    std::unique_ptr<AppStore> store;
};

// Counts every notification of the store, so a test can tell that a command notified nobody.
struct StoreSpies
{
    explicit StoreSpies(const AppStore *store)
        : panels(store, &AppStore::panelsChanged)
        , renaming(store, &AppStore::renamingChanged)
        , broughtToFront(store, &AppStore::broughtToFrontPanelIDChanged)
        , bringToFrontRequest(store, &AppStore::bringToFrontRequestIDChanged)
        , revealing(store, &AppStore::isRevealingAllPanelsChanged)
        , showAllRequest(store, &AppStore::showAllPanelsRequestIDChanged)
        , settingsPanel(store, &AppStore::settingsPanelIDChanged)
        , settingsRequest(store, &AppStore::settingsRequestIDChanged)
        , expandedGroup(store, &AppStore::expandedGroupIDChanged)
        , editingGroup(store, &AppStore::editingGroupIDChanged)
    {
    }

    qsizetype total() const
    {
        return panels.count() + renaming.count() + broughtToFront.count() + bringToFrontRequest.count()
             + revealing.count() + showAllRequest.count() + settingsPanel.count() + settingsRequest.count()
             + expandedGroup.count() + editingGroup.count();
    }

    QSignalSpy panels;
    QSignalSpy renaming;
    QSignalSpy broughtToFront;
    QSignalSpy bringToFrontRequest;
    QSignalSpy revealing;
    QSignalSpy showAllRequest;
    QSignalSpy settingsPanel;
    QSignalSpy settingsRequest;
    QSignalSpy expandedGroup;
    QSignalSpy editingGroup;
};
