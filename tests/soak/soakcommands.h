#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QUrl>
#include <QUuid>

#include <optional>
#include <random>

class AppStore;
class Panel;
struct PanelTab;
struct ItemGroup;

// Random commands on the store through the calls the program's views, menus and tray make
// (the tray's "New Panel", a confirmation answered after a first refusal, a tab renamed through
// its rename field), drawn from a weighted table: panels, tabs, items, groups, placements,
// levels, workspaces and appearance. The same seed and the same store give the same sequence.
//
// The panels stay within the bounds of a desktop someone uses (a few panels of a few tabs of up
// to a dozen items), so that a long run exercises change, not growth.
class SoakCommands
{
public:
    // `locations` are what new items link to; `screenIDs` names the ids of attached screens
    // when asked (placements may name screens that come and go).
    SoakCommands(AppStore &store, QList<QUrl> locations, quint32 seed);

    // Runs one command; returns its name.
    QString runOne(const QList<QString> &screenIDs);
    // How often each command ran.
    const QMap<QString, int> &counts() const { return m_counts; }

    static constexpr int maximumPanels = 6;
    static constexpr int maximumTabs = 4;
    static constexpr int maximumItems = 12;
    static constexpr int maximumMembers = 6;

private:
    struct Command
    {
        const char *name;
        int weight;
        // False when the command did not apply to the state drawn (then another is drawn).
        bool (SoakCommands::*run)();
    };
    static const QList<Command> &table();

    int below(int bound);
    bool chance(int percent) { return below(100) < percent; }
    template<typename T>
    const T &oneOf(const QList<T> &values) { return values.at(below(int(values.size()))); }
    QString randomName();
    QList<QUrl> randomLocations();
    // The panel, tab, item and group commands act on; copies, because every command replaces
    // the store's list.
    Panel randomPanel();
    std::optional<QUuid> randomItemID(const PanelTab &tab, bool linksOnly = false);
    std::optional<ItemGroup> randomGroup(const PanelTab &tab);

    bool addPanel();
    bool removePanel();
    bool renamePanel();
    bool addTab();
    bool removeTab();
    bool renameTab();
    bool selectTab();
    bool colourTab();
    bool followRunningApps();
    bool addItems();
    bool removeItem();
    bool moveItem();
    bool addGroup();
    bool renameGroup();
    bool moveIntoGroup();
    bool moveWithinGroup();
    bool removeFromGroup();
    bool addToGroup();
    bool expandGroup();
    bool changePlacementMode();
    bool changeEdge();
    bool changeAlignment();
    bool changeInset();
    bool changeFreePosition();
    bool changeLevel();
    bool changeAllDesktops();
    bool changeAppearance();
    bool changeDockVisibility();
    bool revealAll();
    bool bringToFront();
    bool openSettings();

    AppStore &m_store;
    QList<QUrl> m_locations;
    QList<QString> m_screenIDs;
    std::mt19937 m_random;
    QMap<QString, int> m_counts;
};
