#include "grouppopoverview.h"

#include "additembutton.h"
#include "drophint.h"
#include "externaldropdelegate.h"
#include "groupmembertile.h"
#include "itemrowlayout.h"
#include "rowdrophandler.h"
#include "rowscroller.h"
#include "stackplan.h"
#include "tabchip.h"
#include "viewstyle.h"

#include "store/appstore.h"
#include "windows/panelscreens.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double indicatorThickness = 3;

// The first top-level group with this id, in every panel, tab and item in order.
std::optional<ItemGroup> resolveGroup(const QList<Panel> &panels, const QUuid &groupID)
{
    for (const Panel &panel : panels) {
        if (const ItemGroup *group = panel.group(groupID))
            return *group;
    }
    return std::nullopt;
}

bool isSideways(PanelCompanionSide side)
{
    return side == PanelCompanionSide::LeftOf || side == PanelCompanionSide::RightOf;
}

} // namespace

GroupPopoverView::GroupPopoverView(const QUuid &groupID, const QUuid &panelID, AppStore &store, QWidget *parent)
    : HostedView(parent)
    , m_groupID(groupID)
    , m_panelID(panelID)
    , m_store(store)
    , m_group(resolveGroup(store.panels(), groupID))
{
    if (const Panel *host = store.panel(panelID)) {
        m_side = host->placement().companionSide();
        m_screenID = host->placement().screenID;
        m_chrome = host->chrome();
        m_showsItemLabels = host->showsItemLabels;
        m_showsHoverHighlight = host->showsHoverHighlight;
        m_showsTooltips = host->showsTooltips;
        m_isSlanted = host->tabStyle == PanelTabStyle::Slanted;
    }
    setFocusPolicy(Qt::StrongFocus);
    if (!m_group)
        return;
    setAccessibleName(m_group->name);
    buildChip();
    buildBody();
    setAcceptDrops(true);
    connect(&store, &AppStore::editingGroupIDChanged, this, &GroupPopoverView::editingChanged);
    editingChanged();
}

GroupPopoverView::~GroupPopoverView() = default;

void GroupPopoverView::buildChip()
{
    AppStore *store = &m_store;
    const QUuid groupID = m_groupID;
    const QUuid panelID = m_panelID;
    const QString name = m_group->name;
    m_chip = new TabChip(TabChipOptions{.name = name,
                                        .isActive = true,
                                        .isRenaming = store->editingGroupID() == groupID,
                                        .slanted = m_isSlanted,
                                        .companionSide = m_side.value_or(PanelCompanionSide::Above),
                                        .showsTooltip = m_showsTooltips,
                                        .fieldAccessibilityID = QStringLiteral("groupNameField"),
                                        .labelAccessibilityID = QStringLiteral("groupName")},
                         this);
    connect(m_chip, &TabChip::renameRequested, store, [store, groupID] { store->beginRenamingGroup(groupID); });
    connect(m_chip, &TabChip::renameCommitted, store,
            [store, groupID, panelID](const QString &newName) { store->renameGroup(groupID, newName, panelID); });
    // Renaming to the current name only ends the editing.
    connect(m_chip, &TabChip::renameCancelled, store,
            [store, groupID, panelID, name] { store->renameGroup(groupID, name, panelID); });
    m_chip->resize(chipFrame(plan()).size());
    m_chip->setMenuContent([store, groupID](QMenu &menu) {
        menu.addAction(QStringLiteral("Rename"), store, [store, groupID] { store->beginRenamingGroup(groupID); });
    });
}

