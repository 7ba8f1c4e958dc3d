#include "pagerrequests.h"

namespace PagerRequests {

void activateWindow(xcb_ewmh_connection_t &ewmh, int screen, xcb_window_t window, xcb_timestamp_t timestamp,
                    xcb_window_t currentActive)
{
    xcb_ewmh_request_change_active_window(&ewmh, screen, window, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER, timestamp,
                                          currentActive);
    xcb_flush(ewmh.connection);
}

void showDesktop(xcb_ewmh_connection_t &ewmh, int screen, uint32_t desktop, xcb_timestamp_t timestamp)
{
    xcb_ewmh_request_change_current_desktop(&ewmh, screen, desktop, timestamp);
    xcb_flush(ewmh.connection);
}

} // namespace PagerRequests
