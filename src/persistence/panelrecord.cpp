#include "panelrecord.h"

#include "configurationkeys.h"
#include "jsonfields.h"

#include "model/defaultname.h"

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

// Tabs that fail to decode are skipped, one by one; anything but an array gives no tabs.
void readTabs(JsonReader &reader, QList<TabRecord> &tabs)
{
    tabs.clear();
    if (reader.peek() != JsonReader::Type::Array) {
        reader.skipValue();
        return;
    }
    reader.beginArray();
    while (reader.nextElement()) {
        if (std::optional<TabRecord> tab = TabRecord::fromJson(reader))
            tabs.append(std::move(*tab));
    }
}

} // namespace

std::optional<PanelRecord> PanelRecord::fromJson(JsonReader &reader)
{
    if (!reader.enterObjectOrSkip())
        return std::nullopt;
    PanelRecord record;
    std::optional<QUuid> id;
    while (reader.nextKey()) {
        if (reader.keyIs(Key::id))
            id = lenientUuid(reader);
        else if (reader.keyIs(Key::name))
            record.name = lenientString(reader);
        else if (reader.keyIs(Key::showsRunningApps))
            record.showsRunningApps = lenientBool(reader);
        else if (reader.keyIs(Key::showsItemLabels))
            record.showsItemLabels = lenientBool(reader);
        else if (reader.keyIs(Key::showsHoverHighlight))
            record.showsHoverHighlight = lenientBool(reader);
        else if (reader.keyIs(Key::showsTooltips))
            record.showsTooltips = lenientBool(reader);
        else if (reader.keyIs(Key::showsOnAllSpaces))
            record.showsOnAllSpaces = lenientBool(reader);
        else if (reader.keyIs(Key::iconSize))
            record.iconSize = lenientString(reader);
        else if (reader.keyIs(Key::iconSpacing))
            record.iconSpacing = lenientString(reader);
        else if (reader.keyIs(Key::tabStyle))
            record.tabStyle = lenientString(reader);
        else if (reader.keyIs(Key::activeTabID))
            record.activeTabID = lenientUuid(reader);
        else if (reader.keyIs(Key::didRevealTabBar))
            record.didRevealTabBar = lenientBool(reader);
        else if (reader.keyIs(Key::mode))
            record.mode = lenientString(reader);
        else if (reader.keyIs(Key::edge))
            record.edge = lenientString(reader);
        else if (reader.keyIs(Key::alignment))
            record.alignment = lenientString(reader);
        else if (reader.keyIs(Key::windowLevel))
            record.windowLevel = lenientString(reader);
        else if (reader.keyIs(Key::freeFractionX))
            record.freeFractionX = lenientNumber(reader);
        else if (reader.keyIs(Key::freeFractionY))
            record.freeFractionY = lenientNumber(reader);
        else if (reader.keyIs(Key::screenID))
            record.screenID = lenientString(reader);
        else if (reader.keyIs(Key::edgeInset))
            record.edgeInset = lenientNumber(reader);
        else if (reader.keyIs(Key::tabs))
            readTabs(reader, record.tabs);
        else
            reader.skipValue();
    }
    if (reader.failed() || !id)
        return std::nullopt;
    record.id = *id;
    return record;
}

void PanelRecord::write(const Panel &panel, JsonWriter &writer)
{
    const PanelPlacement &placement = panel.placement();
    writer.beginObject();
    writer.member(Key::activeTabID, panel.activeTabID());
    writer.member(Key::alignment, rawValue(placement.alignment));
    writer.member(Key::didRevealTabBar, panel.didRevealTabBar());
    writer.member(Key::edge, rawValue(placement.edge));
    writer.member(Key::edgeInset, finiteInset(placement.edgeInset));
    if (placement.freePosition) {
        // Finite by construction: the position clamps its coordinates.
        writer.member(Key::freeFractionX, placement.freePosition->x());
        writer.member(Key::freeFractionY, placement.freePosition->y());
    }
    writer.member(Key::iconSize, rawValue(panel.iconSize));
    writer.member(Key::iconSpacing, rawValue(panel.iconSpacing));
    writer.member(Key::id, panel.id());
    writer.member(Key::mode, rawValue(placement.mode));
    writer.member(Key::name, panel.name);
    if (placement.screenID)
        writer.member(Key::screenID, *placement.screenID);
    writer.member(Key::showsHoverHighlight, panel.showsHoverHighlight);
    writer.member(Key::showsItemLabels, panel.showsItemLabels);
    writer.member(Key::showsOnAllSpaces, panel.showsOnAllSpaces);
    writer.member(Key::showsTooltips, panel.showsTooltips);
    writer.member(Key::tabStyle, rawValue(panel.tabStyle));
    writer.key(Key::tabs);
    writer.beginArray();
    for (const PanelTab &tab : panel.tabs())
        TabRecord::write(tab, writer);
    writer.endArray();
    writer.member(Key::windowLevel, rawValue(panel.windowLevel()));
    writer.endObject();
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
