#include "tabstriplayout.h"

#include "fractionalsize.h"
#include "stackplan.h"

#include <QWidget>

#include <cmath>

TabStripLayout::TabStripLayout(const TabStripGeometry &geometry, SidewaysLayout turn, QWidget *parent)
    : QLayout(parent)
    , m_geometry(geometry)
    , m_turn(turn)
{
    setContentsMargins(0, 0, 0, 0);
}

TabStripLayout::~TabStripLayout()
{
    qDeleteAll(m_items);
}

void TabStripLayout::setMaxLength(std::optional<double> maxLength)
{
    if (m_geometry.maxLength == maxLength)
        return;
    m_geometry.maxLength = maxLength;
    invalidate();
}

QList<QSizeF> TabStripLayout::uprightSizes() const
{
    QList<QSizeF> sizes;
    sizes.reserve(m_items.size());
    for (const QLayoutItem *item : m_items)
        sizes.append(m_turn.upright(preferredSizeOf(*item)));
    return sizes;
}

void TabStripLayout::addItem(QLayoutItem *item)
{
    m_items.append(item);
    invalidate();
}

QLayoutItem *TabStripLayout::itemAt(int index) const
{
    return m_items.value(index);
}

QLayoutItem *TabStripLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    QLayoutItem *item = m_items.takeAt(index);
    invalidate();
    return item;
}

int TabStripLayout::count() const
{
    return int(m_items.size());
}

QSize TabStripLayout::sizeHint() const
{
    const QSizeF footprint = m_turn.footprint(m_geometry.fittingSize(uprightSizes()));
    const QMargins margins = contentsMargins();
    return QSize(int(std::ceil(footprint.width())) + margins.left() + margins.right(),
                 int(std::ceil(footprint.height())) + margins.top() + margins.bottom());
}

QSize TabStripLayout::minimumSize() const
{
    return sizeHint();
}

Qt::Orientations TabStripLayout::expandingDirections() const
{
    return {};
}

void TabStripLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    const QRectF bounds(rect.marginsRemoved(contentsMargins()));
    const QRectF upright = m_turn.uprightBounds(bounds, m_turn.upright(bounds.size()));
    const QList<QRectF> frames = m_geometry.placements(uprightSizes(), upright);
    for (int i = 0; i < m_items.size() && i < frames.size(); ++i) {
        const QRect frame = pixelRect(m_turn.place(frames.at(i), bounds));
        // Widgets are placed directly: QWidgetItem would clip a parked chip to the layout's
        // rectangle and squash it.
        if (QWidget *widget = m_items.at(i)->widget())
            widget->setGeometry(frame);
        else
            m_items.at(i)->setGeometry(frame);
    }
}
