#pragma once

#include "itemiconview.h"

#include "model/item.h"

#include <QUrl>
#include <QUuid>

class AppStore;
class Panel;

// The tile of a link: pressing it opens the link (a running application comes forward), a
// middle click asks the application for a new window; its menu runs the application's actions,
// changes the icon and removes the link.
class LinkTile : public ItemIconView
{
    Q_OBJECT

public:
    LinkTile(const ItemLink &link, const Panel &panel, AppStore &store, QWidget *parent = nullptr);

    const ItemLink &link() const { return m_link; }

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    ItemLink m_link;
    QUuid m_panelID;
    AppStore &m_store;
};

// The tile of a running application the active tab does not hold: pressing it brings the
// application forward, a middle click asks it for a new window; dragging it carries its location
// as a plain file URL, so a panel takes it like a file from the file manager; its menu runs the
// application's actions and keeps it in the panel.
class RunningApplicationTile : public ItemIconView
{
    Q_OBJECT

public:
    RunningApplicationTile(const QUrl &location, const Panel &panel, AppStore &store, QWidget *parent = nullptr);

    QUrl location() const { return m_location; }
    QMimeData *dragData() const override;

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    QUrl m_location;
    QUuid m_panelID;
    AppStore &m_store;
};

// The icon a link shows: its custom icon when it has one that loads, else its location's own.
QIcon linkIcon(const ItemLink &link, const QUuid &panelID, AppStore &store);
