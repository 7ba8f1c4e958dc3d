#pragma once

#include <QList>
#include <QRect>
#include <QRectF>
#include <QSizeF>

// A row or column of children with fixed gaps between neighbours, centred across its axis:
// the arrangement of the item tiles of a panel. Pure; sizes in points, not rounded.
struct StackPlan
{
    QList<QRectF> frames; // one per child, in order, relative to the stack's top-left corner
    QSizeF size;          // the whole stack
};

StackPlan planStack(const QList<QSizeF> &sizes, double spacing, Qt::Orientation axis);

// The widget rectangle of a planned frame: each edge rounded on its own, so that rounding never
// accumulates along a long row.
QRect pixelRect(const QRectF &frame);
