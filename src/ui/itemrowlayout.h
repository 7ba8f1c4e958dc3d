#pragma once

#include "fractionalsize.h"
#include "insertionzone.h"
#include "stackplan.h"

#include "model/iconchrome.h"

#include <QHash>
#include <QLayout>
#include <QList>
#include <QUuid>

#include <functional>
#include <optional>

// The item stack of a panel or a group's popover: tiles and insertion zones in a row (or column), `itemSpacing`
// apart, centred across the row. Zones are room only, not widgets.
class ItemRowLayout : public QLayout, public FractionalSize
{
public:
    ItemRowLayout(Qt::Orientation axis, const IconChrome &chrome, QWidget *parent = nullptr);
    ~ItemRowLayout() override;

    Qt::Orientation axis() const { return m_axis; }
    const IconChrome &chrome() const { return m_chrome; }

    // Appends a tile; `itemID` names the item it shows (running-application tiles, the add button
    // and the hint have none).
    void addTile(QWidget *tile, const std::optional<QUuid> &itemID = std::nullopt);
    void addZone(const DropInsertionZone &zone);
    // Removes every tile and zone; the tiles are hidden and released once control returns to the
    // event loop, so that a tile whose menu or drag is still running stays valid until then.
    void clear();

    // The exact size of the stack, before rounding.
    QSizeF preferredSize() const override;
    // The zones in order, with their frames in the layout's parent widget.
    QList<std::pair<DropInsertionZone, QRectF>> zoneFrames() const;
    // Runs `edit` on every zone in order; true when a zone changed (the row is laid out again
    // when one changed its room).
    bool updateZones(const std::function<void(DropInsertionZone &)> &edit);
    // The exact frame of every item's tile in the layout's parent widget, before rounding. A copy
    // (shared, cheap): the cache behind it is renewed whenever the row is laid out again.
    QHash<QUuid, QRectF> itemFrames() const;
    // The frame of every item's tile in the coordinates of `ancestor`, which holds the row.
    QHash<QUuid, QRectF> itemFramesIn(const QWidget *ancestor) const;
    // The tile of every item, with the item's id.
    QList<std::pair<QUuid, QWidget *>> itemTiles() const;

    void addItem(QLayoutItem *item) override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect &rect) override;
    void invalidate() override;

private:
    struct Entry
    {
        QLayoutItem *item = nullptr; // null for a zone
        std::optional<QUuid> itemID;
        DropInsertionZone zone;
    };

    const StackPlan &plan() const;
    QPointF origin() const;

    Qt::Orientation m_axis;
    IconChrome m_chrome;
    QList<Entry> m_entries;
    QList<QLayoutItem *> m_items; // the tiles alone, in order, as QLayout indexes them
    mutable std::optional<StackPlan> m_plan;
    mutable std::optional<QHash<QUuid, QRectF>> m_itemFrames;
};
