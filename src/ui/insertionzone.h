#pragma once

#include "model/iconchrome.h"

#include <QRectF>
#include <QUuid>

#include <optional>

class QColor;
class QPainter;

// The room kept in front of every tile of a row, and once after the last, where a dragged item
// can be dropped. It is `insertBreadth` along the row and `pointSize` across it. A panel's last
// zone is terminal: it takes no room until a drag points at it. In a group's popover every zone
// keeps its room, the last one too (see groupInsertionZone).
//
// While active (a dragged item hovers over it, or files from outside would go there) it shows a
// capsule in the accent colour, `insertLine` thick and `pointSize` long, centred in its room. A
// drag finds it more easily than it is drawn: its hit area is its room grown by
// `insertHitOutset` on every side.
struct DropInsertionZone
{
    std::optional<QUuid> targetID;     // the item it stands in front of; none at the end
    bool isTerminal = false;
    bool isExternallyTargeted = false; // files from outside would go here
    bool isTargeted = false;           // a dragged item hovers over it

    bool operator==(const DropInsertionZone &) const = default;

    bool isActive() const { return isTargeted || isExternallyTargeted; }
    QSizeF size(const IconChrome &chrome, Qt::Orientation axis) const;

    static QRectF hitArea(const QRectF &frame, const IconChrome &chrome);
    static QRectF markerRect(const QRectF &frame, const IconChrome &chrome, Qt::Orientation axis);
    static void paintMarker(QPainter &painter, const QRectF &frame, const IconChrome &chrome, Qt::Orientation axis,
                            const QColor &accent);
};

// A zone of a group's popover (`GroupInsertionZone`): in front of a member, or at the end when
// `targetID` is none, and never terminal.
inline DropInsertionZone groupInsertionZone(const std::optional<QUuid> &targetID)
{
    return DropInsertionZone{.targetID = targetID};
}
