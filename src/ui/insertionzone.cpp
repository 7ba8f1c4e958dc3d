#include "insertionzone.h"

#include <QColor>
#include <QPainter>

QSizeF DropInsertionZone::size(const IconChrome &chrome, Qt::Orientation axis) const
{
    const double breadth = isTerminal && !isActive() ? 0 : chrome.insertBreadth();
    return axis == Qt::Horizontal ? QSizeF(breadth, chrome.pointSize()) : QSizeF(chrome.pointSize(), breadth);
}

QRectF DropInsertionZone::hitArea(const QRectF &frame, const IconChrome &chrome)
{
    const double outset = chrome.insertHitOutset();
    return frame.adjusted(-outset, -outset, outset, outset);
}

QRectF DropInsertionZone::markerRect(const QRectF &frame, const IconChrome &chrome, Qt::Orientation axis)
{
    const double line = chrome.insertLine();
    const double length = chrome.pointSize();
    const QSizeF size = axis == Qt::Horizontal ? QSizeF(line, length) : QSizeF(length, line);
    return QRectF(frame.center() - QPointF(size.width() / 2, size.height() / 2), size);
}

void DropInsertionZone::paintMarker(QPainter &painter, const QRectF &frame, const IconChrome &chrome,
                                    Qt::Orientation axis, const QColor &accent)
{
    const QRectF marker = markerRect(frame, chrome, axis);
    const double radius = std::min(marker.width(), marker.height()) / 2;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(accent);
    painter.drawRoundedRect(marker, radius, radius);
    painter.restore();
}
