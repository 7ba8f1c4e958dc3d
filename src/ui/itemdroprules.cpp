#include "itemdroprules.h"

#include "store/appstore.h"

#include <algorithm>

std::optional<ItemDropRules::Command> ItemDropRules::moveInto(const DraggedPanelItem &, const QUuid &) const
{
    return std::nullopt;
}

PanelItemDropRules::PanelItemDropRules(const Panel &panel, AppStore &store)
    : m_panel(panel)
    , m_store(store)
{
}

const Item *PanelItemDropRules::activeTabItem(const QUuid &itemID) const
{
    const QList<Item> &items = m_panel.activeTab().items;
    const auto found = std::find_if(items.cbegin(), items.cend(), [&itemID](const Item &item) { return item.id() == itemID; });
    return found == items.cend() ? nullptr : &*found;
}

std::optional<ItemDropRules::Command> PanelItemDropRules::moveBefore(const DraggedPanelItem &item,
                                                                     const std::optional<QUuid> &before) const
{
    if (!activeTabItem(item.id))
        return std::nullopt;
    return [store = &m_store, itemID = item.id, before, panelID = m_panel.id()] {
        store->moveItem(itemID, before, panelID);
    };
}

std::optional<ItemDropRules::Command> PanelItemDropRules::moveInto(const DraggedPanelItem &item,
                                                                   const QUuid &groupID) const
{
    const Item *dragged = activeTabItem(item.id);
    if (item.kind != DraggedPanelItem::Kind::Link || !dragged || !dragged->isLink())
        return std::nullopt;
    return [store = &m_store, linkID = item.id, groupID, panelID = m_panel.id()] {
        store->moveIntoGroup(linkID, groupID, panelID);
    };
}

GroupItemDropRules::GroupItemDropRules(const ItemGroup &group, const QUuid &panelID, AppStore &store)
    : m_group(group)
    , m_panelID(panelID)
    , m_store(store)
{
}

std::optional<ItemDropRules::Command> GroupItemDropRules::moveBefore(const DraggedPanelItem &item,
                                                                     const std::optional<QUuid> &before) const
{
    const bool isMember = std::any_of(m_group.links.cbegin(), m_group.links.cend(),
                                      [&item](const ItemLink &link) { return link.id == item.id; });
    if (item.kind != DraggedPanelItem::Kind::Link || !isMember)
        return std::nullopt;
    return [store = &m_store, linkID = item.id, before, groupID = m_group.id, panelID = m_panelID] {
        store->moveLinkWithinGroup(linkID, before, groupID, panelID);
    };
}
