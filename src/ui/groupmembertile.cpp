#include "groupmembertile.h"

#include "applicationstatus.h"
#include "draggedpanelitem.h"
#include "itemtiles.h"
#include "panelmenus.h"

#include "store/appstore.h"

#include <QContextMenuEvent>
#include <QMenu>

GroupMemberTile::GroupMemberTile(const ItemLink &link, const QUuid &groupID, const QUuid &panelID, AppStore &store,
                                 const Look &look, QWidget *parent)
    : ItemIconView(linkIcon(link, panelID, store), false, store.name(link.location), look.chrome, look.showsLabel,
                   look.showsHoverHighlight, look.showsTooltips, parent)
    , m_link(link)
    , m_groupID(groupID)
    , m_panelID(panelID)
    , m_store(store)
{
    setDragAction(Qt::MoveAction);
    AppStore *target = &store;
    // Closing the popover releases this tile later, never while it emits.
    connect(this, &QAbstractButton::clicked, this,
            [this, target, link] { target->launchFromGroup(link, clickTimestamp()); });
    connect(this, &ItemIconView::middleClicked, this, [this, target, link] {
        target->openNewWindow(link, clickTimestamp());
        target->collapseGroup();
    });
    ApplicationStatus::followBadges(*this, link.location, store);
}

QMimeData *GroupMemberTile::dragData() const
{
    return DraggedPanelItem{.id = m_link.id, .kind = DraggedPanelItem::Kind::Link}.toMimeData();
}

void GroupMemberTile::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu;
    PanelMenus::addGroupMemberEntries(menu, m_link, m_groupID, m_panelID, m_store);
    event->accept();
    menu.exec(event->globalPos());
}
