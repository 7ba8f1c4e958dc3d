#pragma once

// Windows of other programs for the real-window tests, made over any connection (a test's own
// session or a child process playing an application), and the startup-notification messages
// that launches send, read back.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <xcb/xcb.h>

namespace X11Client {

// Creates and maps a 120 x 80 window with the properties an application's windows carry:
// WM_CLASS `instance` / `className`, _NET_WM_PID `pid`, WM_CLIENT_MACHINE this host. Options:
// "skip-taskbar", "dialog", "transient", "gtk-id=<id>" (_GTK_APPLICATION_ID), "pid=<n>" (a
// _NET_WM_PID other than `pid`).
xcb_window_t createWindow(xcb_connection_t *connection, const QString &instance, const QString &className,
                          const QStringList &options, quint32 pid);

// The child-process side of a test that plays an application:
// `[arguments] --x-client <display> <instance> <class> [options]` maps the window, prints
// "ready <window>" and keeps it until its standard input closes. -1 when the command line is not
// a client's (the test itself runs then).
int runClient(int argc, char *argv[]);

// One startup-notification message: its kind ("new", "remove", ...) and its keys.
struct StartupMessage
{
    QByteArray kind;
    QHash<QByteArray, QByteArray> keys;
};
// Collects the startup-notification messages that arrived on the root window (the connection
// must select PropertyChange there); `pending` keeps a message that is not complete yet.
QList<StartupMessage> takeStartupMessages(xcb_connection_t *connection, QByteArray &pending);

} // namespace X11Client
