#include "panelview.h"

#include "additembutton.h"
#include "drophint.h"
#include "externaldropdelegate.h"
#include "groupitemview.h"
#include "itemrowlayout.h"
#include "itemtiles.h"
#include "panelmenus.h"
#include "panelviewlayout.h"
#include "rowdrophandler.h"
#include "rowscroller.h"
#include "tabbarview.h"
#include "viewstyle.h"

#include "store/appstore.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QMenu>
#include <QPainter>

namespace {

// How much of the active tab's colour tints the body.
constexpr double tintOpacity = 0.12;

PanelLayoutInput layoutInput(const Panel &panel)
{
    const IconChrome chrome = panel.chrome();
    return PanelLayoutInput{
        .orientation = panel.contentOrientation(),
        .companionSide = panel.placement().companionSide(),
        .tabBarLeads = tabBarLeads(panel.placement()),
        .tabBarSpacing = panel.tabStyle == PanelTabStyle::Buttons ? 2.0 : 0.0,
        .bodyPadding = chrome.bodyPadding(),
        .bodyCornerRadius = chrome.bodyCornerRadius(),
    };
}

Qt::Orientation axisOf(const Panel &panel)
{
    return panel.contentOrientation() == PanelOrientation::Horizontal ? Qt::Horizontal : Qt::Vertical;
}

} // namespace

PanelView::PanelView(const Panel &panel, AppStore &store, QWidget *parent)
    : HostedView(parent)
    , m_panel(panel)
    , m_store(store)
{
    setAccessibleName(panel.name);
    auto *row = new QWidget;
    m_itemLayout = new ItemRowLayout(axisOf(panel), panel.chrome(), row);
    m_scroller = new RowScroller(axisOf(panel), row, this);
    if (panel.isTabBarVisible())
        m_tabBar = new TabBarView(panel, store, panel.tabStyle == PanelTabStyle::Slanted, std::nullopt, this);
    m_layout = new PanelViewLayout(layoutInput(panel), m_scroller, m_tabBar, this);
    fillItemLayout();

    setAcceptDrops(true);
    m_drops = std::make_unique<RowDropHandler>(
        this, *m_itemLayout, std::make_unique<PanelItemDropRules>(panel, store),
        [&panel, &store](FileDropDelegate::SetTarget setTarget) {
            return std::make_unique<ExternalDropDelegate>(panel, store, std::move(setTarget));
        });

    connect(&store, &AppStore::runningAppsRevisionChanged, this, &PanelView::runningApplicationsChanged);
}

PanelView::~PanelView() = default;

void PanelView::fillItemLayout()
{
    const PanelTab &tab = m_panel.activeTab();
    const IconChrome chrome = m_panel.chrome();
    QWidget *row = m_itemLayout->parentWidget();

    for (const Item &item : tab.items) {
        m_itemLayout->addZone(DropInsertionZone{.targetID = item.id()});
        if (const ItemLink *link = item.link()) {
            m_itemLayout->addTile(new LinkTile(*link, m_panel, m_store, row), link->id);
        } else if (const ItemGroup *group = item.group()) {
            m_itemLayout->addTile(new GroupItemView(*group, m_panel.id(), m_store, chrome, m_panel.showsItemLabels,
                                                    m_panel.showsHoverHighlight, m_panel.showsTooltips, row),
                                  group->id);
        }
    }
    m_itemLayout->addZone(DropInsertionZone{.isTerminal = true});

    const QList<QUrl> running = m_store.runningApps(m_panel);
    for (const QUrl &location : running)
        m_itemLayout->addTile(new RunningApplicationTile(location, m_panel, m_store, row));

    if (tab.items.isEmpty() && running.isEmpty()) {
        auto *add = new AddItemButton(row);
        AppStore *target = &m_store;
        const QUuid panelID = m_panel.id();
        connect(add, &QAbstractButton::clicked, add, [target, panelID] { PanelMenus::addItems(*target, panelID); });
        m_itemLayout->addTile(add);
        if (m_panel.contentOrientation() == PanelOrientation::Horizontal)
            m_itemLayout->addTile(new DropHint(row));
    }
}

void PanelView::runningApplicationsChanged()
{
    // Which applications run changes the running tiles and the markers of the links, so the row
    // is built again; its old tiles stay valid until control returns to the event loop.
    m_itemLayout->clear();
    fillItemLayout();
    updateGeometry();
}

QRectF PanelView::bodyRect() const
{
    return m_layout->plan(QSizeF(size())).body;
}

QPainterPath PanelView::bodyShape() const
{
    const PanelLayoutPlan plan = m_layout->plan(QSizeF(size()));
    QPainterPath shape = ViewStyle::roundedRect(plan.body, m_panel.chrome().bodyCornerRadius());
    if (m_tabBar)
        shape.addPath(m_tabBar->outline().translated(QPointF(m_tabBar->pos())));
    return shape.simplified();
}

QHash<QUuid, QRectF> PanelView::itemFrames() const
{
    return m_itemLayout->itemFramesIn(this);
}

double PanelView::companionContentExtent() const
{
    const QSizeF content = m_itemLayout->preferredSize();
    const double along = m_panel.contentOrientation() == PanelOrientation::Horizontal ? content.width() : content.height();
    return along + 2 * m_panel.chrome().bodyPadding();
}

void PanelView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = bodyRect();
    const double radius = m_panel.chrome().bodyCornerRadius();
    std::optional<QColor> tint;
    if (const std::optional<TabColor> color = m_panel.activeTab().color)
        tint = ViewStyle::withOpacity(TabColors::color(*color), tintOpacity);
    ViewStyle::paintBody(painter, bounds, radius, palette(), isTranslucent(), tint);

    painter.setClipPath(ViewStyle::roundedRect(bounds, radius));
    m_drops->paintMarkers(painter);
    m_drops->paintDropBorder(painter, bounds, radius);
}

std::optional<ExternalDropTarget> PanelView::externalDropTarget() const
{
    return m_drops->externalTarget();
}

bool PanelView::showsPanelDropBorder() const
{
    return m_drops->showsDropBorder();
}

void PanelView::dragEnterEvent(QDragEnterEvent *event)
{
    m_drops->dragEnter(event);
}

void PanelView::dragMoveEvent(QDragMoveEvent *event)
{
    m_drops->dragMove(event);
}

void PanelView::dragLeaveEvent(QDragLeaveEvent *)
{
    m_drops->dragLeave();
}

void PanelView::dropEvent(QDropEvent *event)
{
    // The drop may replace this view: nothing of it is touched after the handler returns.
    m_drops->drop(event);
}

void PanelView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu;
    PanelMenus::addPanelEntries(menu, m_panel, m_store);
    event->accept();
    // The view may be replaced while the menu or a dialog it opens runs: nothing of it is touched
    // after exec() returns.
    menu.exec(event->globalPos());
}
