#pragma once

#include "itemiconview.h"

#include "model/item.h"

#include <QUuid>

class AppStore;

// The tile of a group in its panel: the group's custom icon, or a drawn grid inset by
// `groupSymbolPadding`, on a faint plate, with the group's name below. It has no running marker.
// Pressing it opens the group's popover, or closes it when it is open; dragging it carries the
// group. While a dragged link would drop into the group (`isDropTargeted`) or files from outside
// would (`isExternallyTargeted`), an accent highlight lies over the icon. It tells the store
// where its icon is on the screen, for the popover to open beside it.
class GroupItemView : public ItemIconView
{
    Q_OBJECT

public:
    GroupItemView(const ItemGroup &group, const QUuid &panelID, AppStore &store, const IconChrome &chrome,
                  bool showsLabel, bool showsHoverHighlight, bool showsTooltips, QWidget *parent = nullptr);

    QUuid groupID() const { return m_group.id; }
    const ItemGroup &group() const { return m_group; }

    bool isDropTargeted() const { return m_isDropTargeted; }
    void setDropTargeted(bool targeted);
    bool isExternallyTargeted() const { return m_isExternallyTargeted; }
    void setExternallyTargeted(bool targeted);

    QMimeData *dragData() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    ItemGroup m_group;
    QUuid m_panelID;
    AppStore &m_store;
    bool m_isDropTargeted = false;
    bool m_isExternallyTargeted = false;
};
