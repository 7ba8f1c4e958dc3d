// The requests about the program's own windows, over Qt's connection.

#include "x11desktop.h"

#include "x11desktop_p.h"

#include <QByteArray>
#include <QList>
#include <QWindow>

#include <unistd.h>

namespace {

constexpr uint32_t allDesktops = 0xFFFFFFFF;

} // namespace

void X11Desktop::writeBeforeMap(QWindow *window, const WindowStates &states) const
{
    if (!d->qt || !window)
        return;
    const auto id = xcb_window_t(window->winId());
    const xcb_ewmh_connection_t &e = d->qtEwmh;
    QList<xcb_atom_t> atoms;
    if (states.skipsTaskbar)
        atoms << e._NET_WM_STATE_SKIP_TASKBAR << e._NET_WM_STATE_SKIP_PAGER;
    if (states.onAllDesktops)
        atoms << e._NET_WM_STATE_STICKY;
    if (states.level > WindowLevel::normal)
        atoms << e._NET_WM_STATE_ABOVE;
    else if (states.level < WindowLevel::normal)
        atoms << e._NET_WM_STATE_BELOW;
    // Qt merges its own states into this list when it maps the window.
    xcb_ewmh_set_wm_state(&d->qtEwmh, id, uint32_t(atoms.size()), atoms.data());
    if (states.onAllDesktops)
        xcb_ewmh_set_wm_desktop(&d->qtEwmh, id, allDesktops);
    else
        xcb_delete_property(d->qt, id, e._NET_WM_DESKTOP);
    xcb_flush(d->qt);
}

void X11Desktop::requestChange(QWindow *window, const WindowStates &from, const WindowStates &to) const
{
    if (!d->qt || !window || from == to)
        return;
    const auto id = xcb_window_t(window->winId());
    xcb_ewmh_connection_t *e = &d->qtEwmh;
    const auto change = [&](xcb_ewmh_wm_state_action_t action, xcb_atom_t first, xcb_atom_t second) {
        xcb_ewmh_request_change_wm_state(e, d->screen, id, action, first, second, XCB_EWMH_CLIENT_SOURCE_TYPE_NORMAL);
    };
    if (from.skipsTaskbar != to.skipsTaskbar)
        change(to.skipsTaskbar ? XCB_EWMH_WM_STATE_ADD : XCB_EWMH_WM_STATE_REMOVE, e->_NET_WM_STATE_SKIP_TASKBAR,
               e->_NET_WM_STATE_SKIP_PAGER);
    if (from.level != to.level) {
        if (to.level > WindowLevel::normal) {
            change(XCB_EWMH_WM_STATE_REMOVE, e->_NET_WM_STATE_BELOW, XCB_ATOM_NONE);
            change(XCB_EWMH_WM_STATE_ADD, e->_NET_WM_STATE_ABOVE, XCB_ATOM_NONE);
        } else if (to.level < WindowLevel::normal) {
            change(XCB_EWMH_WM_STATE_REMOVE, e->_NET_WM_STATE_ABOVE, XCB_ATOM_NONE);
            change(XCB_EWMH_WM_STATE_ADD, e->_NET_WM_STATE_BELOW, XCB_ATOM_NONE);
        } else {
            change(XCB_EWMH_WM_STATE_REMOVE, e->_NET_WM_STATE_ABOVE, e->_NET_WM_STATE_BELOW);
        }
    }
    if (from.onAllDesktops != to.onAllDesktops) {
        change(to.onAllDesktops ? XCB_EWMH_WM_STATE_ADD : XCB_EWMH_WM_STATE_REMOVE, e->_NET_WM_STATE_STICKY,
               XCB_ATOM_NONE);
        uint32_t desktop = allDesktops;
        if (!to.onAllDesktops) {
            desktop = d->readCurrentDesktop();
            // The reply may have queued events of the watch connection behind it, which its
            // socket will not announce again.
            const_cast<X11Desktop *>(this)->scheduleRead();
        }
        xcb_ewmh_request_change_wm_desktop(e, d->screen, id, desktop, XCB_EWMH_CLIENT_SOURCE_TYPE_NORMAL);
    }
    xcb_flush(d->qt);
}

void X11Desktop::writeIdentity(QWindow *window, const QString &title) const
{
    if (!d->qt || !window)
        return;
    const auto id = xcb_window_t(window->winId());
    const QByteArray name = title.toUtf8();
    xcb_ewmh_set_wm_name(&d->qtEwmh, id, uint32_t(name.size()), name.constData());
    xcb_change_property(d->qt, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, d->qtEwmh.UTF8_STRING, 8,
                        uint32_t(name.size()), name.constData());
    static const char wmClass[] = "quayrow2\0Quayrow2";
    xcb_change_property(d->qt, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, sizeof wmClass,
                        wmClass);
    xcb_ewmh_set_wm_pid(&d->qtEwmh, id, uint32_t(::getpid()));
    xcb_flush(d->qt);
}

void X11Desktop::requestGeometry(QWindow *window, const QRect &native) const
{
    if (!d->qt || !window)
        return;
    const uint32_t values[] = {uint32_t(native.x()), uint32_t(native.y()), uint32_t(native.width()),
                               uint32_t(native.height())};
    xcb_configure_window(d->qt, xcb_window_t(window->winId()),
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         values);
    xcb_flush(d->qt);
}
