#include "panelviewlayout.h"

#include "rowscroller.h"
#include "stackplan.h"
#include "tabbarview.h"

#include <QWidget>

#include <cmath>

PanelViewLayout::PanelViewLayout(const PanelLayoutInput &base, RowScroller *scroller, TabBarView *tabBar,
                                 QWidget *parent)
    : QLayout(parent)
    , m_base(base)
    , m_scroller(scroller)
    , m_tabBar(tabBar)
{
    setContentsMargins(0, 0, 0, 0);
    addChildWidget(scroller);
    m_items.append(new QWidgetItem(scroller));
    if (tabBar) {
        addChildWidget(tabBar);
        m_items.append(new QWidgetItem(tabBar));
    }
}

PanelViewLayout::~PanelViewLayout()
{
    qDeleteAll(m_items);
}

PanelLayoutInput PanelViewLayout::input() const
{
    PanelLayoutInput input = m_base;
    input.contentSize = m_scroller->preferredSize();
    input.hasTabBar = m_tabBar != nullptr;
    if (m_tabBar) {
        input.tabBarThickness = m_tabBar->thickness();
        input.tabBarLength = m_tabBar->naturalLength();
    }
    return input;
}

PanelLayoutPlan PanelViewLayout::plan(std::optional<QSizeF> offered) const
{
    return planPanelLayout(input(), offered);
}

void PanelViewLayout::addItem(QLayoutItem *item)
{
    // The two children are fixed at construction.
    delete item;
}

QLayoutItem *PanelViewLayout::itemAt(int index) const
{
    return m_items.value(index);
}

QLayoutItem *PanelViewLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    return m_items.takeAt(index);
}

int PanelViewLayout::count() const
{
    return int(m_items.size());
}

QSize PanelViewLayout::sizeHint() const
{
    const QSizeF size = plan().size;
    return QSize(int(std::ceil(size.width())), int(std::ceil(size.height())));
}

QSize PanelViewLayout::minimumSize() const
{
    // Along its axis the body may get less than it needs and scrolls; across, never.
    const QSize fitting = sizeHint();
    return m_base.orientation == PanelOrientation::Horizontal ? QSize(0, fitting.height()) : QSize(fitting.width(), 0);
}

Qt::Orientations PanelViewLayout::expandingDirections() const
{
    return m_base.orientation == PanelOrientation::Horizontal ? Qt::Horizontal : Qt::Vertical;
}

void PanelViewLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    const PanelLayoutPlan placed = plan(QSizeF(rect.size()));
    const QPointF origin(rect.topLeft());
    m_scroller->setGeometry(pixelRect(placed.viewport.translated(origin)));
    if (m_tabBar) {
        m_tabBar->setMaxLength(placed.tabBarMaxLength);
        m_tabBar->setGeometry(pixelRect(placed.tabBar.translated(origin)));
    }
}
