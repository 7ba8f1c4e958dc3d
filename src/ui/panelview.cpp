#include "panelview.h"

#include "additembutton.h"
#include "drophint.h"
#include "groupitemview.h"
#include "itemrowlayout.h"
#include "itemtiles.h"
#include "panelmenus.h"
#include "panelviewlayout.h"
#include "rowscroller.h"
#include "tabbarview.h"
#include "viewstyle.h"

#include "store/appstore.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>

namespace {

// How much of the active tab's colour tints the body.
constexpr double tintOpacity = 0.12;
constexpr double hairlineOpacity = 0.12;

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
    QHash<QUuid, QRectF> frames;
    for (const auto &[id, tile] : m_itemLayout->itemTiles())
        frames.insert(id, QRectF(QRect(tile->mapTo(this, QPoint(0, 0)), tile->size())));
    return frames;
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
    const QPainterPath body = ViewStyle::roundedRect(bounds, radius);
    painter.fillPath(body, ViewStyle::material(palette(), isTranslucent()));
    if (const std::optional<TabColor> color = m_panel.activeTab().color)
        painter.fillPath(body, ViewStyle::withOpacity(TabColors::color(*color), tintOpacity));
    // A hairline inside the edge keeps the body apart from a background of its own colour
    // (one device pixel wide: the cosmetic stroker is also far cheaper on long edges).
    QPen hairline(ViewStyle::withOpacity(ViewStyle::primary(palette()), hairlineOpacity), 1);
    hairline.setCosmetic(true);
    painter.setPen(hairline);
    painter.drawPath(ViewStyle::roundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5));
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
