#include "tabbarslot.h"

#include <QFontMetricsF>

#include <algorithm>

namespace {

constexpr double chipVerticalPadding = 4;
constexpr double chipLeadingPadding = 8;
constexpr double chevronSide = 24;
constexpr double maximumLabelWidth = 120;

double rotation(PanelCompanionSide side)
{
    switch (side) {
    case PanelCompanionSide::LeftOf:
        return -90;
    case PanelCompanionSide::RightOf:
        return 90;
    case PanelCompanionSide::Above:
    case PanelCompanionSide::Below:
        break;
    }
    return 0;
}

} // namespace

TabBarSlot::TabBarSlot(const Panel &panel, QWidget *parent)
    : QWidget(parent)
    , m_isSlanted(panel.tabStyle == PanelTabStyle::Slanted)
    , m_degrees(rotation(panel.placement().companionSide()))
{
    for (const PanelTab &tab : panel.tabs())
        m_names.append(tab.name);
}

double TabBarSlot::thickness() const
{
    return std::max(QFontMetricsF(font()).height() + 2 * chipVerticalPadding, chevronSide);
}

double TabBarSlot::naturalLength() const
{
    const QFontMetricsF metrics(font());
    const double trailingPadding = m_isSlanted ? 12 : 8;
    const double spacing = m_isSlanted ? -8 : 4;
    double length = 0;
    for (const QString &name : m_names) {
        if (length > 0)
            length += spacing;
        length += std::min(metrics.horizontalAdvance(name), maximumLabelWidth) + chipLeadingPadding + trailingPadding;
    }
    return std::max(0.0, length);
}
