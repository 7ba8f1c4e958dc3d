#include "slantedtabshape.h"

#include <QTransform>

#include <algorithm>
#include <cmath>

QPainterPath SlantedTabShape::path(const QRectF &rect) const
{
    const double height = rect.height();
    const double r = std::min(radius, height / 2);
    const QPointF tip(rect.right() - slant, rect.top());
    // The length of the slanted side, along which the tip's rounding ends.
    const double side = std::hypot(slant, height);

    QPainterPath outline;
    outline.moveTo(rect.left(), rect.bottom());
    outline.lineTo(rect.left(), rect.top() + r);
    outline.quadTo(rect.topLeft(), QPointF(rect.left() + r, rect.top()));
    outline.lineTo(tip.x() - tipRounding, rect.top());
    if (side > 0)
        outline.quadTo(tip, QPointF(tip.x() + tipRounding * slant / side, rect.top() + tipRounding * height / side));
    else
        outline.lineTo(tip);
    outline.lineTo(rect.right(), rect.bottom());
    outline.closeSubpath();

    if (!flipped)
        return outline;
    // Mirrored about the rect's middle line.
    return QTransform(1, 0, 0, -1, 0, 2 * rect.center().y()).map(outline);
}