void GroupPopoverView::buildBody()
{
    auto *row = new QWidget;
    m_itemLayout = new ItemRowLayout(Qt::Horizontal, m_chrome, row);
    AppStore *store = &m_store;
    const QUuid groupID = m_groupID;
    const QUuid panelID = m_panelID;
    const auto addItems = [store, groupID, panelID] { store->addItemsToGroup(groupID, panelID); };
    if (m_group->links.isEmpty()) {
        auto *add = new AddItemButton(row);
        connect(add, &QAbstractButton::clicked, add, addItems);
        m_itemLayout->addTile(add);
        m_itemLayout->addTile(new DropHint(row));
    } else {
        const GroupMemberTile::Look look{.chrome = m_chrome,
                                         .showsLabel = m_showsItemLabels,
                                         .showsHoverHighlight = m_showsHoverHighlight,
                                         .showsTooltips = m_showsTooltips};
        for (const ItemLink &link : std::as_const(m_group->links)) {
            m_itemLayout->addZone(groupInsertionZone(link.id));
            m_itemLayout->addTile(new GroupMemberTile(link, groupID, panelID, m_store, look, row), link.id);
        }
        m_itemLayout->addZone(groupInsertionZone(std::nullopt));
        auto *add = new CompactAddItemButton(m_chrome, row);
        connect(add, &QAbstractButton::clicked, add, addItems);
        m_itemLayout->addTile(add);
    }
    m_scroller = new RowScroller(Qt::Horizontal, row, this);
    // Scrolling moves the row: the indicator follows.
    row->installEventFilter(this);

    const ItemGroup group = *m_group;
    m_drops = std::make_unique<RowDropHandler>(
        this, *m_itemLayout, std::make_unique<GroupItemDropRules>(group, panelID, m_store),
        [group, panelID, store](FileDropDelegate::SetTarget setTarget) {
            return std::make_unique<GroupExternalDropDelegate>(group, panelID, *store, std::move(setTarget));
        });
}

void GroupPopoverView::editingChanged()
{
    const bool renaming = m_store.editingGroupID() == m_groupID;
    m_chip->setRenaming(renaming);
    if (!renaming && isVisible())
        setFocus(Qt::OtherFocusReason);
}

std::optional<ExternalDropTarget> GroupPopoverView::externalTarget() const
{
    return m_drops ? m_drops->externalTarget() : std::nullopt;
}

bool GroupPopoverView::showsDropBorder() const
{
    return m_drops && m_drops->showsDropBorder();
}

PanelLayoutInput GroupPopoverView::layoutInput() const
{
    const PanelCompanionSide side = m_side.value_or(PanelCompanionSide::Above);
    const QSizeF chip = m_chip ? m_chip->uprightSize() : QSizeF();
    return PanelLayoutInput{
        .orientation = PanelOrientation::Horizontal,
        .companionSide = side,
        .hasTabBar = m_chip != nullptr,
        // The chip mirrors the panel's own tab bar: before the body above it or on its left.
        .tabBarLeads = side == PanelCompanionSide::Above || side == PanelCompanionSide::LeftOf,
        .tabBarThickness = chip.height(),
        .tabBarLength = chip.width(),
        .tabBarSpacing = m_isSlanted ? 0.0 : 2.0,
        .bodyPadding = m_chrome.bodyPadding(),
        .bodyCornerRadius = m_chrome.bodyCornerRadius(),
        .contentSize = m_scroller ? m_scroller->preferredSize() : QSizeF(),
    };
}

PanelLayoutPlan GroupPopoverView::plan(std::optional<QSizeF> offered) const
{
    return planPanelLayout(layoutInput(), offered);
}

std::optional<double> GroupPopoverView::maximumWidth() const
{
    const QScreen *screen = PanelScreens::forPanel(m_screenID);
    if (!screen)
        return std::nullopt;
    return std::floor(PanelScreens::visibleFrame(screen).width);
}

QSize GroupPopoverView::sizeHint() const
{
    if (!m_group)
        return QSize(0, 0);
    QSizeF size = plan().size;
    // A group too long for the screen scrolls inside a popover as wide as the screen.
    if (const std::optional<double> widest = maximumWidth(); widest && size.width() > *widest)
        size.setWidth(*widest);
    return QSize(int(std::ceil(size.width())), int(std::ceil(size.height())));
}

QRectF GroupPopoverView::bodyRect() const
{
    return m_group ? plan(QSizeF(size())).body : QRectF();
}

QHash<QUuid, QRectF> GroupPopoverView::itemFrames() const
{
    return m_itemLayout ? m_itemLayout->itemFramesIn(this) : QHash<QUuid, QRectF>();
}

