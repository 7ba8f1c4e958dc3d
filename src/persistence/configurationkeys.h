#pragma once

#include <QLatin1String>

// The keys of the configuration document, exactly as stored.
namespace ConfigurationKey {
inline constexpr QLatin1String schemaVersion{"schemaVersion"};
inline constexpr QLatin1String panels{"panels"};

inline constexpr QLatin1String id{"id"};
inline constexpr QLatin1String name{"name"};
inline constexpr QLatin1String showsRunningApps{"showsRunningApps"};
inline constexpr QLatin1String showsItemLabels{"showsItemLabels"};
inline constexpr QLatin1String showsHoverHighlight{"showsHoverHighlight"};
inline constexpr QLatin1String showsTooltips{"showsTooltips"};
inline constexpr QLatin1String showsOnAllSpaces{"showsOnAllSpaces"};
inline constexpr QLatin1String iconSize{"iconSize"};
inline constexpr QLatin1String iconSpacing{"iconSpacing"};
inline constexpr QLatin1String tabStyle{"tabStyle"};
inline constexpr QLatin1String activeTabID{"activeTabID"};
inline constexpr QLatin1String didRevealTabBar{"didRevealTabBar"};
inline constexpr QLatin1String mode{"mode"};
inline constexpr QLatin1String edge{"edge"};
inline constexpr QLatin1String alignment{"alignment"};
inline constexpr QLatin1String windowLevel{"windowLevel"};
inline constexpr QLatin1String freeFractionX{"freeFractionX"};
inline constexpr QLatin1String freeFractionY{"freeFractionY"};
inline constexpr QLatin1String screenID{"screenID"};
inline constexpr QLatin1String edgeInset{"edgeInset"};
inline constexpr QLatin1String tabs{"tabs"};

inline constexpr QLatin1String color{"color"};
inline constexpr QLatin1String items{"items"};

inline constexpr QLatin1String kind{"kind"};
inline constexpr QLatin1String path{"path"};
inline constexpr QLatin1String bookmark{"bookmark"};
inline constexpr QLatin1String links{"links"};
inline constexpr QLatin1String customIcon{"customIcon"};
} // namespace ConfigurationKey
