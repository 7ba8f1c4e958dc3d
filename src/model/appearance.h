#pragma once

#include "enumtraits.h"

#include <QColor>
#include <QImage>

enum class PanelIconSize { Small, Medium, Large };
enum class PanelIconSpacing { ExtraCompact, Compact, Normal, Spacious };
enum class PanelTabStyle { Buttons, Slanted };
// Stacking level of a panel window; the window layer maps these to below / normal / above.
enum class PanelWindowLevel { BelowWindows, Normal, AboveAll };

enum class TabColor {
    SystemRed,
    SystemOrange,
    SystemYellow,
    SystemGreen,
    SystemMint,
    SystemTeal,
    SystemCyan,
    SystemBlue,
    SystemIndigo,
    SystemPurple,
    SystemPink,
    SystemBrown,
    SystemGray,
};

template<>
struct EnumTraits<PanelIconSize>
{
    static constexpr std::array<std::pair<PanelIconSize, const char *>, 3> table{{
        {PanelIconSize::Small, "small"},
        {PanelIconSize::Medium, "medium"},
        {PanelIconSize::Large, "large"},
    }};
};

template<>
struct EnumTraits<PanelIconSpacing>
{
    static constexpr std::array<std::pair<PanelIconSpacing, const char *>, 4> table{{
        {PanelIconSpacing::ExtraCompact, "extraCompact"},
        {PanelIconSpacing::Compact, "compact"},
        {PanelIconSpacing::Normal, "normal"},
        {PanelIconSpacing::Spacious, "spacious"},
    }};
};

template<>
struct EnumTraits<PanelTabStyle>
{
    static constexpr std::array<std::pair<PanelTabStyle, const char *>, 2> table{{
        {PanelTabStyle::Buttons, "buttons"},
        {PanelTabStyle::Slanted, "slanted"},
    }};
};

template<>
struct EnumTraits<PanelWindowLevel>
{
    static constexpr std::array<std::pair<PanelWindowLevel, const char *>, 3> table{{
        {PanelWindowLevel::BelowWindows, "belowWindows"},
        {PanelWindowLevel::Normal, "normal"},
        {PanelWindowLevel::AboveAll, "aboveAll"},
    }};
};

template<>
struct EnumTraits<TabColor>
{
    static constexpr std::array<std::pair<TabColor, const char *>, 13> table{{
        {TabColor::SystemRed, "systemRed"},
        {TabColor::SystemOrange, "systemOrange"},
        {TabColor::SystemYellow, "systemYellow"},
        {TabColor::SystemGreen, "systemGreen"},
        {TabColor::SystemMint, "systemMint"},
        {TabColor::SystemTeal, "systemTeal"},
        {TabColor::SystemCyan, "systemCyan"},
        {TabColor::SystemBlue, "systemBlue"},
        {TabColor::SystemIndigo, "systemIndigo"},
        {TabColor::SystemPurple, "systemPurple"},
        {TabColor::SystemPink, "systemPink"},
        {TabColor::SystemBrown, "systemBrown"},
        {TabColor::SystemGray, "systemGray"},
    }};
};

namespace PanelWindowLevels {
// The level a window uses: above all while temporarily raised, otherwise the configured one.
PanelWindowLevel resolved(PanelWindowLevel configured, bool isTemporarilyRaised);
} // namespace PanelWindowLevels

namespace TabColors {
QString menuTitle(TabColor color);
// The fixed sRGB value of the colour.
QColor color(TabColor color);
// Black on light chips (sRGB luminance above 0.6), white otherwise.
QColor readableTextColor(TabColor color);
// A 12 x 12 point circle filled with the colour, for menus; drawn at the given pixel ratio.
QImage swatch(TabColor color, qreal devicePixelRatio = 1.0);
// The luminance rule on its own, for any colour.
QColor readableTextColorOn(const QColor &background);
} // namespace TabColors
