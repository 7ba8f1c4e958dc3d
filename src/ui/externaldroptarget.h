#pragma once

#include "model/item.h"

#include <QHash>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QUrl>
#include <QUuid>

class QMimeData;

// Where files dragged in from outside (the file manager, a running application's tile) will go:
// in front of an item, into a group, or after the last item.
struct ExternalDropTarget
{
    enum class Kind { Before, Group, End };

    Kind kind = Kind::End;
    QUuid id; // the item (Before) or the group (Group); null at the end

    static ExternalDropTarget before(const QUuid &itemID) { return {Kind::Before, itemID}; }
    static ExternalDropTarget group(const QUuid &groupID) { return {Kind::Group, groupID}; }
    static ExternalDropTarget end() { return {}; }

    bool operator==(const ExternalDropTarget &) const = default;
};

// The target of a point in a row of tiles whose frames (in the point's coordinates) are given by
// item id. `isVertical`: the row runs downwards (a panel on the left or right edge). Items
// without a frame are passed over. A group takes the point when it lies from 4 points inside its
// leading side to 6 beyond its trailing side, and from 6 points before its top (leading) edge to
// 20 beyond its bottom (trailing) edge across the row; otherwise the first item whose middle lies
// beyond the point gets the files in front of it, and past the last one they go to the end.
//
// It runs on every move of a drag: linear in the items, one lookup each, no allocation.
ExternalDropTarget externalDropTarget(QPointF at, const QList<Item> &items, const QHash<QUuid, QRectF> &frames,
                                      bool isVertical);
// The same over a group's members (each a link), in a horizontal row: before a member or the end.
ExternalDropTarget externalDropTarget(QPointF at, const QList<ItemLink> &links, const QHash<QUuid, QRectF> &frames);

// Whether drag data offers a list of URLs (`text/uri-list`) at all.
bool offersFileURLs(const QMimeData *data);

// The local files a drop names, in the order of its `text/uri-list`: other schemes, other
// hosts and relative paths are left out. The whole list is there at once on this desktop.
QList<QUrl> loadFileURLs(const QMimeData *data);
