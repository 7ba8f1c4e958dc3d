#pragma once

#include <QSizeF>

// A widget whose natural size is not a whole number of points (icon metrics in thirds, label
// widths). Layouts sum these exact sizes and round each child's edges only once at the end, so a
// long row of tiles does not drift by a point per tile.
class FractionalSize
{
public:
    virtual ~FractionalSize() = default;
    virtual QSizeF preferredSize() const = 0;
};

class QLayoutItem;

// The natural size of a layout item: exact for FractionalSize widgets, the size hint otherwise.
QSizeF preferredSizeOf(const QLayoutItem &item);
