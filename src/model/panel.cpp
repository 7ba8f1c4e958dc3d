#include "panel.h"

#include <algorithm>

Panel::Panel(PanelInit init)
    : name(std::move(init.name))
    , showsItemLabels(init.showsItemLabels)
    , showsHoverHighlight(init.showsHoverHighlight)
    , showsTooltips(init.showsTooltips)
    , showsOnAllSpaces(init.showsOnAllSpaces)
    , iconSize(init.iconSize)
    , iconSpacing(init.iconSpacing)
    , tabStyle(init.tabStyle)
    , m_id(init.id)
    , m_placement(std::move(init.placement))
    , m_windowLevel(init.windowLevel)
    , m_didRevealTabBar(init.didRevealTabBar)
{
    m_tabs.reserve(1 + init.moreTabs.size());
    m_tabs.append(std::move(init.tab));
    m_tabs.append(init.moreTabs);
    m_activeTabID = m_tabs.first().id;
    if (init.activeTabID && tab(*init.activeTabID))
        m_activeTabID = *init.activeTabID;
}

const PanelTab &Panel::activeTab() const
{
    if (const PanelTab *active = tab(m_activeTabID))
        return *active;
    return m_tabs.first();
}

const PanelTab *Panel::tab(const QUuid &tabID) const
{
    for (const PanelTab &candidate : m_tabs) {
        if (candidate.id == tabID)
            return &candidate;
    }
    return nullptr;
}

PanelTab *Panel::mutableTab(const QUuid &tabID)
{
    for (PanelTab &candidate : m_tabs) {
        if (candidate.id == tabID)
            return &candidate;
    }
    return nullptr;
}

int Panel::groupCount() const
{
    int count = 0;
    for (const PanelTab &t : m_tabs)
        count += int(std::count_if(t.items.cbegin(), t.items.cend(), [](const Item &i) { return i.isGroup(); }));
    return count;
}

// --- Tabs -------------------------------------------------------------------------------------

void Panel::addTab(const PanelTab &newTab)
{
    m_tabs.append(newTab);
    m_activeTabID = newTab.id;
    m_didRevealTabBar = true;
}

void Panel::selectTab(const QUuid &tabID)
{
    if (tab(tabID))
        m_activeTabID = tabID;
}

void Panel::renameTab(const QUuid &tabID, const QString &newName)
{
    if (PanelTab *t = mutableTab(tabID))
        t->name = newName;
}

void Panel::setColor(std::optional<TabColor> color, const QUuid &tabID)
{
    if (PanelTab *t = mutableTab(tabID))
        t->color = color;
}

void Panel::setShowsRunningApps(bool shows, const QUuid &tabID)
{
    if (PanelTab *t = mutableTab(tabID))
        t->showsRunningApps = shows;
}

bool Panel::removeTab(const QUuid &tabID)
{
    if (m_tabs.size() < 2)
        return false;
    const auto it = std::find_if(m_tabs.cbegin(), m_tabs.cend(), [&](const PanelTab &t) { return t.id == tabID; });
    if (it == m_tabs.cend())
        return false;
    const qsizetype position = it - m_tabs.cbegin();
    const bool wasActive = m_activeTabID == tabID;
    m_tabs.removeAt(position);
    if (wasActive)
        m_activeTabID = m_tabs.at(std::min(position, m_tabs.size() - 1)).id;
    return true;
}

void Panel::resetToEmptyState(const QString &tabName)
{
    PanelTab fresh;
    fresh.name = tabName;
    m_tabs = {fresh};
    m_activeTabID = fresh.id;
    m_didRevealTabBar = false;
}

// --- Top-level items ----------------------------------------------------------------------------

PanelTab &Panel::targetTab(const QUuid &tabID)
{
    if (PanelTab *t = mutableTab(tabID))
        return *t;
    if (PanelTab *active = mutableTab(m_activeTabID))
        return *active;
    return m_tabs.first();
}

void Panel::append(const Item &item)
{
    append(item, m_activeTabID);
}

void Panel::append(const Item &item, const QUuid &tabID)
{
    targetTab(tabID).items.append(item);
}

namespace {

template<typename T>
qsizetype indexOfId(const QList<T> &list, const QUuid &id)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list.at(i).id == id)
            return i;
    }
    return -1;
}

qsizetype indexOfItem(const QList<Item> &items, const QUuid &id)
{
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items.at(i).id() == id)
            return i;
    }
    return -1;
}

// Inserts `values` as one block in front of the element with id `before`, or at the end when
// `before` is absent or names nothing in the list.
template<typename T, typename IndexOf>
void insertBlock(QList<T> &list, const QList<T> &values, const std::optional<QUuid> &before, IndexOf indexOf)
{
    const qsizetype at = before ? indexOf(list, *before) : -1;
    if (at < 0) {
        list.append(values);
        return;
    }
    for (qsizetype k = 0; k < values.size(); ++k)
        list.insert(at + k, values.at(k));
}

} // namespace

void Panel::insert(const QList<Item> &items, const std::optional<QUuid> &before, const QUuid &tabID)
{
    if (items.isEmpty())
        return;
    insertBlock(targetTab(tabID).items, items, before, indexOfItem);
}

std::optional<Panel::ItemPosition> Panel::locate(const QUuid &itemID, const QUuid &tabID) const
{
    for (qsizetype t = 0; t < m_tabs.size(); ++t) {
        if (m_tabs.at(t).id != tabID)
            continue;
        const qsizetype i = indexOfItem(m_tabs.at(t).items, itemID);
        if (i < 0)
            return std::nullopt;
        return ItemPosition{t, i};
    }
    return std::nullopt;
}

