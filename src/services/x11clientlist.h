#pragma once

#include "applicationindex.h"

#include <QHash>
#include <QList>
#include <QString>

#include <memory>

struct xcb_connection_t;

// One window of the window manager's client list that a taskbar shows.
struct ClientWindow
{
    quint32 id = 0;
    WindowIdentity identity;
    // _NET_WM_STATE_DEMANDS_ATTENTION, or the urgency hint of WM_HINTS.
    bool demandsAttention = false;
};

// A connection of its own to an X server that reads the window manager's client list: the
// managed windows that are normal and not skip-taskbar, each with what identifies its
// application and whether it asks for attention, and the active window. Windows of this process
// are left out. It also asks the window manager, as a pager does, to activate a window. Main
// thread only.
class X11ClientList
{
public:
    // What the server reported since the last look.
    struct Changes
    {
        // The client list, or the state or hints of a listed window.
        bool windows = false;
        bool activeWindow = false;

        bool any() const { return windows || activeWindow; }
    };

    // None when the display cannot be reached.
    static std::unique_ptr<X11ClientList> connect(const QString &displayName);
    ~X11ClientList();
    X11ClientList(const X11ClientList &) = delete;
    X11ClientList &operator=(const X11ClientList &) = delete;

    int fileDescriptor() const;
    bool hasFailed() const;

    // Reads the events that arrived (also those already queued by earlier replies).
    Changes takeChanges();

    // The listed windows in client-list order; empty when the server is gone. Watches each
    // window for changes of its state and hints from then on.
    QList<ClientWindow> taskbarWindows();
    // The window the window manager reports active; 0 for none.
    quint32 activeWindow();

    // Shows the window's desktop when it is on another one, then asks for the window to be
    // activated (and so restored when minimised), with the X time of the user's action.
    void activate(quint32 window, quint32 timestamp);

private:
    struct Private;
    explicit X11ClientList(std::unique_ptr<Private> d);

    std::unique_ptr<Private> d;
};
