#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QUuid>

#include <optional>
#include <variant>

// A shortcut to one file-system object. The id never changes once made.
struct ItemLink
{
    QUuid id = QUuid::createUuid();
    QUrl location;
    // Opaque bookmark bytes carried over from a loaded configuration; never created here.
    std::optional<QByteArray> bookmark{};
    // File name in the custom icon storage; absent means the object's own icon.
    std::optional<QString> customIcon{};

    bool operator==(const ItemLink &) const = default;
};

// A named list of links that opens in a popover. Holds links only, never groups.
struct ItemGroup
{
    QUuid id = QUuid::createUuid();
    QString name;
    QList<ItemLink> links{};
    std::optional<QString> customIcon{};

    bool operator==(const ItemGroup &) const = default;
};

// One entry of a tab: a link or a group.
class Item
{
public:
    Item(ItemLink link) : m_value(std::move(link)) {}
    Item(ItemGroup group) : m_value(std::move(group)) {}

    QUuid id() const;
    bool isLink() const { return std::holds_alternative<ItemLink>(m_value); }
    bool isGroup() const { return std::holds_alternative<ItemGroup>(m_value); }

    // The carried value, or null when the item is of the other kind.
    const ItemLink *link() const { return std::get_if<ItemLink>(&m_value); }
    ItemLink *link() { return std::get_if<ItemLink>(&m_value); }
    const ItemGroup *group() const { return std::get_if<ItemGroup>(&m_value); }
    ItemGroup *group() { return std::get_if<ItemGroup>(&m_value); }

    const std::optional<QString> &customIcon() const;

    // The custom icon files this item references: a link's own; a group's own first, then
    // those of its members in member order.
    QStringList customIconFileNames() const;

    bool operator==(const Item &) const = default;

private:
    std::variant<ItemLink, ItemGroup> m_value;
};
