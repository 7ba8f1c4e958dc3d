#include "panelitemcheck.h"

#include "ui/draggedpanelitem.h"

#include <QJsonDocument>

bool checkPanelItemDecoding(const QByteArray &bytes)
{
    const DecodedPanelItem decoded = DraggedPanelItem::decode(bytes);
    if (!decoded.item)
        return !decoded.error.isEmpty();
    if (!decoded.error.isEmpty() || !QJsonDocument::fromJson(bytes).isObject())
        return false;
    const QByteArray encoded = decoded.item->encoded();
    const DecodedPanelItem again = DraggedPanelItem::decode(encoded);
    return again.item == decoded.item && again.item->encoded() == encoded;
}
