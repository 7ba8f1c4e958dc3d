#include "iconchrome.h"

namespace {

int sizeIndex(PanelIconSize size)
{
    return static_cast<int>(size);
}

int spacingIndex(PanelIconSpacing spacing)
{
    return static_cast<int>(spacing);
}

} // namespace

double IconChrome::pointSize() const
{
    constexpr double sides[] = {32, 48, 64};
    return sides[sizeIndex(size)];
}

double IconChrome::itemSpacing() const
{
    // rows: extraCompact, compact, normal, spacious; columns: small, medium, large
    constexpr double table[4][3] = {{0, 0, 0}, {2, 2, 0}, {4, 4, 0}, {8, 8, 4}};
    return table[spacingIndex(spacing)][sizeIndex(size)];
}

double IconChrome::insertBreadth() const
{
    constexpr double table[4][3] = {{4, 6, 4}, {5, 8, 6}, {20.0 / 3, 10, 8}, {20.0 / 3, 10, 8}};
    return table[spacingIndex(spacing)][sizeIndex(size)];
}
