#pragma once

#include "appearance.h"

// Every icon metric the views draw with, in points, derived from the icon size and spacing only.
// Most metrics scale with k = pointSize / 48 and are computed as factor * pointSize / 48 so that
// the thirds of the small and large sizes are exact.
struct IconChrome
{
    PanelIconSize size = PanelIconSize::Medium;
    PanelIconSpacing spacing = PanelIconSpacing::Normal;

    static IconChrome forSize(PanelIconSize size) { return {size, PanelIconSpacing::Normal}; }

    double pointSize() const;
    double bodyPadding() const { return scaled(12); }
    double bodyCornerRadius() const { return scaled(16); }
    double iconCornerRadius() const { return scaled(10); }
    double groupSymbolPadding() const { return iconCornerRadius(); }
    double groupDropStroke() const { return scaled(4); }
    double iconLabelSpacing() const { return scaled(2); }
    double labelMaxWidth() const { return pointSize() + scaled(16); }
    double insertLine() const { return scaled(3); }
    double insertHitOutset() const { return scaled(8); }
    double groupStrokeRadius() const { return insertHitOutset(); }
    // Gap between neighbouring item tiles (a table, not a formula).
    double itemSpacing() const;
    // Breadth of the drop-insertion zone between tiles (a table, not a formula).
    double insertBreadth() const;

    bool operator==(const IconChrome &) const = default;

private:
    double scaled(double factor) const { return factor * pointSize() / 48; }
};
