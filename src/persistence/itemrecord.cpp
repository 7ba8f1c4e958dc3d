#include "itemrecord.h"

#include "configurationkeys.h"
#include "jsonfields.h"

#include <QUrl>

namespace Key = ConfigurationKey;
using namespace JsonFields;

namespace {

const QLatin1String linkKind("link");
const QLatin1String groupKind("group");

std::optional<ItemRecord::Kind> readKind(JsonReader &reader)
{
    std::string_view text;
    if (!reader.readUtf8(text))
        return std::nullopt;
    if (text == std::string_view(linkKind.data(), size_t(linkKind.size())))
        return ItemRecord::Kind::Link;
    if (text == std::string_view(groupKind.data(), size_t(groupKind.size())))
        return ItemRecord::Kind::Group;
    return std::nullopt;
}

// The file URL of a stored path, whose toLocalFile() gives the path back. QUrl::fromLocalFile
// reads Windows forms into some paths: "//host/share" (or "//host@SSL/x", not even a file URL)
// as a network share and "c:..." as a drive. On this system a run of leading slashes means the
// root, so it is read as one slash; a relative path is kept as it is.
QUrl fileUrl(const QString &path)
{
    if (path.startsWith(u"//")) {
        qsizetype slashes = 2;
        while (slashes < path.size() && path[slashes] == u'/')
            ++slashes;
        return QUrl::fromLocalFile(path.mid(slashes - 1));
    }
    if (path.startsWith(u'/'))
        return QUrl::fromLocalFile(path);
    QUrl url;
    url.setScheme(QStringLiteral("file"));
    url.setPath(path, QUrl::DecodedMode);
    return url;
}

// Opens an item object and writes the members that links and groups share, in key order up
// to "kind"; a group's bookmark is always null.
void writeLeadingMembers(JsonWriter &writer, const std::optional<QByteArray> &bookmark,
                         const std::optional<QString> &customIcon, const QUuid &id, QLatin1String kind)
{
    writer.beginObject();
    writer.key(Key::bookmark);
    if (bookmark)
        writer.value(QLatin1String(bookmark->toBase64()));
    else
        writer.nullValue();
    if (customIcon)
        writer.member(Key::customIcon, *customIcon);
    writer.member(Key::id, id);
    writer.member(Key::kind, kind);
}

} // namespace

std::optional<ItemRecord> ItemRecord::fromJson(JsonReader &reader)
{
    if (!reader.enterObjectOrSkip())
        return std::nullopt;
    ItemRecord record;
    std::optional<Kind> kind;
    std::optional<QUuid> id;
    // A member present with the wrong type fails the record; a later duplicate key replaces it.
    bool pathValid = true, bookmarkValid = true, nameValid = true, iconValid = true, linksValid = true;
    while (reader.nextKey()) {
        if (reader.keyIs(Key::kind)) {
            kind = readKind(reader);
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

void ItemRecord::write(const ItemLink &link, JsonWriter &writer)
{
    writeLeadingMembers(writer, link.bookmark, link.customIcon, link.id, linkKind);
    // A plain file-system path: toLocalFile() undoes the URL's percent-encoding.
    writer.member(Key::path, link.location.toLocalFile());
    writer.endObject();
}

void ItemRecord::write(const Item &item, JsonWriter &writer)
{
    if (const ItemLink *link = item.link()) {
        write(*link, writer);
        return;
    }
    const ItemGroup &group = *item.group();
    writeLeadingMembers(writer, std::nullopt, group.customIcon, group.id, groupKind);
    writer.key(Key::links);
    writer.beginArray();
    for (const ItemLink &member : group.links)
        write(member, writer);
    writer.endArray();
    writer.member(Key::name, group.name);
    writer.endObject();
}

ItemLink ItemRecord::makeLink() const
{
    return ItemLink{id, fileUrl(*path), bookmark, customIcon};
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
