#include "groupwindow.h"

#include <algorithm>

GroupWindow::GroupWindow()
    : HostWindow(Body::Shaped, Qt::Window | Qt::FramelessWindowHint)
{
    setStates(WindowStates{.level = WindowLevel::floating});
    setHoldsFrame(true);
    setFrame(Rect{0, 0, 240, 120});
}

Rect GroupWindow::placedFrame(const Size &size, const Rect &a, const Rect &v, PanelCompanionSide side)
{
    const double w = size.width;
    const double h = size.height;
    double x = 0;
    double y = 0;
    switch (side) {
    case PanelCompanionSide::Above:
        x = a.minX();
        y = a.maxY() + gap;
        if (y + h > v.maxY())
            y = a.minY() - gap - h;
        break;
    case PanelCompanionSide::Below:
        x = a.minX();
        y = a.minY() - gap - h;
        if (y < v.minY())
            y = a.maxY() + gap;
        break;
    case PanelCompanionSide::LeftOf:
        x = a.minX() - gap - w;
        y = a.maxY() - h;
        if (x < v.minX())
            x = a.maxX() + gap;
        break;
    case PanelCompanionSide::RightOf:
        x = a.maxX() + gap;
        y = a.maxY() - h;
        if (x + w > v.maxX())
            x = a.minX() - gap - w;
        break;
    }
    // Lower bound first: what does not fit ends on the right and top edges.
    x = std::min(std::max(x, v.minX()), v.maxX() - w);
    y = std::min(std::max(y, v.minY()), v.maxY() - h);
    return Rect{x, y, w, h};
}
