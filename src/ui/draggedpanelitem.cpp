#include "draggedpanelitem.h"

#include "persistence/jsonfields.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>

namespace {

const QString linkKey = QStringLiteral("link");
const QString groupKey = QStringLiteral("group");

DecodedPanelItem refused(const QString &why)
{
    return DecodedPanelItem{.item = std::nullopt, .error = why};
}

} // namespace

QString DraggedPanelItem::mimeType()
{
    return QStringLiteral("application/x-com.fennickworks.quayrow2.panel-item");
}

QString DraggedPanelItem::invalidKindMessage()
{
    return QStringLiteral("Invalid number of keys found, expected one.");
}

QByteArray DraggedPanelItem::encoded() const
{
    const QJsonObject object{
        {QStringLiteral("id"), id.toString(QUuid::WithoutBraces).toUpper()},
        {QStringLiteral("kind"), QJsonObject{{kind == Kind::Link ? linkKey : groupKey, QJsonObject()}}},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

DecodedPanelItem DraggedPanelItem::decode(QByteArrayView payload)
{
    if (payload.size() > maximumPayloadSize)
        return refused(QStringLiteral("The payload is larger than %1 bytes.").arg(maximumPayloadSize));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(payload.toByteArray(), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return refused(QStringLiteral("The payload is not JSON: %1.").arg(parseError.errorString()));
    if (!document.isObject())
        return refused(QStringLiteral("The payload is not a JSON object."));
    const QJsonObject object = document.object();

    const QJsonValue idValue = object.value(QStringLiteral("id"));
    if (!idValue.isString())
        return refused(QStringLiteral("The key \"id\" does not hold a string."));
    const std::optional<QUuid> id = JsonFields::uuidFromString(idValue.toString());
    if (!id)
        return refused(QStringLiteral("The key \"id\" does not hold a UUID."));

    const QJsonValue kindValue = object.value(QStringLiteral("kind"));
    if (!kindValue.isObject())
        return refused(QStringLiteral("The key \"kind\" does not hold an object."));
    const QJsonObject kindObject = kindValue.toObject();
    if (kindObject.size() != 1)
        return refused(invalidKindMessage());
    const QString key = kindObject.begin().key();
    // A key of no known kind leaves no key a decoder could use: the same refusal.
    if (key != linkKey && key != groupKey)
        return refused(invalidKindMessage());
    if (!kindObject.begin().value().isObject())
        return refused(QStringLiteral("The kind \"%1\" does not hold an object.").arg(key));
    return DecodedPanelItem{.item = DraggedPanelItem{.id = *id, .kind = key == linkKey ? Kind::Link : Kind::Group},
                   .error = {}};
}

QMimeData *DraggedPanelItem::toMimeData() const
{
    auto *data = new QMimeData;
    data->setData(mimeType(), encoded());
    return data;
}

std::optional<DraggedPanelItem> DraggedPanelItem::fromMimeData(const QMimeData *data)
{
    if (!data || !data->hasFormat(mimeType()))
        return std::nullopt;
    return decode(data->data(mimeType())).item;
}
