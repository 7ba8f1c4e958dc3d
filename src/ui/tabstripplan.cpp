#include "tabstripplan.h"

#include <algorithm>

namespace {

constexpr double parkingOffset = 10000;
constexpr double chevronLift = 3;

} // namespace

double TabStripGeometry::runWidth(const QList<QSizeF> &sizes, int from, int count) const
{
    if (count < 1)
        return 0;
    double width = spacing * (count - 1);
    for (int i = from; i < from + count && i < sizes.size(); ++i)
        width += sizes.at(i).width();
    return width;
}

TabStripPlan TabStripGeometry::plan(const QList<QSizeF> &sizes) const
{
    const int pieces = int(sizes.size());
    if (pieces < 2)
        return {};
    const int chips = pieces - 1;
    if (!maxLength || runWidth(sizes, 0, chips) <= *maxLength)
        return TabStripPlan{.start = 0, .count = chips, .showsChevron = false};

    const double room = *maxLength - chevronGap() - sizes.last().width();
    // The run grows chip by chip, so its width is kept rather than summed again for every k.
    int fitting = 0;
    double width = 0;
    for (int k = 1; k <= chips; ++k) {
        width += sizes.at(k - 1).width() + (k > 1 ? spacing : 0);
        if (width > room)
            break;
        fitting = k;
    }
    const int count = std::max(fitting, 1);
    int start = 0;
    if (activeIndex && *activeIndex >= count)
        start = std::max(0, std::min(chips - count, *activeIndex - count + 1));
    return TabStripPlan{.start = start, .count = count, .showsChevron = true};
}

QSizeF TabStripGeometry::fittingSize(const QList<QSizeF> &sizes) const
{
    const TabStripPlan planned = plan(sizes);
    double width = runWidth(sizes, planned.start, planned.count);
    if (planned.showsChevron)
        width += chevronGap() + sizes.last().width();
    double height = 0;
    for (const QSizeF &size : sizes)
        height = std::max(height, size.height());
    return QSizeF(std::max(0.0, width), height);
}

QList<QRectF> TabStripGeometry::placements(const QList<QSizeF> &sizes, const QRectF &bounds) const
{
    QList<QRectF> frames;
    if (sizes.isEmpty())
        return frames;
    frames.reserve(sizes.size());
    const TabStripPlan planned = plan(sizes);
    const double middle = bounds.center().y();
    const auto parked = [&](const QSizeF &size) {
        return QRectF(QPointF(bounds.left() - parkingOffset, bounds.top()), size);
    };
    double x = bounds.left();
    bool placedChip = false;
    const int chips = int(sizes.size()) - 1;
    for (int i = 0; i < chips; ++i) {
        const QSizeF &size = sizes.at(i);
        if (i < planned.start || i >= planned.start + planned.count) {
            frames.append(parked(size));
            continue;
        }
        if (placedChip)
            x += spacing;
        frames.append(QRectF(QPointF(x, middle - size.height() / 2), size));
        x += size.width();
        placedChip = true;
    }
    const QSizeF &chevron = sizes.last();
    if (planned.showsChevron) {
        if (placedChip)
            x += chevronGap();
        frames.append(QRectF(QPointF(x, middle - chevronLift - chevron.height() / 2), chevron));
    } else {
        frames.append(parked(chevron));
    }
    return frames;
}
