#pragma once

#include <QPainterPath>
#include <QRectF>

// The outline of a slanted tab: a straight leading side with a rounded top corner, a straight
// top, and a trailing side that slants from the tip (`slant` in from the trailing edge at the
// top) down to the bottom-trailing corner, where the tip is rounded along the slant by
// `tipRounding`. The bottom is open to the panel body. `flipped` mirrors it vertically, for a
// tab that hangs below the body.
struct SlantedTabShape
{
    double radius = 0;
    double slant = 0;
    double tipRounding = 0;
    bool flipped = false;

    // The outline within `rect` (y grows downward). The corner radius is at most half the height.
    QPainterPath path(const QRectF &rect) const;
};
