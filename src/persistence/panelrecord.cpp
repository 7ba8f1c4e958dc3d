#include "panelrecord.h"

#include "configurationkeys.h"
#include "jsonfields.h"

#include "model/defaultname.h"

#include <QJsonArray>

#include <cmath>

namespace Key = ConfigurationKey;
using namespace JsonFields;

namespace {

template<typename E>
E enumOr(const std::optional<QString> &text, E fallback)
{
    return text ? enumFromRawValue<E>(*text).value_or(fallback) : fallback;
}

// JSON cannot carry NaN or infinities (the writer would put null there); the inset is the only
// number not normalised by the model, so a non-finite one is stored, and read, as 0.
double finiteInset(double inset)
{
    return std::isfinite(inset) ? inset : 0;
}

} // namespace

PanelRecord::PanelRecord(const Panel &panel)
    : id(panel.id())
    , name(panel.name)
    , showsItemLabels(panel.showsItemLabels)
    , showsHoverHighlight(panel.showsHoverHighlight)
    , showsTooltips(panel.showsTooltips)
    , showsOnAllSpaces(panel.showsOnAllSpaces)
    , iconSize(rawValue(panel.iconSize))
    , iconSpacing(rawValue(panel.iconSpacing))
    , tabStyle(rawValue(panel.tabStyle))
    , activeTabID(panel.activeTabID())
    , didRevealTabBar(panel.didRevealTabBar())
    , mode(rawValue(panel.placement().mode))
    , edge(rawValue(panel.placement().edge))
    , alignment(rawValue(panel.placement().alignment))
    , windowLevel(rawValue(panel.windowLevel()))
    , screenID(panel.placement().screenID)
    , edgeInset(finiteInset(panel.placement().edgeInset))
{
    if (const auto &position = panel.placement().freePosition) {
        freeFractionX = position->x();
        freeFractionY = position->y();
    }
    tabs.reserve(panel.tabs().size());
    for (const PanelTab &tab : panel.tabs())
        tabs.append(TabRecord(tab));
}

std::optional<PanelRecord> PanelRecord::fromJson(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();

    PanelRecord record;
    const std::optional<QUuid> id = lenientUuid(object, Key::id);
    if (!id)
        return std::nullopt;
    record.id = *id;
    record.name = lenientString(object, Key::name);
    record.showsRunningApps = lenientBool(object, Key::showsRunningApps);
    record.showsItemLabels = lenientBool(object, Key::showsItemLabels);
    record.showsHoverHighlight = lenientBool(object, Key::showsHoverHighlight);
    record.showsTooltips = lenientBool(object, Key::showsTooltips);
    record.showsOnAllSpaces = lenientBool(object, Key::showsOnAllSpaces);
    record.iconSize = lenientString(object, Key::iconSize);
    record.iconSpacing = lenientString(object, Key::iconSpacing);
    record.tabStyle = lenientString(object, Key::tabStyle);
    record.activeTabID = lenientUuid(object, Key::activeTabID);
    record.didRevealTabBar = lenientBool(object, Key::didRevealTabBar);
    record.mode = lenientString(object, Key::mode);
    record.edge = lenientString(object, Key::edge);
    record.alignment = lenientString(object, Key::alignment);
    record.windowLevel = lenientString(object, Key::windowLevel);
    record.freeFractionX = lenientNumber(object, Key::freeFractionX);
    record.freeFractionY = lenientNumber(object, Key::freeFractionY);
    record.screenID = lenientString(object, Key::screenID);
    record.edgeInset = lenientNumber(object, Key::edgeInset);

    const QJsonArray elements = object.value(Key::tabs).toArray();
    record.tabs.reserve(elements.size());
    for (const QJsonValue &element : elements) {
        if (std::optional<TabRecord> tab = TabRecord::fromJson(element))
            record.tabs.append(std::move(*tab));
    }
    return record;
}

