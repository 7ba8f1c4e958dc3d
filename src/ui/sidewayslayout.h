#pragma once

#include "model/placement.h"

#include <QRectF>
#include <QSizeF>
#include <QTransform>

// The turn of a tab strip drawn beside a panel body: by -90 degrees when the strip stands left of
// the body, by +90 degrees right of it, not at all above or below. Widgets cannot be rotated, so
// the strip is laid out upright and every piece of it is placed where the turn puts it and paints
// its upright content turned (a text field stays upright: it is placed over its chip).
//
// A turned strip takes its upright size with width and height swapped, and is turned about the
// centre of the bounds it is given, where its upright frame is centred.
class SidewaysLayout
{
public:
    explicit SidewaysLayout(double degrees = 0)
        : m_degrees(degrees)
    {
    }
    // The turn of a strip on this side of the body.
    static SidewaysLayout forSide(PanelCompanionSide side);

    double degrees() const { return m_degrees; }
    bool isSideways() const { return m_degrees != 0; }

    // The room an upright size takes once turned, and back: swapped when sideways.
    QSizeF footprint(const QSizeF &upright) const { return isSideways() ? upright.transposed() : upright; }
    QSizeF upright(const QSizeF &footprint) const { return isSideways() ? footprint.transposed() : footprint; }

    // The upright frame of a strip of `measured` size turned into `bounds`: centred on them.
    QRectF uprightBounds(const QRectF &bounds, const QSizeF &measured) const;
    // Where a piece placed at `uprightFrame` (in the upright frame of the strip turned into
    // `bounds`) lands.
    QRectF place(const QRectF &uprightFrame, const QRectF &bounds) const;
    // For a widget whose geometry is a turned footprint: maps its upright content to the widget's
    // own coordinates (the identity when upright).
    QTransform uprightToWidget(const QSizeF &footprint) const;

private:
    // The turn about the centre of `bounds`.
    QTransform turnAbout(const QPointF &centre) const;

    double m_degrees;
};
