#pragma once

#include <QHash>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <xcb/xcb.h>

#include <array>

// Small X11 pieces for the tests: windows with the properties an application's windows carry,
// and the window manager's client list read back.
namespace XTest {

// A private X server (Xvfb, display chosen by the server), optionally with openbox keeping the
// client list, and a connection of the test's own to it.
class Server
{
public:
    Server() = default;
    Server(const Server &) = delete;
    Server &operator=(const Server &) = delete;
    ~Server();

    bool start(bool withWindowManager);
    // Ends the server the way a session ends; a killed one would leave its lock file behind, and
    // two servers started at once could then both take over its display.
    void stop();
    QString display() const { return m_display; }
    xcb_connection_t *connection() const { return m_connection; }

private:
    QProcess m_server;
    QProcess m_windowManager;
    QString m_display;
    xcb_connection_t *m_connection = nullptr;
};

xcb_atom_t atom(xcb_connection_t *connection, const char *name);
xcb_window_t rootOf(xcb_connection_t *connection);

// Creates and maps a window. Options: "skip-taskbar", "dialog", "transient", "gtk-id=<id>",
// "pid=<n>" (a _NET_WM_PID other than `pid`).
xcb_window_t createWindow(xcb_connection_t *connection, const QString &instance, const QString &className,
                          const QStringList &options, quint32 pid);

QList<xcb_window_t> clientList(xcb_connection_t *connection);

// Sends a client message to the root window as a pager sends its requests to the window manager.
void askWindowManager(xcb_connection_t *connection, xcb_window_t window, const char *type,
                      std::array<quint32, 5> data);
// Asks for `window` to be activated (source 2, the current time).
void activate(xcb_connection_t *connection, xcb_window_t window);
xcb_window_t activeWindow(xcb_connection_t *connection);
// The first 32-bit value of a property; all bits set when the window has none.
quint32 cardinal(xcb_connection_t *connection, xcb_window_t window, const char *name);
bool isViewable(xcb_connection_t *connection, xcb_window_t window);

// One startup-notification message: its kind ("new", "remove", ...) and its keys.
struct StartupMessage
{
    QByteArray kind;
    QHash<QByteArray, QByteArray> keys;
};
// Collects the startup-notification messages that arrived on the root window (the connection
// must select PropertyChange there); `pending` keeps a message that is not complete yet.
QList<StartupMessage> takeStartupMessages(xcb_connection_t *connection, QByteArray &pending);
bool hasWindowManager(xcb_connection_t *connection);

// The child-process side: `[arguments] --x-client <display> <instance> <class> [options]` maps
// the window, prints "ready <window>" and keeps it until its standard input closes. -1 when the
// command line is not a client's.
int runClient(int argc, char *argv[]);

} // namespace XTest
