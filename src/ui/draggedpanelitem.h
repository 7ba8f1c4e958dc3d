#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QUuid>

#include <optional>

class QMimeData;
struct DecodedPanelItem;

// What a drag of a panel's tile (or of a group member) carries: the item's id and kind, never a
// pointer, so that whatever the drop does it only asks the store.
//
// On the wire it is JSON, `{"id":"<UUID>","kind":{"link":{}}}` (or `"group"`), with the UUID in
// its standard upper-case form, under the MIME type mimeType(). Reading is as tolerant as a
// standard JSON decoder: keys of the outer object other than "id" and "kind" and whatever the
// kind's object holds are passed over; anything else that differs is refused.
struct DraggedPanelItem
{
    enum class Kind { Link, Group };

    QUuid id;
    Kind kind = Kind::Link;

    bool operator==(const DraggedPanelItem &) const = default;

    // "application/x-com.fennickworks.quayrow2.panel-item"
    static QString mimeType();
    // A payload longer than this is refused unread; a real one is under a hundred bytes.
    static constexpr qsizetype maximumPayloadSize = 64 * 1024;
    // The text when the "kind" object holds more or fewer than one key, or its key is unknown.
    static QString invalidKindMessage();

    QByteArray encoded() const;

    static DecodedPanelItem decode(QByteArrayView payload);

    // New drag data holding the payload alone; the caller owns it.
    QMimeData *toMimeData() const;
    // The payload of drag data, or none when it has none or one that is refused.
    static std::optional<DraggedPanelItem> fromMimeData(const QMimeData *data);
};

struct DecodedPanelItem
{
    std::optional<DraggedPanelItem> item;
    QString error; // why the payload was refused; empty when `item` is present
};
