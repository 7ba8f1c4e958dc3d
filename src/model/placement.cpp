#include "placement.h"

#include <cmath>

namespace {

double normalisedFraction(double value)
{
    if (!std::isfinite(value))
        return 0.5;
    if (value <= 0)
        return 0;
    if (value > 1)
        return 1;
    return value;
}

} // namespace

PanelFreePosition::PanelFreePosition(double x, double y)
    : m_x(normalisedFraction(x))
    , m_y(normalisedFraction(y))
{
}

PanelOrientation PanelPlacement::orientation() const
{
    const bool sideEdge = edge == PanelEdge::Left || edge == PanelEdge::Right;
    return mode == PanelPlacementMode::Snapped && sideEdge ? PanelOrientation::Vertical
                                                           : PanelOrientation::Horizontal;
}

PanelCompanionSide PanelPlacement::companionSide() const
{
    if (mode == PanelPlacementMode::Free)
        return PanelCompanionSide::Above;
    switch (edge) {
    case PanelEdge::Left:
        return PanelCompanionSide::RightOf;
    case PanelEdge::Right:
        return PanelCompanionSide::LeftOf;
    case PanelEdge::Top:
        return PanelCompanionSide::Below;
    case PanelEdge::Bottom:
        break;
    }
    return PanelCompanionSide::Above;
}

namespace PanelScreen {

std::optional<ScreenSnapshot> resolve(const std::optional<QString> &screenID,
                                      const QList<ScreenSnapshot> &screens)
{
    if (screenID) {
        for (const ScreenSnapshot &screen : screens) {
            if (screen.id && *screen.id == *screenID)
                return screen;
        }
    }
    if (screens.isEmpty())
        return std::nullopt;
    for (const ScreenSnapshot &screen : screens) {
        if (screen.isPrimary)
            return screen;
    }
    return screens.first();
}

bool needsReposition(const PanelPlacement &placement, const Rect &frame, const Rect &visibleFrame)
{
    if (placement.mode == PanelPlacementMode::Snapped || placement.freePosition)
        return true;
    return !visibleFrame.contains(frame);
}

} // namespace PanelScreen
