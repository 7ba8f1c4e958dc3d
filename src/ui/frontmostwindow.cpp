#include "frontmostwindow.h"

#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct FreeDeleter
{
    void operator()(void *memory) const { std::free(memory); }
};
template<typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_connection_t *connection()
{
    const auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootWindow(xcb_connection_t *c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

xcb_atom_t activeWindowAtom(xcb_connection_t *c)
{
    static const char name[] = "_NET_ACTIVE_WINDOW";
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

bool isOwnWindow(quint32 window)
{
    const QList<QWindow *> windows = QGuiApplication::allWindows();
    return std::any_of(windows.cbegin(), windows.cend(),
                       [window](const QWindow *own) { return own->handle() && own->winId() == window; });
}

} // namespace

namespace FrontmostWindow {

std::optional<quint32> remember()
{
    xcb_connection_t *c = connection();
    if (!c)
        return std::nullopt;
    const xcb_atom_t property = activeWindowAtom(c);
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, rootWindow(c), property, XCB_ATOM_WINDOW, 0, 1), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return std::nullopt;
    const quint32 window = *static_cast<const xcb_window_t *>(xcb_get_property_value(reply.get()));
    if (window == XCB_WINDOW_NONE || isOwnWindow(window))
        return std::nullopt;
    return window;
}

void activate(quint32 window)
{
    xcb_connection_t *c = connection();
    if (!c)
        return;
    const Reply<xcb_get_window_attributes_reply_t> exists(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    if (!exists)
        return;
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = activeWindowAtom(c);
    message.data.data32[0] = 2; // the request comes from a pager-like tool acting for the user
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, rootWindow(c), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(c);
}

} // namespace FrontmostWindow
