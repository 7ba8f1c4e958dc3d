#include "itemrowlayout.h"

#include <QWidget>

#include <cmath>

ItemRowLayout::ItemRowLayout(Qt::Orientation axis, const IconChrome &chrome, QWidget *parent)
    : QLayout(parent)
    , m_axis(axis)
    , m_chrome(chrome)
{
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

ItemRowLayout::~ItemRowLayout()
{
    qDeleteAll(m_items);
}

void ItemRowLayout::addTile(QWidget *tile, const std::optional<QUuid> &itemID)
{
    addChildWidget(tile);
    auto *item = new QWidgetItem(tile);
    m_items.append(item);
    m_entries.append(Entry{.item = item, .itemID = itemID});
    invalidate();
}

void ItemRowLayout::addZone(const DropInsertionZone &zone)
{
    m_entries.append(Entry{.zone = zone});
    invalidate();
}

void ItemRowLayout::clear()
{
    for (QLayoutItem *item : std::as_const(m_items)) {
        if (QWidget *tile = item->widget()) {
            tile->hide();
            tile->deleteLater();
        }
        delete item;
    }
    m_items.clear();
    m_entries.clear();
    invalidate();
}

void ItemRowLayout::addItem(QLayoutItem *item)
{
    m_items.append(item);
    m_entries.append(Entry{.item = item});
    invalidate();
}

QLayoutItem *ItemRowLayout::itemAt(int index) const
{
    return m_items.value(index);
}

QLayoutItem *ItemRowLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    QLayoutItem *item = m_items.takeAt(index);
    m_entries.removeIf([item](const Entry &entry) { return entry.item == item; });
    invalidate();
    return item;
}

int ItemRowLayout::count() const
{
    return int(m_items.size());
}

const StackPlan &ItemRowLayout::plan() const
{
    if (!m_plan) {
        QList<QSizeF> sizes;
        sizes.reserve(m_entries.size());
        for (const Entry &entry : m_entries)
            sizes.append(entry.item ? preferredSizeOf(*entry.item) : entry.zone.size(m_chrome, m_axis));
        m_plan = planStack(sizes, m_chrome.itemSpacing(), m_axis);
    }
    return *m_plan;
}

QSizeF ItemRowLayout::preferredSize() const
{
    return plan().size;
}

QSize ItemRowLayout::sizeHint() const
{
    const QSizeF size = plan().size;
    return QSize(int(std::ceil(size.width())), int(std::ceil(size.height())));
}

QSize ItemRowLayout::minimumSize() const
{
    return sizeHint();
}

QPointF ItemRowLayout::origin() const
{
    return QPointF(geometry().topLeft());
}

void ItemRowLayout::setGeometry(const QRect &rect)
{
    if (rect.topLeft() != geometry().topLeft())
        m_itemFrames.reset();
    QLayout::setGeometry(rect);
    const StackPlan &stack = plan();
    const QPointF offset = origin();
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (QLayoutItem *item = m_entries.at(i).item)
            item->setGeometry(pixelRect(stack.frames.at(i).translated(offset)));
    }
}

void ItemRowLayout::invalidate()
{
    m_plan.reset();
    m_itemFrames.reset();
    QLayout::invalidate();
}

QList<std::pair<DropInsertionZone, QRectF>> ItemRowLayout::zoneFrames() const
{
    QList<std::pair<DropInsertionZone, QRectF>> zones;
    const StackPlan &stack = plan();
    const QPointF offset = origin();
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        const Entry &entry = m_entries.at(i);
        if (!entry.item)
            zones.append({entry.zone, stack.frames.at(i).translated(offset)});
    }
    return zones;
}

QList<std::pair<QUuid, QWidget *>> ItemRowLayout::itemTiles() const
{
    QList<std::pair<QUuid, QWidget *>> tiles;
    for (const Entry &entry : m_entries) {
        if (entry.item && entry.itemID)
            tiles.append({*entry.itemID, entry.item->widget()});
    }
    return tiles;
}

bool ItemRowLayout::updateZones(const std::function<void(DropInsertionZone &)> &edit)
{
    bool changed = false;
    bool resized = false;
    for (Entry &entry : m_entries) {
        if (entry.item)
            continue;
        const DropInsertionZone before = entry.zone;
        edit(entry.zone);
        if (entry.zone == before)
            continue;
        changed = true;
        resized = resized || entry.zone.size(m_chrome, m_axis) != before.size(m_chrome, m_axis);
    }
    if (resized)
        invalidate();
    return changed;
}

QHash<QUuid, QRectF> ItemRowLayout::itemFrames() const
{
    if (!m_itemFrames) {
        QHash<QUuid, QRectF> frames;
        const StackPlan &stack = plan();
        const QPointF offset = origin();
        for (qsizetype i = 0; i < m_entries.size(); ++i) {
            const Entry &entry = m_entries.at(i);
            if (entry.item && entry.itemID)
                frames.insert(*entry.itemID, stack.frames.at(i).translated(offset));
        }
        m_itemFrames = std::move(frames);
    }
    return *m_itemFrames;
}

QHash<QUuid, QRectF> ItemRowLayout::itemFramesIn(const QWidget *ancestor) const
{
    QHash<QUuid, QRectF> frames;
    for (const auto &[id, tile] : itemTiles())
        frames.insert(id, QRectF(QRect(tile->mapTo(ancestor, QPoint(0, 0)), tile->size())));
    return frames;
}
