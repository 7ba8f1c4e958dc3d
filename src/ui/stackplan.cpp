#include "stackplan.h"

#include <algorithm>
#include <cmath>

StackPlan planStack(const QList<QSizeF> &sizes, double spacing, Qt::Orientation axis)
{
    const bool horizontal = axis == Qt::Horizontal;
    const auto along = [horizontal](const QSizeF &s) { return horizontal ? s.width() : s.height(); };
    const auto across = [horizontal](const QSizeF &s) { return horizontal ? s.height() : s.width(); };

    double breadth = 0;
    for (const QSizeF &size : sizes)
        breadth = std::max(breadth, across(size));

    StackPlan plan;
    plan.frames.reserve(sizes.size());
    double position = 0;
    for (const QSizeF &size : sizes) {
        if (!plan.frames.isEmpty())
            position += spacing;
        const double offset = (breadth - across(size)) / 2;
        plan.frames.append(horizontal ? QRectF(position, offset, size.width(), size.height())
                                      : QRectF(offset, position, size.width(), size.height()));
        position += along(size);
    }
    plan.size = horizontal ? QSizeF(position, breadth) : QSizeF(breadth, position);
    return plan;
}

QRect pixelRect(const QRectF &frame)
{
    const int left = int(std::lround(frame.left()));
    const int top = int(std::lround(frame.top()));
    const int right = int(std::lround(frame.right()));
    const int bottom = int(std::lround(frame.bottom()));
    return QRect(left, top, right - left, bottom - top);
}
