#pragma once

#include <QList>
#include <QRect>
#include <QSize>

// Space that a dock reserves along the edges of the root window (_NET_WM_STRUT_PARTIAL, or
// _NET_WM_STRUT with whole-edge spans), in root pixels. Each width is measured from the
// root's own edge, and each reservation covers only its start...end span (inclusive) along
// that edge.
struct Strut
{
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    int leftStartY = 0;
    int leftEndY = 0;
    int rightStartY = 0;
    int rightEndY = 0;
    int topStartX = 0;
    int topEndX = 0;
    int bottomStartX = 0;
    int bottomEndX = 0;

    // A strut from the four-value form, whose reservations span whole edges.
    static Strut wholeEdges(int left, int right, int top, int bottom);

    bool operator==(const Strut &) const = default;
};

namespace WorkArea {

// What is left of a monitor's area (root pixels) once every strut that overlaps it is cut off
// at the side it belongs to. A strut that does not touch the monitor leaves it whole, so a dock
// at the bottom of one monitor does not shrink its neighbour. Never larger than `monitor`; empty
// when the struts cover it completely.
QRect available(const QRect &monitor, const QSize &root, const QList<Strut> &struts);

} // namespace WorkArea
