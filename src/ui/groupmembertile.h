#pragma once

#include "itemiconview.h"

#include "model/item.h"

#include <QUuid>

class AppStore;

// A member of a group's popover: pressing it opens the link and closes the popover, a middle
// click opens a new window of its application and closes it too; dragging it carries the link to
// another place in the group; its menu leads with the application's own entries, changes the
// icon and removes it from the group without asking. It shows its application's count badge and
// progress, but never a running marker, so no mark of attention either.
class GroupMemberTile : public ItemIconView
{
    Q_OBJECT

public:
    struct Look
    {
        IconChrome chrome;
        bool showsLabel = true;
        bool showsHoverHighlight = true;
        bool showsTooltips = true;
    };

    GroupMemberTile(const ItemLink &link, const QUuid &groupID, const QUuid &panelID, AppStore &store,
                    const Look &look, QWidget *parent = nullptr);

    const ItemLink &link() const { return m_link; }
    QMimeData *dragData() const override;

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    ItemLink m_link;
    QUuid m_groupID;
    QUuid m_panelID;
    AppStore &m_store;
};
