#pragma once

#include "model/placement.h"

#include <QRectF>
#include <QSizeF>

#include <optional>

// What the arrangement of a panel's content depends on. Lengths in points.
struct PanelLayoutInput
{
    PanelOrientation orientation = PanelOrientation::Horizontal;
    PanelCompanionSide companionSide = PanelCompanionSide::Above;
    bool hasTabBar = false;
    bool tabBarLeads = true;     // the bar comes before the body (above it, or left of it)
    double tabBarThickness = 0;  // the upright bar's height
    double tabBarLength = 0;     // the upright bar's natural length, before its maximum applies
    double tabBarSpacing = 0;    // between the bar and the body
    double bodyPadding = 0;
    double bodyCornerRadius = 0;
    QSizeF contentSize;          // the item stack
};

// Where the parts of a panel go, in the view's coordinates (y down), in whole points.
struct PanelLayoutPlan
{
    QSizeF size;                 // the whole content
    QRectF body;                 // the rounded body
    QRectF viewport;             // the scrolled item area: the body inset by its padding
    QRectF tabBar;               // the tab bar's footprint (rotated when sideways); empty without a bar
    double minimumLength = 0;    // the body's least length along its axis
    double tabBarMaxLength = 0;  // the longest the upright bar may be, padding excluded
};

// The smallest body length along the panel's axis, whatever its content.
inline constexpr double minimumBodyLength = 120;

// The item content's extent along the panel's axis, padding included.
double companionContentExtent(const PanelLayoutInput &input);

// The fitting arrangement, or, given the size the window offers, the arrangement within it:
// the body then fills the offered length along its axis (scrolling what does not fit) while the
// tab bar keeps the place and length it has in the fitting arrangement.
PanelLayoutPlan planPanelLayout(const PanelLayoutInput &input, std::optional<QSizeF> offered = std::nullopt);

// The tab bar sits before the body except on panels snapped to the left or top edge.
bool tabBarLeads(const PanelPlacement &placement);
