#include "itemrecord.h"

#include "configurationkeys.h"
#include "jsonfields.h"

#include <QJsonArray>
#include <QUrl>

namespace Key = ConfigurationKey;

namespace {

const QLatin1String linkKind("link");
const QLatin1String groupKind("group");

QJsonValue bookmarkValue(const std::optional<QByteArray> &bookmark)
{
    if (!bookmark)
        return QJsonValue(QJsonValue::Null);
    return QString::fromLatin1(bookmark->toBase64());
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

std::optional<ItemRecord> ItemRecord::fromJson(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();

    ItemRecord record;
    const QJsonValue kindValue = object.value(Key::kind);
    if (kindValue == QJsonValue(linkKind))
        record.kind = Kind::Link;
    else if (kindValue == QJsonValue(groupKind))
        record.kind = Kind::Group;
    else
        return std::nullopt;

    const QJsonValue idValue = object.value(Key::id);
    const std::optional<QUuid> id = idValue.isString() ? JsonFields::uuidFromString(idValue.toString()) : std::nullopt;
    if (!id)
        return std::nullopt;
    record.id = *id;

    if (!JsonFields::optionalString(object, Key::path, record.path)
        || !JsonFields::optionalBase64(object, Key::bookmark, record.bookmark)
        || !JsonFields::optionalString(object, Key::name, record.name)
        || !JsonFields::optionalString(object, Key::customIcon, record.customIcon))
        return std::nullopt;

    const QJsonValue linksValue = object.value(Key::links);
    if (linksValue.isArray()) {
        const QJsonArray array = linksValue.toArray();
        record.links.reserve(array.size());
        for (const QJsonValue &element : array) {
            std::optional<ItemRecord> member = fromJson(element);
            if (!member)
                return std::nullopt;
            record.links.append(std::move(*member));
        }
    } else if (!linksValue.isUndefined() && !linksValue.isNull()) {
        return std::nullopt;
    }
    return record;
}

QJsonObject ItemRecord::toJson() const
{
    QJsonObject object;
    object.insert(Key::id, JsonFields::uuidString(id));
    if (customIcon)
        object.insert(Key::customIcon, *customIcon);
    if (kind == Kind::Link) {
        object.insert(Key::kind, linkKind);
        object.insert(Key::path, path.value_or(QString()));
        object.insert(Key::bookmark, bookmarkValue(bookmark));
        return object;
    }
    object.insert(Key::kind, groupKind);
    object.insert(Key::name, name.value_or(QString()));
    object.insert(Key::bookmark, QJsonValue(QJsonValue::Null));
    QJsonArray members;
    for (const ItemRecord &member : links)
        members.append(member.toJson());
    object.insert(Key::links, members);
    return object;
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
        return Item(ItemLink{id, QUrl::fromLocalFile(*path), bookmark, customIcon});

    ItemGroup group{id, *name, {}, customIcon};
    group.links.reserve(links.size());
    for (const ItemRecord &member : links) {
        if (member.kind == Kind::Link && member.makesItem())
            group.links.append(*member.make()->link());
    }
    return Item(std::move(group));
}
