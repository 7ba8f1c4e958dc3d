#include "panellayoutplan.h"

#include <algorithm>
#include <cmath>

namespace {

bool isSideways(PanelCompanionSide side)
{
    return side == PanelCompanionSide::LeftOf || side == PanelCompanionSide::RightOf;
}

} // namespace

double companionContentExtent(const PanelLayoutInput &input)
{
    const bool horizontal = input.orientation == PanelOrientation::Horizontal;
    return (horizontal ? input.contentSize.width() : input.contentSize.height()) + 2 * input.bodyPadding;
}

PanelLayoutPlan planPanelLayout(const PanelLayoutInput &input, std::optional<QSizeF> offered)
{
    const bool horizontal = input.orientation == PanelOrientation::Horizontal;
    const double padding = input.bodyPadding;
    const double extent = companionContentExtent(input);
    const double length = std::max(extent, minimumBodyLength);
    // The body and the bar take whole points, so that their edges fall on pixels.
    const double breadth = std::ceil((horizontal ? input.contentSize.height() : input.contentSize.width()) + 2 * padding);

    PanelLayoutPlan plan;
    plan.minimumLength = length;
    plan.tabBarMaxLength = std::max(0.0, length - 2 * input.bodyCornerRadius);

    QSizeF bar;
    double gap = 0;
    const bool sideways = isSideways(input.companionSide);
    if (input.hasTabBar) {
        const double barLength =
            std::ceil(std::clamp(input.tabBarLength, 0.0, plan.tabBarMaxLength) + 2 * input.bodyCornerRadius);
        const double thickness = std::ceil(input.tabBarThickness);
        bar = sideways ? QSizeF(thickness, barLength) : QSizeF(barLength, thickness);
        gap = input.tabBarSpacing;
    }

    // The body's natural size, then what the offered size makes of it.
    QSizeF body = horizontal ? QSizeF(std::ceil(length), breadth) : QSizeF(breadth, std::ceil(length));
    if (offered) {
        if (horizontal)
            body.setWidth(std::max(0.0, sideways ? offered->width() - bar.width() - gap : offered->width()));
        else
            body.setHeight(std::max(0.0, sideways ? offered->height() : offered->height() - bar.height() - gap));
    }

    // Sideways bars stand beside the body, aligned to the top; the others above or below it,
    // aligned to the leading edge.
    QPointF bodyOrigin(0, 0);
    QPointF barOrigin(0, 0);
    if (input.hasTabBar) {
        if (sideways) {
            if (input.tabBarLeads)
                bodyOrigin.setX(bar.width() + gap);
            else
                barOrigin.setX(body.width() + gap);
        } else {
            if (input.tabBarLeads)
                bodyOrigin.setY(bar.height() + gap);
            else
                barOrigin.setY(body.height() + gap);
        }
    }

    plan.body = QRectF(bodyOrigin, body);
    plan.viewport = plan.body.adjusted(padding, padding, -padding, -padding);
    if (plan.viewport.width() < 0 || plan.viewport.height() < 0)
        plan.viewport.setSize(plan.viewport.size().expandedTo(QSizeF(0, 0)));
    if (input.hasTabBar)
        plan.tabBar = QRectF(barOrigin, bar);
    const QRectF whole = plan.body.united(plan.tabBar);
    plan.size = QSizeF(whole.right(), whole.bottom());
    return plan;
}

bool tabBarLeads(const PanelPlacement &placement)
{
    const bool snapped = placement.mode == PanelPlacementMode::Snapped;
    return !(snapped && (placement.edge == PanelEdge::Left || placement.edge == PanelEdge::Top));
}
