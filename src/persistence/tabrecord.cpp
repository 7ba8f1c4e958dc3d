#include "tabrecord.h"

#include "configurationkeys.h"
#include "jsonfields.h"

namespace Key = ConfigurationKey;
using namespace JsonFields;

std::optional<TabRecord> TabRecord::fromJson(JsonReader &reader)
{
    if (!reader.enterObjectOrSkip())
        return std::nullopt;
    TabRecord record;
    std::optional<QUuid> id;
    std::optional<QString> name;
    while (reader.nextKey()) {
        if (reader.keyIs(Key::id)) {
            id = lenientUuid(reader);
        } else if (reader.keyIs(Key::name)) {
            name = lenientString(reader);
        } else if (reader.keyIs(Key::color)) {
            record.color = lenientString(reader);
        } else if (reader.keyIs(Key::showsRunningApps)) {
            record.showsRunningApps = lenientBool(reader);
        } else if (reader.keyIs(Key::items)) {
            // Items that fail to decode or form no item are skipped, one by one.
            record.items.clear();
            if (reader.peek() != JsonReader::Type::Array) {
                reader.skipValue();
                continue;
            }
            reader.beginArray();
            while (reader.nextElement()) {
                std::optional<ItemRecord> item = ItemRecord::fromJson(reader);
                if (item && item->makesItem())
                    record.items.append(std::move(*item));
            }
        } else {
            reader.skipValue();
        }
    }
    if (reader.failed() || !id || !name)
        return std::nullopt;
    record.id = *id;
    record.name = std::move(*name);
    return record;
}

void TabRecord::write(const PanelTab &tab, JsonWriter &writer)
{
    writer.beginObject();
    if (tab.color)
        writer.member(Key::color, rawValue(*tab.color));
    writer.member(Key::id, tab.id);
    writer.key(Key::items);
    writer.beginArray();
    for (const Item &item : tab.items)
        ItemRecord::write(item, writer);
    writer.endArray();
    writer.member(Key::name, tab.name);
    writer.member(Key::showsRunningApps, tab.showsRunningApps);
    writer.endObject();
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
