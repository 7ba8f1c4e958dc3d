#include "soakcommands.h"

#include "app/appcommands.h"
#include "model/enumtraits.h"
#include "store/appstore.h"

#include <numeric>

using namespace Qt::StringLiterals;

SoakCommands::SoakCommands(AppStore &store, QList<QUrl> locations, quint32 seed)
    : m_store(store)
    , m_locations(std::move(locations))
    , m_random(seed)
{
}

const QList<SoakCommands::Command> &SoakCommands::table()
{
    static const QList<Command> commands{
        {"add panel", 2, &SoakCommands::addPanel},
        {"remove panel", 2, &SoakCommands::removePanel},
        {"rename panel", 3, &SoakCommands::renamePanel},
        {"add tab", 4, &SoakCommands::addTab},
        {"remove tab", 3, &SoakCommands::removeTab},
        {"rename tab", 4, &SoakCommands::renameTab},
        {"select tab", 5, &SoakCommands::selectTab},
        {"colour tab", 3, &SoakCommands::colourTab},
        {"follow running apps", 2, &SoakCommands::followRunningApps},
        {"add items", 10, &SoakCommands::addItems},
        {"remove item", 7, &SoakCommands::removeItem},
        {"move item", 8, &SoakCommands::moveItem},
        {"add group", 3, &SoakCommands::addGroup},
        {"rename group", 3, &SoakCommands::renameGroup},
        {"move into group", 5, &SoakCommands::moveIntoGroup},
        {"move within group", 3, &SoakCommands::moveWithinGroup},
        {"remove from group", 3, &SoakCommands::removeFromGroup},
        {"add to group", 3, &SoakCommands::addToGroup},
        {"expand group", 2, &SoakCommands::expandGroup},
        {"placement mode", 4, &SoakCommands::changePlacementMode},
        {"edge", 4, &SoakCommands::changeEdge},
        {"alignment", 3, &SoakCommands::changeAlignment},
        {"inset", 3, &SoakCommands::changeInset},
        {"free position", 5, &SoakCommands::changeFreePosition},
        {"level", 3, &SoakCommands::changeLevel},
        {"all desktops", 2, &SoakCommands::changeAllDesktops},
        {"appearance", 8, &SoakCommands::changeAppearance},
        {"dock visibility", 1, &SoakCommands::changeDockVisibility},
        {"show all panels", 1, &SoakCommands::revealAll},
        {"bring to front", 1, &SoakCommands::bringToFront},
        {"open settings", 1, &SoakCommands::openSettings},
    };
    return commands;
}

QString SoakCommands::runOne(const QList<QString> &screenIDs)
{
    m_screenIDs = screenIDs;
    const QList<Command> &commands = table();
    const int total = std::accumulate(commands.cbegin(), commands.cend(), 0,
                                      [](int sum, const Command &command) { return sum + command.weight; });
    for (;;) {
        int drawn = below(total);
        for (const Command &command : commands) {
            drawn -= command.weight;
            if (drawn >= 0)
                continue;
            if (!(this->*command.run)())
                break;
            const QString name = QLatin1String(command.name);
            ++m_counts[name];
            return name;
        }
    }
}

int SoakCommands::below(int bound)
{
    return std::uniform_int_distribution<int>(0, bound - 1)(m_random);
}

QString SoakCommands::randomName()
{
    // Padded and blank names too: the store trims the first and ignores the second.
    static const QList<QString> names{u"Work"_s, u"  Tools  "_s, u"Média & Co"_s, u"\tx\n"_s, u"   "_s,
                                      u"日本語"_s, u"A rather long name for a small thing"_s, u"_mnemonic"_s};
    return oneOf(names) + (chance(50) ? QString::number(below(100)) : QString());
}

QList<QUrl> SoakCommands::randomLocations()
{
    QList<QUrl> picked;
    for (int count = 1 + below(3); count > 0; --count)
        picked.append(oneOf(m_locations));
    return picked;
}

Panel SoakCommands::randomPanel()
{
    return oneOf(m_store.panels());
}

std::optional<QUuid> SoakCommands::randomItemID(const PanelTab &tab, bool linksOnly)
{
    QList<QUuid> ids;
    for (const Item &item : tab.items) {
        if (!linksOnly || item.isLink())
            ids.append(item.id());
    }
    if (ids.isEmpty())
        return std::nullopt;
    return oneOf(ids);
}

std::optional<ItemGroup> SoakCommands::randomGroup(const PanelTab &tab)
{
    QList<ItemGroup> groups;
    for (const Item &item : tab.items) {
        if (const ItemGroup *group = item.group())
            groups.append(*group);
    }
    if (groups.isEmpty())
        return std::nullopt;
    return oneOf(groups);
}

// --- Panels ---------------------------------------------------------------------------------

