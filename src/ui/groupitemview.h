#pragma once

#include "itemiconview.h"

#include "model/item.h"

#include <QUuid>

class AppStore;

// The tile of a group in its panel: the group's custom icon, or a drawn grid inset by
// `groupSymbolPadding`, on a faint plate, with the group's name below. It has no running marker.
// Pressing it opens the group's popover, or closes it when it is open.
class GroupItemView : public ItemIconView
{
    Q_OBJECT

public:
    GroupItemView(const ItemGroup &group, const QUuid &panelID, AppStore &store, const IconChrome &chrome,
                  bool showsLabel, bool showsHoverHighlight, bool showsTooltips, QWidget *parent = nullptr);

    QUuid groupID() const { return m_group.id; }

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    ItemGroup m_group;
    QUuid m_panelID;
    AppStore &m_store;
};
