#pragma once

// Shared between the parts of X11Desktop; not for use elsewhere.

#include "x11desktop.h"

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

class QSocketNotifier;

struct X11Desktop::Private
{
    ~Private();

    // Qt's connection: requests about the program's own windows.
    xcb_connection_t *qt = nullptr;
    // The xcb-ewmh calls take the connection record as non-const even for reads.
    mutable xcb_ewmh_connection_t qtEwmh{};
    // The connection of our own that watches the root window and the compositor selection.
    xcb_connection_t *watch = nullptr;
    mutable xcb_ewmh_connection_t watchEwmh{};
    QSocketNotifier *notifier = nullptr;
    bool isReadPosted = false;

    int screen = 0;
    xcb_window_t root = XCB_WINDOW_NONE;
    xcb_atom_t compositorSelection = XCB_ATOM_NONE;
    xcb_atom_t windowManagerSelection = XCB_ATOM_NONE;
    uint8_t xfixesFirstEvent = 0;
    bool hasXFixes = false;

    bool isCompositing = false;
    // The window manager's check window, kept while it stays the same one.
    xcb_window_t windowManagerCheck = XCB_WINDOW_NONE;
    xcb_window_t activeWindow = XCB_WINDOW_NONE;
    xcb_window_t previousActiveWindow = XCB_WINDOW_NONE;
    QSize rootSize;
    QList<Strut> struts;

    // Reads root properties over the watch connection.
    xcb_window_t readActiveWindow() const;
    quint32 readCurrentDesktop() const;
    // The window that an EWMH window manager names on the root and on itself; none while no
    // such window manager runs (or one is still starting or already leaving).
    xcb_window_t readWindowManagerCheck() const;
    QList<Strut> readStruts() const;
    bool isViewable(xcb_window_t window) const;
};
