#include "workarea.h"

#include <algorithm>

Strut Strut::wholeEdges(int left, int right, int top, int bottom)
{
    constexpr int span = 1 << 30;
    return Strut{left, right, top, bottom, 0, span, 0, span, 0, span, 0, span};
}

namespace WorkArea {

QRect available(const QRect &monitor, const QSize &root, const QList<Strut> &struts)
{
    // Edges as half-open coordinates: [left, right) x [top, bottom).
    int left = monitor.left();
    int top = monitor.top();
    int right = monitor.left() + monitor.width();
    int bottom = monitor.top() + monitor.height();
    const auto overlaps = [](int start, int end, int low, int high) { return start < high && end >= low; };

    for (const Strut &strut : struts) {
        if (strut.left > 0 && strut.left > monitor.left()
            && overlaps(strut.leftStartY, strut.leftEndY, monitor.top(), monitor.top() + monitor.height()))
            left = std::max(left, strut.left);
        if (const int edge = root.width() - strut.right;
            strut.right > 0 && edge < monitor.left() + monitor.width()
            && overlaps(strut.rightStartY, strut.rightEndY, monitor.top(), monitor.top() + monitor.height()))
            right = std::min(right, edge);
        if (strut.top > 0 && strut.top > monitor.top()
            && overlaps(strut.topStartX, strut.topEndX, monitor.left(), monitor.left() + monitor.width()))
            top = std::max(top, strut.top);
        if (const int edge = root.height() - strut.bottom;
            strut.bottom > 0 && edge < monitor.top() + monitor.height()
            && overlaps(strut.bottomStartX, strut.bottomEndX, monitor.left(), monitor.left() + monitor.width()))
            bottom = std::min(bottom, edge);
    }
    if (right <= left || bottom <= top)
        return QRect(left, top, 0, 0);
    return QRect(left, top, right - left, bottom - top);
}

} // namespace WorkArea
