#include "appstore.h"

#include <algorithm>

// Pure functions in y-up global coordinates. Nothing is rounded: the window layer receives
// the values exactly as computed.

namespace {

// Negative and NaN lengths count as 0, so a frame never has a negative or undefined size.
double nonNegative(double length)
{
    return length > 0 ? length : 0;
}

// The origin along one axis that keeps a span of `length` inside [low, high] when it fits,
// and puts it at `low` when it does not.
double clampedOrigin(double origin, double low, double high, double length)
{
    if (low < high - length)
        return std::min(std::max(origin, low), high - length);
    return low;
}

} // namespace

Rect AppStore::frame(const PanelPlacement &placement, const Size &contentSize, const Rect &visibleFrame)
{
    const Rect &v = visibleFrame;
    const double fullWidth = nonNegative(v.width);
    const double fullHeight = nonNegative(v.height);
    double w = std::min(nonNegative(contentSize.width), fullWidth);
    double h = std::min(nonNegative(contentSize.height), fullHeight);
    double x = 0;
    double y = 0;

    if (placement.mode == PanelPlacementMode::Snapped) {
        const double inset = nonNegative(placement.edgeInset);
        if (placement.edge == PanelEdge::Left || placement.edge == PanelEdge::Right) {
            switch (placement.alignment) {
            case PanelAlignment::Start: y = v.maxY() - h; break;
            case PanelAlignment::Center: y = v.midY() - h / 2; break;
            case PanelAlignment::End: y = v.minY(); break;
            case PanelAlignment::Stretch:
                h = fullHeight;
                y = v.minY();
                break;
            }
            x = placement.edge == PanelEdge::Left ? v.minX() + inset : v.maxX() - w - inset;
            x = clampedOrigin(x, v.minX(), v.maxX(), w);
        } else {
            switch (placement.alignment) {
            case PanelAlignment::Start: x = v.minX(); break;
            case PanelAlignment::Center: x = v.midX() - w / 2; break;
            case PanelAlignment::End: x = v.maxX() - w; break;
            case PanelAlignment::Stretch:
                w = fullWidth;
                x = v.minX();
                break;
            }
            y = placement.edge == PanelEdge::Top ? v.maxY() - h - inset : v.minY() + inset;
            y = clampedOrigin(y, v.minY(), v.maxY(), h);
        }
    } else if (const auto &position = placement.freePosition) {
        // The fractions place the panel's centre; near an edge it is pushed inwards.
        x = clampedOrigin(v.minX() + position->x() * v.width - w / 2, v.minX(), v.maxX(), w);
        y = clampedOrigin(v.minY() + position->y() * v.height - h / 2, v.minY(), v.maxY(), h);
    } else {
        x = v.midX() - w / 2;
        y = v.midY() - h / 2;
    }
    return Rect{x, y, w, h};
}

PanelFreePosition AppStore::freePosition(const Rect &frame, const Rect &visibleFrame)
{
    const Rect &v = visibleFrame;
    const double fx = v.width > 0 ? (frame.midX() - v.minX()) / v.width : 0.5;
    const double fy = v.height > 0 ? (frame.midY() - v.minY()) / v.height : 0.5;
    // The position's own normalisation turns non-finite fractions into 0.5 and clamps to 0...1.
    return PanelFreePosition(fx, fy);
}
