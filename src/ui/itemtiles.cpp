#include "itemtiles.h"

#include "applicationstatus.h"
#include "panelmenus.h"
#include "tilepictures.h"

#include "store/appstore.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>

QIcon linkIcon(const ItemLink &link, const QUuid &panelID, AppStore &store)
{
    // Only a link that names a custom icon file can have one; asking the store for the others
    // would search the panel once per tile.
    if (link.customIcon) {
        if (const std::optional<QImage> custom = store.customIconImage(link.id, panelID))
            return TilePictures::iconForImage(*custom);
    }
    return store.icon(link.location);
}

LinkTile::LinkTile(const ItemLink &link, const Panel &panel, AppStore &store, QWidget *parent)
    : ItemIconView(linkIcon(link, panel.id(), store), store.isRunning(link.location, panel), store.name(link.location),
                   panel.chrome(), panel.showsItemLabels, panel.showsHoverHighlight, panel.showsTooltips, parent)
    , m_link(link)
    , m_panelID(panel.id())
    , m_store(store)
{
    AppStore *target = &store;
    connect(this, &QAbstractButton::clicked, this, [this, target, link] { target->launch(link, clickTimestamp()); });
    connect(this, &ItemIconView::middleClicked, this, [this, target, link] { target->openNewWindow(link, clickTimestamp()); });
    ApplicationStatus::follow(*this, link.location, panel, store);
}

void LinkTile::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu;
    PanelMenus::addLinkEntries(menu, m_link, m_panelID, m_store);
    event->accept();
    // This tile may be released while the menu (or a dialog it opens) runs: nothing of it is
    // touched after exec() returns.
    menu.exec(event->globalPos());
}

RunningApplicationTile::RunningApplicationTile(const QUrl &location, const Panel &panel, AppStore &store,
                                               QWidget *parent)
    : ItemIconView(store.icon(location), true, store.name(location), panel.chrome(), panel.showsItemLabels,
                   panel.showsHoverHighlight, panel.showsTooltips, parent)
    , m_location(location)
    , m_panelID(panel.id())
    , m_store(store)
{
    AppStore *target = &store;
    // Opened like a link of its own that is not kept anywhere.
    connect(this, &QAbstractButton::clicked, this,
            [this, target, location] { target->launch(ItemLink{.location = location}, clickTimestamp()); });
    connect(this, &ItemIconView::middleClicked, this,
            [this, target, location] { target->openNewWindow(ItemLink{.location = location}, clickTimestamp()); });
    ApplicationStatus::follow(*this, location, panel, store);
}

QMimeData *RunningApplicationTile::dragData() const
{
    auto *data = new QMimeData;
    data->setUrls({m_location});
    return data;
}

void RunningApplicationTile::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu;
    PanelMenus::addRunningApplicationEntries(menu, m_location, m_panelID, m_store);
    event->accept();
    menu.exec(event->globalPos());
}
