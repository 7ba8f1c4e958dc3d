#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <xcb/xcb.h>

// Small X11 pieces for the tests: windows with the properties an application's windows carry,
// and the window manager's client list read back.
namespace XTest {

xcb_atom_t atom(xcb_connection_t *connection, const char *name);
xcb_window_t rootOf(xcb_connection_t *connection);

// Creates and maps a window. Options: "skip-taskbar", "dialog", "transient", "gtk-id=<id>".
xcb_window_t createWindow(xcb_connection_t *connection, const QString &instance, const QString &className,
                          const QStringList &options, quint32 pid);

QList<xcb_window_t> clientList(xcb_connection_t *connection);
bool hasWindowManager(xcb_connection_t *connection);

// The child-process side: `--x-client <display> <instance> <class> [options]` maps the window,
// prints "ready <window>" and keeps it until its standard input closes.
int runClient(int argc, char *argv[]);

} // namespace XTest