bool SoakCommands::addPanel()
{
    if (m_store.panels().size() >= maximumPanels)
        return false;
    AppCommands::addPanelAtCursor(m_store);
    return true;
}

bool SoakCommands::removePanel()
{
    if (m_store.panels().size() <= 2)
        return false;
    const QUuid id = randomPanel().id();
    // As the panel's menu does: a panel with items is removed once the user confirms.
    if (m_store.removePanel(id, false) == AppStore::RemovePanelResult::NeedsConfirmation)
        m_store.removePanel(id, true);
    return true;
}

bool SoakCommands::renamePanel()
{
    m_store.renamePanel(randomPanel().id(), randomName());
    return true;
}

// --- Tabs -----------------------------------------------------------------------------------

bool SoakCommands::addTab()
{
    const Panel panel = randomPanel();
    if (panel.tabs().size() >= maximumTabs)
        return false;
    m_store.addTab(panel.id());
    return true;
}

bool SoakCommands::removeTab()
{
    const Panel panel = randomPanel();
    if (panel.tabs().size() < 2)
        return false;
    const QUuid tab = oneOf(panel.tabs()).id;
    if (m_store.removeTab(tab, panel.id(), false) == AppStore::RemoveTabResult::NeedsConfirmation)
        m_store.removeTab(tab, panel.id(), true);
    return true;
}

bool SoakCommands::renameTab()
{
    const Panel panel = randomPanel();
    const QUuid tab = oneOf(panel.tabs()).id;
    if (chance(50)) {
        // The tab bar's rename field: it takes the keyboard, then commits or is cancelled.
        m_store.beginRenamingTab(tab, panel.id());
        if (chance(80))
            m_store.commitRenamingTab(randomName());
        else
            m_store.cancelRenamingTab();
    } else {
        m_store.renameTab(tab, randomName(), panel.id());
    }
    return true;
}

bool SoakCommands::selectTab()
{
    const Panel panel = randomPanel();
    m_store.selectTab(oneOf(panel.tabs()).id, panel.id());
    return true;
}

bool SoakCommands::colourTab()
{
    const Panel panel = randomPanel();
    const std::optional<TabColor> colour =
        chance(20) ? std::nullopt : std::optional(oneOf(allCases<TabColor>()));
    m_store.setTabColor(colour, oneOf(panel.tabs()).id, panel.id());
    return true;
}

bool SoakCommands::followRunningApps()
{
    const Panel panel = randomPanel();
    const PanelTab tab = oneOf(panel.tabs());
    m_store.setShowsRunningApps(!tab.showsRunningApps, tab.id, panel.id());
    return true;
}

// --- Items and groups -------------------------------------------------------------------------

bool SoakCommands::addItems()
{
    const Panel panel = randomPanel();
    const PanelTab &tab = panel.activeTab();
    if (tab.items.size() >= maximumItems)
        return false;
    // Dropped before an item or at the end, as a drop from the file manager.
    const std::optional<QUuid> before = chance(50) ? randomItemID(tab) : std::nullopt;
    m_store.addItems(randomLocations(), before, tab.id, panel.id());
    return true;
}

bool SoakCommands::removeItem()
{
    const Panel panel = randomPanel();
    const std::optional<QUuid> item = randomItemID(panel.activeTab());
    if (!item)
        return false;
    if (m_store.removeItem(*item, panel.id(), false) == AppStore::RemoveItemResult::NeedsConfirmation)
        m_store.removeItem(*item, panel.id(), true);
    return true;
}

bool SoakCommands::moveItem()
{
    const Panel panel = randomPanel();
    const PanelTab &tab = panel.activeTab();
    const std::optional<QUuid> item = randomItemID(tab);
    if (!item)
        return false;
    m_store.moveItem(*item, chance(20) ? std::nullopt : randomItemID(tab), panel.id());
    return true;
}

bool SoakCommands::addGroup()
{
    const Panel panel = randomPanel();
    if (panel.activeTab().items.size() >= maximumItems)
        return false;
    m_store.addGroup(panel.id());
    return true;
}

bool SoakCommands::renameGroup()
{
    const Panel panel = randomPanel();
    const std::optional<ItemGroup> group = randomGroup(panel.activeTab());
    if (!group)
        return false;
    m_store.beginRenamingGroup(group->id);
    m_store.renameGroup(group->id, randomName(), panel.id());
    return true;
}

bool SoakCommands::moveIntoGroup()
{
    const Panel panel = randomPanel();
    const PanelTab &tab = panel.activeTab();
    const std::optional<ItemGroup> group = randomGroup(tab);
    const std::optional<QUuid> link = randomItemID(tab, true);
    if (!group || !link || group->links.size() >= maximumMembers)
        return false;
    m_store.moveIntoGroup(*link, group->id, panel.id());
    return true;
}

