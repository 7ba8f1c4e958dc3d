#include "groupitemview.h"

#include "draggedpanelitem.h"
#include "groupiconframereporter.h"
#include "panelmenus.h"
#include "symbols.h"
#include "tilepictures.h"
#include "viewstyle.h"

#include "store/appstore.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>

namespace {

constexpr double highlightFillOpacity = 0.24;
constexpr double highlightStrokeOpacity = 0.3;

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
    setDragAction(Qt::MoveAction);
    new GroupIconFrameReporter(this, [this] { return iconFrame(); }, group.id, store);
    AppStore *target = &store;
    const QUuid groupID = group.id;
    connect(this, &QAbstractButton::clicked, this, [target, groupID] {
        if (target->expandedGroupID() == groupID)
            target->collapseGroup();
        else
            target->expandGroup(groupID);
    });
}

void GroupItemView::setDropTargeted(bool targeted)
{
    if (m_isDropTargeted == targeted)
        return;
    m_isDropTargeted = targeted;
    update();
}

void GroupItemView::setExternallyTargeted(bool targeted)
{
    if (m_isExternallyTargeted == targeted)
        return;
    m_isExternallyTargeted = targeted;
    update();
}

QMimeData *GroupItemView::dragData() const
{
    return DraggedPanelItem{.id = m_group.id, .kind = DraggedPanelItem::Kind::Group}.toMimeData();
}

void GroupItemView::paintEvent(QPaintEvent *event)
{
    ItemIconView::paintEvent(event);
    if (!m_isDropTargeted && !m_isExternallyTargeted)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor accent = ViewStyle::accent(palette());
    const double stroke = chrome().groupDropStroke();
    // Stroked inside the icon's bounds.
    const QRectF inner = iconFrame().adjusted(stroke / 2, stroke / 2, -stroke / 2, -stroke / 2);
    const double radius = std::max(0.0, chrome().groupStrokeRadius() - stroke / 2);
    painter.fillPath(ViewStyle::roundedRect(iconFrame(), chrome().groupStrokeRadius()),
                     ViewStyle::withOpacity(accent, highlightFillOpacity));
    painter.setPen(QPen(ViewStyle::withOpacity(accent, highlightStrokeOpacity), stroke));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(ViewStyle::roundedRect(inner, radius));
}

void GroupItemView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu;
    PanelMenus::addGroupEntries(menu, m_group, m_panelID, m_store);
    event->accept();
    menu.exec(event->globalPos());
}
