#pragma once

#include "model/panel.h"

#include <QString>
#include <QUuid>

// A compact text form of a panel's tabs, so that editing tests read as before/after tables:
//
//     "^*A~systemRed+run: a b@i1 G[x,y@i2]@g | B: c"
//
// Tabs are separated by " | " and their items by spaces. "*" marks the active tab, a leading "^"
// a revealed tab bar, "~raw" a tab colour and "+run" a tab that shows running applications.
// A name starting with a lower-case letter is a link (location file:///name); any other name is a
// group with its members in brackets; "@file" is a custom icon. Every name stands for a fixed
// UUID (idFor), so ids survive the round trip. Rendering names every tab, group and link by its id;
// a tab or group whose name field differs from that shows as "id=name", an id no name stands for
// as "?".
namespace PanelNotation {

QUuid idFor(const QString &name);
ItemLink link(const QString &token);
Item item(const QString &token);
PanelTab tab(const QString &token);
Panel parse(const QString &layout);
QString render(const Panel &panel);

} // namespace PanelNotation