bool SoakCommands::moveWithinGroup()
{
    const Panel panel = randomPanel();
    const std::optional<ItemGroup> group = randomGroup(panel.activeTab());
    if (!group || group->links.isEmpty())
        return false;
    const std::optional<QUuid> before = chance(20) ? std::nullopt : std::optional(oneOf(group->links).id);
    m_store.moveLinkWithinGroup(oneOf(group->links).id, before, group->id, panel.id());
    return true;
}

bool SoakCommands::removeFromGroup()
{
    const Panel panel = randomPanel();
    const std::optional<ItemGroup> group = randomGroup(panel.activeTab());
    if (!group || group->links.isEmpty())
        return false;
    m_store.removeFromGroup(oneOf(group->links).id, group->id, panel.id());
    return true;
}

bool SoakCommands::addToGroup()
{
    const Panel panel = randomPanel();
    const std::optional<ItemGroup> group = randomGroup(panel.activeTab());
    if (!group || group->links.size() >= maximumMembers)
        return false;
    const std::optional<QUuid> before =
        group->links.isEmpty() || chance(50) ? std::nullopt : std::optional(oneOf(group->links).id);
    m_store.addItemsToGroup(randomLocations(), before, group->id, panel.id());
    return true;
}

bool SoakCommands::expandGroup()
{
    // Opens the popover beside the group's tile, or closes the one that is open.
    if (m_store.expandedGroupID() && chance(50)) {
        m_store.collapseGroup();
        return true;
    }
    const std::optional<ItemGroup> group = randomGroup(randomPanel().activeTab());
    if (!group)
        return false;
    m_store.expandGroup(group->id);
    return true;
}

// --- Placement, level, workspaces, appearance -------------------------------------------------

bool SoakCommands::changePlacementMode()
{
    const Panel panel = randomPanel();
    m_store.setPlacementMode(oneOf(allCases<PanelPlacementMode>()), panel.id());
    return true;
}

bool SoakCommands::changeEdge()
{
    m_store.setPlacementEdge(oneOf(allCases<PanelEdge>()), randomPanel().id());
    return true;
}

bool SoakCommands::changeAlignment()
{
    m_store.setPlacementAlignment(oneOf(allCases<PanelAlignment>()), randomPanel().id());
    return true;
}

bool SoakCommands::changeInset()
{
    m_store.setPlacementEdgeInset(below(41), randomPanel().id());
    return true;
}

bool SoakCommands::changeFreePosition()
{
    // What a drag's end saves: fractions of a screen's visible area and that screen, or no
    // screen (the primary one), or a screen that is not attached now.
    std::optional<QString> screen;
    if (const int pick = below(10); pick < 7 && !m_screenIDs.isEmpty())
        screen = oneOf(m_screenIDs);
    else if (pick < 9)
        screen = u"6B1C4D52-0000-5000-8000-0000000000AA"_s;
    const PanelFreePosition position(below(1001) / 1000.0, below(1001) / 1000.0);
    m_store.setFreePosition(position, screen, randomPanel().id());
    return true;
}

bool SoakCommands::changeLevel()
{
    m_store.setWindowLevel(oneOf(allCases<PanelWindowLevel>()), randomPanel().id());
    return true;
}

bool SoakCommands::changeAllDesktops()
{
    const Panel panel = randomPanel();
    m_store.setShowsOnAllSpaces(!panel.showsOnAllSpaces, panel.id());
    return true;
}

bool SoakCommands::changeAppearance()
{
    const Panel panel = randomPanel();
    const QUuid id = panel.id();
    switch (below(6)) {
    case 0: m_store.setIconSize(oneOf(allCases<PanelIconSize>()), id); break;
    case 1: m_store.setIconSpacing(oneOf(allCases<PanelIconSpacing>()), id); break;
    case 2: m_store.setTabStyle(oneOf(allCases<PanelTabStyle>()), id); break;
    case 3: m_store.setShowsItemLabels(!panel.showsItemLabels, id); break;
    case 4: m_store.setShowsHoverHighlight(!panel.showsHoverHighlight, id); break;
    default: m_store.setShowsTooltips(!panel.showsTooltips, id); break;
    }
    return true;
}

bool SoakCommands::changeDockVisibility()
{
    m_store.setDockVisibility(m_store.dockVisibility() == DockVisibility::Hidden ? DockVisibility::Visible
                                                                                 : DockVisibility::Hidden);
    return true;
}

bool SoakCommands::revealAll()
{
    if (m_store.isRevealingAllPanels())
        m_store.endRevealAllPanels();
    else
        m_store.showAllPanels();
    return true;
}

bool SoakCommands::bringToFront()
{
    m_store.bringToFront(randomPanel().id());
    return true;
}

bool SoakCommands::openSettings()
{
    // The panel's settings window opens and stays open (until its panel goes), following every
    // change of the panels from then on.
    m_store.openSettings(randomPanel().id());
    return true;
}
