#pragma once

#include "fractionalsize.h"
#include "stackplan.h"

#include "model/iconchrome.h"

#include <QLayout>
#include <QList>
#include <QUuid>

#include <optional>

// The room kept in front of every item tile, and once after the last, where a dragged item can be
// dropped. It is `insertBreadth` along the row and `pointSize` across it; the zone at the end takes
// no room until a drag points at it.
struct DropInsertionZone
{
    std::optional<QUuid> targetID; // the item it stands in front of; none at the end
    bool isTerminal = false;
    bool isActive = false;         // a drag points at it

    QSizeF size(const IconChrome &chrome, Qt::Orientation axis) const;
};

// The item stack of a panel: tiles and insertion zones in a row (or column), `itemSpacing`
// apart, centred across the row. Zones are room only, not widgets.
class ItemRowLayout : public QLayout, public FractionalSize
{
public:
    ItemRowLayout(Qt::Orientation axis, const IconChrome &chrome, QWidget *parent = nullptr);
    ~ItemRowLayout() override;

    Qt::Orientation axis() const { return m_axis; }

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
};