QJsonObject PanelRecord::toJson() const
{
    QJsonObject object;
    object.insert(Key::id, uuidString(id));
    object.insert(Key::name, name.value_or(QString()));
    object.insert(Key::showsItemLabels, showsItemLabels.value_or(true));
    object.insert(Key::showsHoverHighlight, showsHoverHighlight.value_or(true));
    object.insert(Key::showsTooltips, showsTooltips.value_or(true));
    object.insert(Key::showsOnAllSpaces, showsOnAllSpaces.value_or(true));
    object.insert(Key::iconSize, iconSize.value_or(rawValue(PanelIconSize::Medium)));
    object.insert(Key::iconSpacing, iconSpacing.value_or(rawValue(PanelIconSpacing::Normal)));
    object.insert(Key::tabStyle, tabStyle.value_or(rawValue(PanelTabStyle::Slanted)));
    if (activeTabID)
        object.insert(Key::activeTabID, uuidString(*activeTabID));
    object.insert(Key::didRevealTabBar, didRevealTabBar.value_or(false));
    object.insert(Key::mode, mode.value_or(rawValue(PanelPlacementMode::Free)));
    object.insert(Key::edge, edge.value_or(rawValue(PanelEdge::Bottom)));
    object.insert(Key::alignment, alignment.value_or(rawValue(PanelAlignment::Center)));
    object.insert(Key::windowLevel, windowLevel.value_or(rawValue(PanelWindowLevel::Normal)));
    if (freeFractionX && freeFractionY) {
        object.insert(Key::freeFractionX, *freeFractionX);
        object.insert(Key::freeFractionY, *freeFractionY);
    }
    if (screenID)
        object.insert(Key::screenID, *screenID);
    object.insert(Key::edgeInset, finiteInset(edgeInset.value_or(0)));
    QJsonArray elements;
    for (const TabRecord &tab : tabs)
        elements.append(tab.toJson());
    object.insert(Key::tabs, elements);
    return object;
}

Panel PanelRecord::make(const QString &defaultName) const
{
    const bool defaultShowsRunningApps = showsRunningApps.value_or(false);
    QList<PanelTab> madeTabs;
    madeTabs.reserve(tabs.size());
    for (const TabRecord &tab : tabs)
        madeTabs.append(tab.make(defaultShowsRunningApps));
    const bool severalTabs = madeTabs.size() > 1;
    if (madeTabs.isEmpty())
        madeTabs.append(PanelTab{QUuid::createUuid(), DefaultName::firstTab(), std::nullopt, {}, false});

    PanelPlacement placement;
    placement.mode = enumOr(mode, PanelPlacementMode::Free);
    placement.edge = enumOr(edge, PanelEdge::Bottom);
    placement.alignment = enumOr(alignment, PanelAlignment::Center);
    if (freeFractionX && freeFractionY)
        placement.freePosition = PanelFreePosition(*freeFractionX, *freeFractionY);
    if (screenID && !screenID->isEmpty())
        placement.screenID = screenID;
    placement.edgeInset = finiteInset(edgeInset.value_or(0));

    PanelInit init;
    init.id = id;
    init.name = name.value_or(defaultName);
    init.showsItemLabels = showsItemLabels.value_or(true);
    init.showsHoverHighlight = showsHoverHighlight.value_or(true);
    init.showsTooltips = showsTooltips.value_or(true);
    init.showsOnAllSpaces = showsOnAllSpaces.value_or(true);
    init.iconSize = enumOr(iconSize, PanelIconSize::Medium);
    init.iconSpacing = enumOr(iconSpacing, PanelIconSpacing::Normal);
    init.tabStyle = enumOr(tabStyle, PanelTabStyle::Slanted);
    init.windowLevel = enumOr(windowLevel, PanelWindowLevel::Normal);
    init.didRevealTabBar = didRevealTabBar.value_or(severalTabs);
    init.placement = std::move(placement);
    init.activeTabID = activeTabID;
    init.tab = madeTabs.takeFirst();
    init.moreTabs = std::move(madeTabs);
    return Panel(std::move(init));
}
