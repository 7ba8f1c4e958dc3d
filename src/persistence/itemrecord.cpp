#include "itemrecord.h"

#include "configurationkeys.h"
#include "jsonfields.h"

#include <QUrl>

namespace Key = ConfigurationKey;
using namespace JsonFields;

namespace {

const QLatin1String linkKind("link");
const QLatin1String groupKind("group");

std::optional<ItemRecord::Kind> kindFromString(const std::optional<QString> &text)
{
    if (text == linkKind)
        return ItemRecord::Kind::Link;
    if (text == groupKind)
        return ItemRecord::Kind::Group;
    return std::nullopt;
}

} // namespace

ItemRecord::ItemRecord(const Item &item)
{
    if (const ItemLink *link = item.link()) {
        *this = ItemRecord(*link);
        return;
    }
    const ItemGroup &group = *item.group();
    kind = Kind::Group;
    id = group.id;
    name = group.name;
    links.reserve(group.links.size());
    for (const ItemLink &member : group.links)
        links.append(ItemRecord(member));
    customIcon = group.customIcon;
}

ItemRecord::ItemRecord(const ItemLink &link)
    : kind(Kind::Link)
    , id(link.id)
    // A plain file-system path: toLocalFile() undoes the URL's percent-encoding.
    , path(link.location.toLocalFile())
    , bookmark(link.bookmark)
    , customIcon(link.customIcon)
{
}

std::optional<ItemRecord> ItemRecord::fromJson(JsonReader &reader)
{
    if (reader.peek() != JsonReader::Type::Object) {
        reader.skipValue();
        return std::nullopt;
    }
    ItemRecord record;
    std::optional<Kind> kind;
    std::optional<QUuid> id;
    // A member present with the wrong type fails the record; a later duplicate key replaces it.
    bool pathValid = true, bookmarkValid = true, nameValid = true, iconValid = true, linksValid = true;
    reader.beginObject();
    while (reader.nextKey()) {
        if (reader.keyIs(Key::kind)) {
            kind = kindFromString(lenientString(reader));
        } else if (reader.keyIs(Key::id)) {
            id = lenientUuid(reader);
        } else if (reader.keyIs(Key::path)) {
            pathValid = optionalString(reader, record.path);
        } else if (reader.keyIs(Key::bookmark)) {
            bookmarkValid = optionalBase64(reader, record.bookmark);
        } else if (reader.keyIs(Key::name)) {
            nameValid = optionalString(reader, record.name);
        } else if (reader.keyIs(Key::customIcon)) {
            iconValid = optionalString(reader, record.customIcon);
        } else if (reader.keyIs(Key::links)) {
            record.links.clear();
            linksValid = true;
            const JsonReader::Type type = reader.peek();
            if (type == JsonReader::Type::Array) {
                reader.beginArray();
                while (reader.nextElement()) {
                    // One bad member fails the whole list; the rest is only checked for syntax.
                    if (!linksValid) {
                        reader.skipValue();
                    } else if (std::optional<ItemRecord> member = fromJson(reader)) {
                        record.links.append(std::move(*member));
                    } else {
                        linksValid = false;
                        record.links.clear();
                    }
                }
            } else {
                linksValid = type == JsonReader::Type::Null;
                reader.skipValue();
            }
        } else {
            reader.skipValue();
        }
    }
    if (reader.failed() || !kind || !id || !pathValid || !bookmarkValid || !nameValid || !iconValid || !linksValid)
        return std::nullopt;
    record.kind = *kind;
    record.id = *id;
    return record;
}

void ItemRecord::toJson(JsonWriter &writer) const
{
    writer.beginObject();
    writer.key(Key::bookmark);
    if (kind == Kind::Link && bookmark)
        writer.value(QLatin1String(bookmark->toBase64()));
    else
        writer.nullValue();
    if (customIcon) {
        writer.key(Key::customIcon);
        writer.value(*customIcon);
    }
    writer.key(Key::id);
    writer.value(id);
    writer.key(Key::kind);
    if (kind == Kind::Link) {
        writer.value(linkKind);
        writer.key(Key::path);
        writer.value(path.value_or(QString()));
    } else {
        writer.value(groupKind);
        writer.key(Key::links);
        writer.beginArray();
        for (const ItemRecord &member : links)
            member.toJson(writer);
        writer.endArray();
        writer.key(Key::name);
        writer.value(name.value_or(QString()));
    }
    writer.endObject();
}

ItemLink ItemRecord::makeLink() const
{
    return ItemLink{id, QUrl::fromLocalFile(*path), bookmark, customIcon};
}

bool ItemRecord::makesItem() const
{
    return kind == Kind::Link ? path && !path->isEmpty() : name.has_value();
}

std::optional<Item> ItemRecord::make() const
{
    if (!makesItem())
        return std::nullopt;
    if (kind == Kind::Link)
        return Item(makeLink());

    ItemGroup group{id, *name, {}, customIcon};
    group.links.reserve(links.size());
    for (const ItemRecord &member : links) {
        if (member.kind == Kind::Link && member.makesItem())
            group.links.append(member.makeLink());
    }
    return Item(std::move(group));
}
