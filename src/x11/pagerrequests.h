#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

// Requests to the window manager on the user's behalf, sent as a pager sends them (EWMH source
// indication 2). A window manager refuses an application's request to activate a window when its
// timestamp is older than the user's last input elsewhere (focus-stealing prevention); a pager
// acts for the user and is obeyed. Each request is flushed.
namespace PagerRequests {

// Activates `window`: the window manager raises and focuses it, and restores it when it is
// minimised. `timestamp` is the X time of the user's action (XCB_CURRENT_TIME when none);
// `currentActive` the window active now, or XCB_WINDOW_NONE.
void activateWindow(xcb_ewmh_connection_t &ewmh, int screen, xcb_window_t window, xcb_timestamp_t timestamp,
                    xcb_window_t currentActive);

// Shows the desktop (workspace) `desktop`.
void showDesktop(xcb_ewmh_connection_t &ewmh, int screen, uint32_t desktop, xcb_timestamp_t timestamp);

} // namespace PagerRequests
