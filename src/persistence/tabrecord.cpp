#include "tabrecord.h"

#include "configurationkeys.h"
#include "jsonfields.h"

#include <QJsonArray>

namespace Key = ConfigurationKey;

TabRecord::TabRecord(const PanelTab &tab)
    : id(tab.id)
    , name(tab.name)
    , showsRunningApps(tab.showsRunningApps)
{
    if (tab.color)
        color = rawValue(*tab.color);
    items.reserve(tab.items.size());
    for (const Item &item : tab.items)
        items.append(ItemRecord(item));
}

std::optional<TabRecord> TabRecord::fromJson(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();

    const std::optional<QUuid> id = JsonFields::lenientUuid(object, Key::id);
    std::optional<QString> name = JsonFields::lenientString(object, Key::name);
    if (!id || !name)
        return std::nullopt;

    TabRecord record;
    record.id = *id;
    record.name = std::move(*name);
    record.color = JsonFields::lenientString(object, Key::color);
    record.showsRunningApps = JsonFields::lenientBool(object, Key::showsRunningApps);
    const QJsonArray elements = object.value(Key::items).toArray();
    record.items.reserve(elements.size());
    for (const QJsonValue &element : elements) {
        std::optional<ItemRecord> item = ItemRecord::fromJson(element);
        if (item && item->makesItem())
            record.items.append(std::move(*item));
    }
    return record;
}

QJsonObject TabRecord::toJson() const
{
    QJsonObject object;
    object.insert(Key::id, JsonFields::uuidString(id));
    object.insert(Key::name, name);
    if (color)
        object.insert(Key::color, *color);
    object.insert(Key::showsRunningApps, showsRunningApps.value_or(false));
    QJsonArray elements;
    for (const ItemRecord &item : items)
        elements.append(item.toJson());
    object.insert(Key::items, elements);
    return object;
}

PanelTab TabRecord::make(bool defaultShowsRunningApps) const
{
    PanelTab tab{id, name, std::nullopt, {}, showsRunningApps.value_or(defaultShowsRunningApps)};
    if (color)
        tab.color = enumFromRawValue<TabColor>(*color);
    tab.items.reserve(items.size());
    for (const ItemRecord &record : items) {
        if (std::optional<Item> item = record.make())
            tab.items.append(std::move(*item));
    }
    return tab;
}
