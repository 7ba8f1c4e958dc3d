#include "menutitles.h"

namespace MenuTitles {

QString menuTitle(PanelPlacementMode mode)
{
    switch (mode) {
    case PanelPlacementMode::Free:
        return QStringLiteral("Free");
    case PanelPlacementMode::Snapped:
        return QStringLiteral("Snapped to Edge");
    }
    return {};
}

QString menuTitle(PanelEdge edge)
{
    switch (edge) {
    case PanelEdge::Left:
        return QStringLiteral("Left");
    case PanelEdge::Right:
        return QStringLiteral("Right");
    case PanelEdge::Top:
        return QStringLiteral("Top");
    case PanelEdge::Bottom:
        return QStringLiteral("Bottom");
    }
    return {};
}

QString menuTitle(PanelAlignment alignment)
{
    switch (alignment) {
    case PanelAlignment::Start:
        return QStringLiteral("Start");
    case PanelAlignment::Center:
        return QStringLiteral("Center");
    case PanelAlignment::End:
        return QStringLiteral("End");
    case PanelAlignment::Stretch:
        return QStringLiteral("Stretch");
    }
    return {};
}

QString menuTitle(PanelWindowLevel level)
{
    switch (level) {
    case PanelWindowLevel::BelowWindows:
        return QStringLiteral("Below Windows");
    case PanelWindowLevel::Normal:
        return QStringLiteral("Normal");
    case PanelWindowLevel::AboveAll:
        return QStringLiteral("Above All");
    }
    return {};
}

QString menuTitle(PanelIconSize size)
{
    switch (size) {
    case PanelIconSize::Small:
        return QStringLiteral("Small");
    case PanelIconSize::Medium:
        return QStringLiteral("Medium");
    case PanelIconSize::Large:
        return QStringLiteral("Large");
    }
    return {};
}

QString menuTitle(PanelIconSpacing spacing)
{
    switch (spacing) {
    case PanelIconSpacing::ExtraCompact:
        return QStringLiteral("Extra Compact");
    case PanelIconSpacing::Compact:
        return QStringLiteral("Compact");
    case PanelIconSpacing::Normal:
        return QStringLiteral("Normal");
    case PanelIconSpacing::Spacious:
        return QStringLiteral("Spacious");
    }
    return {};
}

QString menuTitle(PanelTabStyle style)
{
    switch (style) {
    case PanelTabStyle::Buttons:
        return QStringLiteral("Buttons");
    case PanelTabStyle::Slanted:
        return QStringLiteral("Tabs");
    }
    return {};
}

} // namespace MenuTitles
