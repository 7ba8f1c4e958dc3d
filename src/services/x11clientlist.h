#pragma once

#include "applicationindex.h"

#include <QHash>
#include <QList>
#include <QString>

#include <memory>

struct xcb_connection_t;

// A connection of its own to an X server that reads the window manager's client list: the
// managed windows that are normal and not skip-taskbar, each with what identifies its
// application. Windows of this process are left out. Main thread only.
class X11ClientList
{
public:
    // None when the display cannot be reached.
    static std::unique_ptr<X11ClientList> connect(const QString &displayName);
    ~X11ClientList();
    X11ClientList(const X11ClientList &) = delete;
    X11ClientList &operator=(const X11ClientList &) = delete;

    int fileDescriptor() const;
    bool hasFailed() const;

    // Reads the events that arrived (also those already queued by earlier replies); true when
    // the client list changed since the last call.
    bool takeClientListChanged();

    // The listed windows in client-list order; empty when the server is gone.
    QList<WindowIdentity> taskbarWindows();

private:
    struct Private;
    explicit X11ClientList(std::unique_ptr<Private> d);

    std::unique_ptr<Private> d;
};
