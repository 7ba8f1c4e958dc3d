#pragma once

#include "enumtraits.h"
#include "geometry.h"

#include <QList>
#include <QString>

#include <optional>

enum class PanelPlacementMode { Free, Snapped };
enum class PanelEdge { Left, Right, Top, Bottom };
enum class PanelAlignment { Start, Center, End, Stretch };
enum class PanelOrientation { Horizontal, Vertical };
// The side of the panel that faces into the screen, where companion content such as the tab bar goes.
enum class PanelCompanionSide { Above, Below, LeftOf, RightOf };

template<>
struct EnumTraits<PanelPlacementMode>
{
    static constexpr std::array<std::pair<PanelPlacementMode, const char *>, 2> table{{
        {PanelPlacementMode::Free, "free"},
        {PanelPlacementMode::Snapped, "snapped"},
    }};
};

template<>
struct EnumTraits<PanelEdge>
{
    static constexpr std::array<std::pair<PanelEdge, const char *>, 4> table{{
        {PanelEdge::Left, "left"},
        {PanelEdge::Right, "right"},
        {PanelEdge::Top, "top"},
        {PanelEdge::Bottom, "bottom"},
    }};
};

template<>
struct EnumTraits<PanelAlignment>
{
    static constexpr std::array<std::pair<PanelAlignment, const char *>, 4> table{{
        {PanelAlignment::Start, "start"},
        {PanelAlignment::Center, "center"},
        {PanelAlignment::End, "end"},
        {PanelAlignment::Stretch, "stretch"},
    }};
};

// A free panel's position as fractions (0...1 on each axis) of its screen's visible frame.
// The constructor normalises: a non-finite value becomes 0.5, values at or below 0 become 0,
// values above 1 become 1, so a stored position always lies inside the unit square.
class PanelFreePosition
{
public:
    PanelFreePosition(double x, double y);

    double x() const { return m_x; }
    double y() const { return m_y; }

    bool operator==(const PanelFreePosition &) const = default;

private:
    double m_x;
    double m_y;
};

struct PanelPlacement
{
    PanelPlacementMode mode = PanelPlacementMode::Free;
    PanelEdge edge = PanelEdge::Bottom;
    PanelAlignment alignment = PanelAlignment::Center;
    std::optional<PanelFreePosition> freePosition{};
    std::optional<QString> screenID{};
    double edgeInset = 0;

    PanelOrientation orientation() const;
    PanelCompanionSide companionSide() const;
    // Whether edge, alignment and inset take effect (only while snapped).
    bool usesEdgeAndAlignment() const { return mode == PanelPlacementMode::Snapped; }

    bool operator==(const PanelPlacement &) const = default;
};

// A description of one display as placement logic sees it.
struct ScreenSnapshot
{
    std::optional<QString> id;
    Rect visibleFrame;
    bool isPrimary = false;

    bool operator==(const ScreenSnapshot &) const = default;
};

namespace PanelScreen {

// The screen a panel is shown on: the one with its id, else the primary, else the first.
std::optional<ScreenSnapshot> resolve(const std::optional<QString> &screenID,
                                      const QList<ScreenSnapshot> &screens);

// Whether a window at `frame` must be moved to the frame its placement computes. A free panel
// that was never placed stays where the window system put it while it is wholly visible.
bool needsReposition(const PanelPlacement &placement, const Rect &frame, const Rect &visibleFrame);

} // namespace PanelScreen
