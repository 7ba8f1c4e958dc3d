#include "externaldroptarget.h"

#include "model/localfile.h"

#include <QMimeData>

namespace {

// The group's catch area reaches past its tile, mostly beyond its bottom edge where the label is.
constexpr double groupLeadingInset = 4;
constexpr double groupTrailingReach = 6;
constexpr double groupAboveReach = 6;
constexpr double groupBelowReach = 20;

bool isGroup(const Item &item)
{
    return item.isGroup();
}

bool isGroup(const ItemLink &)
{
    return false;
}

QUuid idOf(const Item &item)
{
    return item.id();
}

QUuid idOf(const ItemLink &link)
{
    return link.id;
}

template<typename Entries>
ExternalDropTarget hitTest(QPointF at, const Entries &entries, const QHash<QUuid, QRectF> &frames, bool isVertical)
{
    const double along = isVertical ? at.y() : at.x();
    const double across = isVertical ? at.x() : at.y();
    for (const auto &entry : entries) {
        const QUuid id = idOf(entry);
        const auto found = frames.constFind(id);
        if (found == frames.constEnd())
            continue;
        const QRectF &frame = *found;
        const double a0 = isVertical ? frame.top() : frame.left();
        const double a1 = isVertical ? frame.bottom() : frame.right();
        const double c0 = isVertical ? frame.left() : frame.top();
        const double c1 = isVertical ? frame.right() : frame.bottom();
        if (isGroup(entry) && a0 + groupLeadingInset <= along && along <= a1 + groupTrailingReach
            && c0 - groupAboveReach <= across && across <= c1 + groupBelowReach)
            return ExternalDropTarget::group(id);
        if (along < (a0 + a1) / 2)
            return ExternalDropTarget::before(id);
    }
    return ExternalDropTarget::end();
}

} // namespace

ExternalDropTarget externalDropTarget(QPointF at, const QList<Item> &items, const QHash<QUuid, QRectF> &frames,
                                      bool isVertical)
{
    return hitTest(at, items, frames, isVertical);
}

ExternalDropTarget externalDropTarget(QPointF at, const QList<ItemLink> &links, const QHash<QUuid, QRectF> &frames)
{
    return hitTest(at, links, frames, false);
}

bool offersFileURLs(const QMimeData *data)
{
    return data && data->hasUrls();
}

QList<QUrl> loadFileURLs(const QMimeData *data)
{
    QList<QUrl> files;
    if (!offersFileURLs(data))
        return files;
    const QList<QUrl> urls = data->urls();
    for (const QUrl &url : urls) {
        if (localFilePath(url))
            files.append(url);
    }
    return files;
}
