#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>

#include <optional>

// Which chips of a strip show: `count` of them from `start`, and whether the overflow chevron
// follows them.
struct TabStripPlan
{
    int start = 0;
    int count = 0;
    bool showsChevron = false;
    bool operator==(const TabStripPlan &) const = default;
};

// The arrangement rules of a strip of tab chips followed by the overflow chevron, apart from any
// widget. Sizes are upright (the strip runs along x, y grows downward); the last size is always
// the chevron's.
//
// All chips show when they fit into `maxLength` (or when there is no maximum). Otherwise as many
// leading chips as fit beside the chevron show (at least one), and when the active chip is not
// among them the run shifts so that it is the last visible chip.
struct TabStripGeometry
{
    double spacing = 0;
    std::optional<double> maxLength;
    std::optional<int> activeIndex;

    // The gap before the chevron: at least 4 points, even where chips overlap.
    double chevronGap() const { return std::max(spacing, 4.0); }
    // The length of `count` chips from `from`, with the spacing between them.
    double runWidth(const QList<QSizeF> &sizes, int from, int count) const;
    TabStripPlan plan(const QList<QSizeF> &sizes) const;
    // The size the strip asks for: its visible run, the chevron when it shows, the tallest piece.
    QSizeF fittingSize(const QList<QSizeF> &sizes) const;
    // The frame of every piece in `bounds`: visible chips side by side from the leading edge,
    // centred on the middle line, the chevron 3 points above it; pieces that do not show are
    // parked 10000 points before the bounds, out of sight.
    QList<QRectF> placements(const QList<QSizeF> &sizes, const QRectF &bounds) const;
};