QPainterPath GroupPopoverView::bodyShape() const
{
    QPainterPath shape;
    if (!m_group)
        return shape;
    const PanelLayoutPlan placed = plan(QSizeF(size()));
    shape = ViewStyle::roundedRect(placed.body, m_chrome.bodyCornerRadius());
    // Where the chip will be for this size (the window may ask before the chip is placed), its
    // drawn outline joined to the body's.
    // The chip's size is its own from the start; only its place depends on the view's size.
    const QRect chip = chipFrame(placed);
    const QTransform turned = m_chip->turn().uprightToWidget(QSizeF(chip.size()));
    return shape.united(turned.map(m_chip->shape()).translated(QPointF(chip.topLeft())));
}

QRect GroupPopoverView::chipFrame(const PanelLayoutPlan &placed) const
{
    // The chip, its own size, stands `bodyCornerRadius` in from the leading end of the bar's room.
    const double inset = m_chrome.bodyCornerRadius();
    const bool sideways = isSideways(m_side.value_or(PanelCompanionSide::Above));
    const QSizeF chip = m_chip->turn().footprint(m_chip->uprightSize());
    const QPointF origin = placed.tabBar.topLeft() + (sideways ? QPointF(0, inset) : QPointF(inset, 0));
    return pixelRect(QRectF(origin, chip));
}

void GroupPopoverView::resizeEvent(QResizeEvent *event)
{
    HostedView::resizeEvent(event);
    if (!m_group)
        return;
    const PanelLayoutPlan placed = plan(QSizeF(size()));
    m_scroller->setGeometry(pixelRect(placed.viewport));
    m_chip->setGeometry(chipFrame(placed));
}

void GroupPopoverView::paintEvent(QPaintEvent *)
{
    if (!m_group)
        return;
    QPainter painter(this);
    const QRectF body = plan(QSizeF(size())).body;
    const double radius = m_chrome.bodyCornerRadius();
    ViewStyle::paintBody(painter, body, radius, palette(), isTranslucent());
    painter.setClipPath(ViewStyle::roundedRect(body, radius));
    m_drops->paintMarkers(painter);
    m_drops->paintDropBorder(painter, body, radius);
    paintScrollIndicator(painter);
}

void GroupPopoverView::paintScrollIndicator(QPainter &painter) const
{
    const int overflow = m_scroller->maximumOffset();
    if (overflow <= 0)
        return;
    const QRectF track(m_scroller->geometry());
    const double content = track.width() + overflow;
    const double thumb = std::max(2 * indicatorThickness, track.width() * track.width() / content);
    const double x = track.left() + (track.width() - thumb) * m_scroller->offset() / overflow;
    const double y = track.bottom() + (m_chrome.bodyPadding() - indicatorThickness) / 2;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ViewStyle::secondary(palette()));
    painter.drawRoundedRect(QRectF(x, y, thumb, indicatorThickness), indicatorThickness / 2, indicatorThickness / 2);
    painter.restore();
}

void GroupPopoverView::showEvent(QShowEvent *event)
{
    HostedView::showEvent(event);
    // Keys reach the popover (Escape closes it) unless its name is being edited.
    if (!m_chip || !m_chip->isRenaming())
        setFocus(Qt::OtherFocusReason);
}

void GroupPopoverView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        m_store.collapseGroup();
        return;
    }
    HostedView::keyPressEvent(event);
}

bool GroupPopoverView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Move && m_scroller && watched == m_scroller->content())
        update();
    return HostedView::eventFilter(watched, event);
}

void GroupPopoverView::dragEnterEvent(QDragEnterEvent *event)
{
    m_drops->dragEnter(event);
}

void GroupPopoverView::dragMoveEvent(QDragMoveEvent *event)
{
    m_drops->dragMove(event);
}

void GroupPopoverView::dragLeaveEvent(QDragLeaveEvent *)
{
    m_drops->dragLeave();
}

void GroupPopoverView::dropEvent(QDropEvent *event)
{
    // The drop may replace this view: nothing of it is touched after the handler returns.
    m_drops->drop(event);
}
