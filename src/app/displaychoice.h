#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Which Qt platform the program starts on, decided before the GUI application object exists.
//
// Panels are placed at exact screen positions and kept above or below other windows, which a
// native Wayland client cannot ask for without the layer-shell protocol. In a Wayland session the
// program therefore runs through XWayland on the xcb platform, unless QT_QPA_PLATFORM names a
// platform, which always wins. Where no display can be reached it says why and exits instead of
// letting Qt abort.
namespace DisplayChoice {

struct Decision
{
    QByteArray platform; // passed to Qt as -platform; empty: Qt's own choice
    QString refusal;     // not empty: print this line and exit with status 1
};

// Reads QT_QPA_PLATFORM, WAYLAND_DISPLAY and DISPLAY through `variable` (empty when unset) and
// asks `reachable` whether an X display answers (called only when the program would use X).
Decision decide(const std::function<QByteArray(const char *)> &variable,
                const std::function<bool(const QByteArray &display)> &reachable);

// The decision for this process's environment, probing the X display with one connection.
Decision decide();

} // namespace DisplayChoice
