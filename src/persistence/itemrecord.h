#pragma once

#include "jsonreader.h"
#include "jsonwriter.h"

#include "model/item.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

// The stored form of one item, link or group; groups nest link records.
//
// Decoding is strict within the record: "kind" and "id" are required, and an optional value
// present with the wrong type (or a bookmark that is not Base64) fails the whole record. A
// group's "links" decode as a whole, so one bad member fails the group.
struct ItemRecord
{
    enum class Kind { Link, Group };

    Kind kind = Kind::Link;
    QUuid id;
    std::optional<QString> path;
    std::optional<QByteArray> bookmark;
    std::optional<QString> name;
    QList<ItemRecord> links;
    std::optional<QString> customIcon;

    // Consumes one value of any type; none when it does not form a record (syntax errors
    // are the reader's to report).
    static std::optional<ItemRecord> fromJson(JsonReader &reader);
    // Writes the stored form of an item straight from the model.
    static void write(const Item &item, JsonWriter &writer);
    static void write(const ItemLink &link, JsonWriter &writer);

    // Whether make() yields an item: a link needs a non-empty path, a group a name.
    bool makesItem() const;
    // The item, or none when the record cannot form one. Groups keep their member links only:
    // nested groups and members that form no item are left out.
    std::optional<Item> make() const;

private:
    // The link of a link record that makesItem().
    ItemLink makeLink() const;
};
