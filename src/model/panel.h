#pragma once

#include "appearance.h"
#include "iconchrome.h"
#include "item.h"
#include "placement.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>

struct PanelTab
{
    QUuid id = QUuid::createUuid();
    QString name;
    std::optional<TabColor> color{};
    QList<Item> items{};
    bool showsRunningApps = false;

    bool operator==(const PanelTab &) const = default;
};

// Arguments of the Panel constructor; every field but `name` and `tab` has its default, so
// designated initialisers may leave them out without a missing-initialiser warning.
struct PanelInit
{
    QUuid id = QUuid::createUuid();
    QString name;
    bool showsItemLabels = true;
    bool showsHoverHighlight = true;
    bool showsTooltips = true;
    bool showsOnAllSpaces = true;
    PanelIconSize iconSize = PanelIconSize::Medium;
    PanelIconSpacing iconSpacing = PanelIconSpacing::Normal;
    PanelTabStyle tabStyle = PanelTabStyle::Slanted;
    PanelTab tab;                       // the first tab
    QList<PanelTab> moreTabs{};         // further tabs, in order
    std::optional<QUuid> activeTabID{}; // absent or unknown: the first tab
    bool didRevealTabBar = false;
    PanelPlacement placement{};
    PanelWindowLevel windowLevel = PanelWindowLevel::Normal;
};

// One panel: its settings, placement and tabs. A plain value.
//
// Invariants kept by every operation: `tabs()` is never empty; ids are unique across tabs,
// top-level items and group members (new ones are random UUIDs, nothing checks for duplicates:
// every lookup takes the first match); groups hold links only. Operations that cannot find
// their target report false or do nothing; none saves or touches files.
class Panel
{
public:
    explicit Panel(PanelInit init);

    // Settable fields.
    QString name;
    bool showsItemLabels = true;
    bool showsHoverHighlight = true;
    bool showsTooltips = true;
    bool showsOnAllSpaces = true;
    PanelIconSize iconSize = PanelIconSize::Medium;
    PanelIconSpacing iconSpacing = PanelIconSpacing::Normal;
    PanelTabStyle tabStyle = PanelTabStyle::Slanted;

    QUuid id() const { return m_id; }
    const PanelPlacement &placement() const { return m_placement; }
    void setPlacement(const PanelPlacement &placement) { m_placement = placement; }
    PanelWindowLevel windowLevel() const { return m_windowLevel; }
    void setWindowLevel(PanelWindowLevel level) { m_windowLevel = level; }
    const QList<PanelTab> &tabs() const { return m_tabs; }
    QUuid activeTabID() const { return m_activeTabID; }
    bool didRevealTabBar() const { return m_didRevealTabBar; }

    // Derived.
    // The tab named by activeTabID, or the first tab when none matches.
    const PanelTab &activeTab() const;
    const PanelTab *tab(const QUuid &tabID) const;
    IconChrome chrome() const { return {iconSize, iconSpacing}; }
    PanelOrientation contentOrientation() const { return m_placement.orientation(); }
    bool isTabBarVisible() const { return m_didRevealTabBar; }
    // Top-level groups summed over all tabs.
    int groupCount() const;
    // The group found by the group lookup (first top-level item with the id per tab, in tab order).
    const ItemGroup *group(const QUuid &groupID) const;

    // Tabs.
    void addTab(const PanelTab &tab);
    void selectTab(const QUuid &tabID);
    void renameTab(const QUuid &tabID, const QString &name);
    void setColor(std::optional<TabColor> color, const QUuid &tabID);
    void setShowsRunningApps(bool shows, const QUuid &tabID);
    bool removeTab(const QUuid &tabID);
    void resetToEmptyState(const QString &tabName);

    // Top-level items. The target tab of append and insert is the tab with the id, else the
    // active tab, else the first tab: an item is never dropped for want of a tab.
    void append(const Item &item);
    void append(const Item &item, const QUuid &tabID);
    void insert(const QList<Item> &items, const std::optional<QUuid> &before, const QUuid &tabID);
    bool removeItem(const QUuid &itemID, const QUuid &tabID);
    bool moveItem(const QUuid &itemID, const std::optional<QUuid> &before, const QUuid &tabID);
    bool moveLinkIntoGroup(const QUuid &linkID, const QUuid &groupID, const QUuid &tabID);

    // Groups, wherever they lie in the panel.
    bool renameGroup(const QUuid &groupID, const QString &name);
    bool appendLink(const ItemLink &link, const QUuid &groupID);
    bool insertLinks(const QList<ItemLink> &links, const std::optional<QUuid> &before, const QUuid &groupID);
    bool moveLink(const QUuid &linkID, const std::optional<QUuid> &before, const QUuid &groupID);
    bool removeLink(const QUuid &linkID, const QUuid &groupID);

    // Custom icons, by the item search: tabs in order, top-level items in order, a group
    // before its members; the first match wins.
    bool setCustomIcon(const std::optional<QString> &fileName, const QUuid &itemID);
    bool containsItem(const QUuid &itemID) const;
    std::optional<QString> customIconFileName(const QUuid &itemID) const;
    // Icon names referenced in one tab (or all tabs when absent), duplicates kept.
    QStringList customIconFileNames(const std::optional<QUuid> &tabID = std::nullopt) const;

    bool operator==(const Panel &) const = default;

private:
    struct ItemPosition
    {
        qsizetype tab;
        qsizetype item;
    };

    PanelTab *mutableTab(const QUuid &tabID);
    PanelTab &targetTab(const QUuid &tabID);
    std::optional<ItemPosition> locate(const QUuid &itemID, const QUuid &tabID) const;
    ItemGroup *mutableGroup(const QUuid &groupID);
    // Where the item search finds an id: member is -1 for a top-level item.
    struct SearchHit
    {
        qsizetype tab;
        qsizetype item;
        qsizetype member;
    };
    std::optional<SearchHit> search(const QUuid &itemID) const;
    std::optional<QString> *customIconSlot(const QUuid &itemID);

    QUuid m_id;
    PanelPlacement m_placement;
    PanelWindowLevel m_windowLevel = PanelWindowLevel::Normal;
    QList<PanelTab> m_tabs;
    QUuid m_activeTabID;
    bool m_didRevealTabBar = false;
};
