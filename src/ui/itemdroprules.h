#pragma once

#include "draggedpanelitem.h"

#include "model/panel.h"

#include <QUuid>

#include <functional>
#include <optional>

class AppStore;

// Where a dragged item may be dropped in one view's row, and the store command of that drop. A
// drop the store would ignore is refused, so the drag shows that it cannot land there: an item
// dragged to another panel, or a group's member dragged out of its popover.
//
// Commands hold the store and ids, never the view: the drop replaces the view that runs them.
class ItemDropRules
{
public:
    using Command = std::function<void()>;

    virtual ~ItemDropRules() = default;

    // In front of `before`, or at the end when none: an insertion zone.
    virtual std::optional<Command> moveBefore(const DraggedPanelItem &item, const std::optional<QUuid> &before) const = 0;
    // Onto a group's tile.
    virtual std::optional<Command> moveInto(const DraggedPanelItem &item, const QUuid &groupID) const;
};

// A panel's insertion zones (`DropInsertionZone`) take the items of its active tab, links and
// groups alike; a group's tile takes its links. Groups do not nest.
class PanelItemDropRules final : public ItemDropRules
{
public:
    PanelItemDropRules(const Panel &panel, AppStore &store);

    std::optional<Command> moveBefore(const DraggedPanelItem &item, const std::optional<QUuid> &before) const override;
    std::optional<Command> moveInto(const DraggedPanelItem &item, const QUuid &groupID) const override;

private:
    const Item *activeTabItem(const QUuid &itemID) const;

    Panel m_panel;
    AppStore &m_store;
};

// A group popover's insertion zones (`GroupInsertionZone`) take the group's own members.
class GroupItemDropRules final : public ItemDropRules
{
public:
    GroupItemDropRules(const ItemGroup &group, const QUuid &panelID, AppStore &store);

    std::optional<Command> moveBefore(const DraggedPanelItem &item, const std::optional<QUuid> &before) const override;

private:
    ItemGroup m_group;
    QUuid m_panelID;
    AppStore &m_store;
};
