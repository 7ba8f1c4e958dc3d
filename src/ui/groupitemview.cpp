#include "groupitemview.h"

#include "panelmenus.h"
#include "symbols.h"
#include "tilepictures.h"

#include "store/appstore.h"

#include <QContextMenuEvent>
#include <QMenu>

namespace {

QIcon groupGlyph(const ItemGroup &group, const QUuid &panelID, AppStore &store, const IconChrome &chrome)
{
    if (group.customIcon) {
        if (const std::optional<QImage> custom = store.customIconImage(group.id, panelID))
            return TilePictures::iconForImage(*custom);
    }
    return Symbols::gridIcon(chrome.groupSymbolPadding() / chrome.pointSize());
}

} // namespace

GroupItemView::GroupItemView(const ItemGroup &group, const QUuid &panelID, AppStore &store, const IconChrome &chrome,
                             bool showsLabel, bool showsHoverHighlight, bool showsTooltips, QWidget *parent)
    : ItemIconView(groupGlyph(group, panelID, store, chrome), false, group.name, chrome, showsLabel,
                   showsHoverHighlight, showsTooltips, parent)
    , m_group(group)
    , m_panelID(panelID)
    , m_store(store)
{
    setGroupLook();
    AppStore *target = &store;
    const QUuid groupID = group.id;
    connect(this, &QAbstractButton::clicked, this, [target, groupID] {
        if (target->expandedGroupID() == groupID)
            target->collapseGroup();
        else
            target->expandGroup(groupID);
    });
}

void GroupItemView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu;
    PanelMenus::addGroupEntries(menu, m_group, m_panelID, m_store);
    event->accept();
    menu.exec(event->globalPos());
}
