#pragma once

#include "model/geometry.h"
#include "model/placement.h"

#include <QList>
#include <QRectF>
#include <QString>

#include <optional>

class QScreen;

// Screen identity as placements store it, and the one conversion between the store's
// coordinates (y up, origin at the bottom left of the primary screen) and Qt's (y down, origin
// at the top left of the virtual desktop). Nothing else in the program flips y.
namespace PanelScreens {

// What a monitor reports about itself.
struct MonitorIdentity
{
    QString connector;
    QString manufacturer;
    QString model;
    QString serialNumber;
};

// The text a screen id is derived from: "manufacturer|model|serialNumber" when the monitor
// reports a serial number, joined by "|connector" when another of `attached` (which includes
// `monitor`) reports the same three; otherwise the connector name.
QString identityText(const MonitorIdentity &monitor, const QList<MonitorIdentity> &attached);
// The canonical id of an identity text: a name-based (version 5) UUID in the program's own
// namespace, upper case, 36 characters, without braces. Configuration files store it: it must
// never change for the same text.
QString screenID(const QString &identityText);

// A name-based (version 5) UUID in the program's own namespace, upper case without braces: of
// "manufacturer|model|serialNumber" when the monitor reports a serial number (joined by the
// connector name when another attached monitor reports the same three), otherwise of the
// connector name. The same monitor keeps its id across launches, reconnections and, where it
// reports a serial, renumbered connectors. None for a null screen.
std::optional<QString> panelScreenID(const QScreen *screen);

// The screen's visible frame (without the space that docks and panels reserve), in y-up points.
// With several screens on X11 it is the screen less the struts of the docks on it, so a dock at
// the bottom of one monitor shrinks that monitor only.
Rect visibleFrame(const QScreen *screen);

// What placement logic sees of a screen.
ScreenSnapshot panelScreenSnapshot(const QScreen *screen);

// The attached screens and their snapshots, in Qt's order, taken once for a pass over many
// panels.
struct AttachedScreens
{
    QList<QScreen *> screens;
    QList<ScreenSnapshot> snapshots;

    // The screen a placement with this screen id is shown on, as PanelScreen::resolve picks
    // it; -1 when none is attached.
    qsizetype resolve(const std::optional<QString> &screenID) const;
};
AttachedScreens attachedScreens();

// The attached screen a placement with this screen id is shown on; null when none is attached.
QScreen *forPanel(const std::optional<QString> &screenID);

// The screen whose geometry contains the pointer; null when the pointer is over none (a gap
// between screens of different sizes) or there are no screens.
QScreen *screenContainingCursor();
// The id of the screen under the pointer, where "New Panel" puts a new panel (from the tray, a
// panel's menu or the command line alike); none over a gap, so that the store picks the
// primary screen, whichever that is then.
std::optional<QString> screenIDUnderPointer();

// Between the X server's pixels and Qt's device-independent ones on a screen: Qt keeps a
// screen's top left in native pixels and scales the rest by the screen's pixel ratio.
QRectF fromNative(const QRectF &native, const QScreen *screen);
QRect toNative(const QRect &logical, const QScreen *screen);

// The y-up global rectangle of a Qt global rectangle, and back.
Rect toYUp(const QRectF &qtRect);
QRectF toQt(const Rect &yUpRect);

} // namespace PanelScreens