bool Panel::removeItem(const QUuid &itemID, const QUuid &tabID)
{
    const auto position = locate(itemID, tabID);
    if (!position)
        return false;
    m_tabs[position->tab].items.removeAt(position->item);
    return true;
}

bool Panel::moveItem(const QUuid &itemID, const std::optional<QUuid> &before, const QUuid &tabID)
{
    if (before && *before == itemID)
        return false;
    const auto position = locate(itemID, tabID);
    if (!position)
        return false;
    QList<Item> &items = m_tabs[position->tab].items;
    const Item moved = items.takeAt(position->item);
    insertBlock(items, QList<Item>{moved}, before, indexOfItem);
    return true;
}

bool Panel::moveLinkIntoGroup(const QUuid &linkID, const QUuid &groupID, const QUuid &tabID)
{
    const auto position = locate(linkID, tabID);
    if (!position)
        return false;
    QList<Item> &items = m_tabs[position->tab].items;
    if (items.at(position->item).isGroup())
        return false;
    const Item moved = items.takeAt(position->item);
    ItemGroup *target = mutableGroup(groupID);
    if (!target) {
        m_tabs[position->tab].items.insert(position->item, moved);
        return false;
    }
    target->links.append(*moved.link());
    return true;
}

// --- Groups -------------------------------------------------------------------------------------

const ItemGroup *Panel::group(const QUuid &groupID) const
{
    for (const PanelTab &t : m_tabs) {
        const qsizetype i = indexOfItem(t.items, groupID);
        if (i >= 0 && t.items.at(i).isGroup())
            return t.items.at(i).group();
    }
    return nullptr;
}

ItemGroup *Panel::mutableGroup(const QUuid &groupID)
{
    for (PanelTab &t : m_tabs) {
        const qsizetype i = indexOfItem(t.items, groupID);
        if (i >= 0 && t.items.at(i).isGroup())
            return t.items[i].group();
    }
    return nullptr;
}

bool Panel::renameGroup(const QUuid &groupID, const QString &newName)
{
    ItemGroup *g = mutableGroup(groupID);
    if (!g)
        return false;
    g->name = newName;
    return true;
}

bool Panel::appendLink(const ItemLink &link, const QUuid &groupID)
{
    ItemGroup *g = mutableGroup(groupID);
    if (!g)
        return false;
    g->links.append(link);
    return true;
}

bool Panel::insertLinks(const QList<ItemLink> &links, const std::optional<QUuid> &before, const QUuid &groupID)
{
    if (links.isEmpty())
        return false;
    ItemGroup *g = mutableGroup(groupID);
    if (!g)
        return false;
    insertBlock(g->links, links, before, indexOfId<ItemLink>);
    return true;
}

bool Panel::moveLink(const QUuid &linkID, const std::optional<QUuid> &before, const QUuid &groupID)
{
    if (before && *before == linkID)
        return false;
    ItemGroup *g = mutableGroup(groupID);
    if (!g)
        return false;
    const qsizetype at = indexOfId(g->links, linkID);
    if (at < 0)
        return false;
    const ItemLink moved = g->links.takeAt(at);
    insertBlock(g->links, QList<ItemLink>{moved}, before, indexOfId<ItemLink>);
    return true;
}

bool Panel::removeLink(const QUuid &linkID, const QUuid &groupID)
{
    ItemGroup *g = mutableGroup(groupID);
    if (!g)
        return false;
    const qsizetype at = indexOfId(g->links, linkID);
    if (at < 0)
        return false;
    g->links.removeAt(at);
    return true;
}

// --- Custom icons -------------------------------------------------------------------------------

std::optional<Panel::SearchHit> Panel::search(const QUuid &itemID) const
{
    for (qsizetype t = 0; t < m_tabs.size(); ++t) {
        const QList<Item> &items = m_tabs.at(t).items;
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (items.at(i).id() == itemID)
                return SearchHit{t, i, -1};
            if (const ItemGroup *g = items.at(i).group()) {
                const qsizetype m = indexOfId(g->links, itemID);
                if (m >= 0)
                    return SearchHit{t, i, m};
            }
        }
    }
    return std::nullopt;
}

std::optional<QString> *Panel::customIconSlot(const QUuid &itemID)
{
    const auto hit = search(itemID);
    if (!hit)
        return nullptr;
    Item &item = m_tabs[hit->tab].items[hit->item];
    if (hit->member >= 0)
        return &item.group()->links[hit->member].customIcon;
    return item.isLink() ? &item.link()->customIcon : &item.group()->customIcon;
}

bool Panel::setCustomIcon(const std::optional<QString> &fileName, const QUuid &itemID)
{
    std::optional<QString> *slot = customIconSlot(itemID);
    if (!slot)
        return false;
    *slot = fileName;
    return true;
}

bool Panel::containsItem(const QUuid &itemID) const
{
    return search(itemID).has_value();
}

std::optional<QString> Panel::customIconFileName(const QUuid &itemID) const
{
    const auto hit = search(itemID);
    if (!hit)
        return std::nullopt;
    const Item &item = m_tabs.at(hit->tab).items.at(hit->item);
    if (hit->member >= 0)
        return item.group()->links.at(hit->member).customIcon;
    return item.customIcon();
}

QStringList Panel::customIconFileNames(const std::optional<QUuid> &tabID) const
{
    QStringList names;
    const auto collect = [&names](const PanelTab &t) {
        for (const Item &item : t.items)
            names.append(item.customIconFileNames());
    };
    if (tabID) {
        // A given id names the first tab that has it, like every other tab lookup.
        if (const PanelTab *t = tab(*tabID))
            collect(*t);
        return names;
    }
    for (const PanelTab &t : m_tabs)
        collect(t);
    return names;
}
