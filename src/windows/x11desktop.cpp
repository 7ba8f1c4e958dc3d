#include "x11desktop.h"

#include "x11desktop_p.h"

#include "x11/pagerrequests.h"
#include "x11/xcbreply.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <QWindow>

#include <xcb/xfixes.h>

namespace {

X11Desktop *theInstance = nullptr;

Strut strutFrom(const xcb_ewmh_wm_strut_partial_t &s)
{
    return Strut{int(s.left), int(s.right), int(s.top), int(s.bottom),
                 int(s.left_start_y), int(s.left_end_y), int(s.right_start_y), int(s.right_end_y),
                 int(s.top_start_x), int(s.top_end_x), int(s.bottom_start_x), int(s.bottom_end_x)};
}

} // namespace

X11Desktop::Private::~Private()
{
    if (watch) {
        xcb_ewmh_connection_wipe(&watchEwmh);
        xcb_disconnect(watch);
    }
    if (qt)
        xcb_ewmh_connection_wipe(&qtEwmh);
}

xcb_window_t X11Desktop::Private::readActiveWindow() const
{
    xcb_window_t window = XCB_WINDOW_NONE;
    if (!watch || !xcb_ewmh_get_active_window_reply(&watchEwmh, xcb_ewmh_get_active_window(&watchEwmh, screen),
                                                    &window, nullptr))
        return XCB_WINDOW_NONE;
    return window;
}

quint32 X11Desktop::Private::readCurrentDesktop() const
{
    uint32_t desktop = 0;
    if (!watch || !xcb_ewmh_get_current_desktop_reply(&watchEwmh, xcb_ewmh_get_current_desktop(&watchEwmh, screen),
                                                      &desktop, nullptr))
        return 0;
    return desktop;
}

QList<Strut> X11Desktop::Private::readStruts() const
{
    QList<Strut> result;
    if (!watch)
        return result;
    xcb_ewmh_get_windows_reply_t clients;
    if (!xcb_ewmh_get_client_list_reply(&watchEwmh, xcb_ewmh_get_client_list(&watchEwmh, screen), &clients, nullptr))
        return result;
    // All requests first, then all replies: one round trip for the whole list.
    std::vector<xcb_get_property_cookie_t> partial(clients.windows_len);
    std::vector<xcb_get_property_cookie_t> whole(clients.windows_len);
    for (uint32_t i = 0; i < clients.windows_len; ++i) {
        partial[i] = xcb_ewmh_get_wm_strut_partial(&watchEwmh, clients.windows[i]);
        whole[i] = xcb_ewmh_get_wm_strut(&watchEwmh, clients.windows[i]);
    }
    for (uint32_t i = 0; i < clients.windows_len; ++i) {
        xcb_ewmh_wm_strut_partial_t s{};
        xcb_ewmh_get_extents_reply_t e{};
        const bool hasPartial = xcb_ewmh_get_wm_strut_partial_reply(&watchEwmh,
                                                                    partial[i], &s, nullptr);
        const bool hasWhole = xcb_ewmh_get_wm_strut_reply(&watchEwmh, whole[i],
                                                          &e, nullptr);
        if (hasPartial)
            result.append(strutFrom(s));
        else if (hasWhole)
            result.append(Strut::wholeEdges(int(e.left), int(e.right), int(e.top), int(e.bottom)));
    }
    xcb_ewmh_get_windows_reply_wipe(&clients);
    return result;
}

xcb_window_t X11Desktop::Private::readWindowManagerCheck() const
{
    if (!watch)
        return XCB_WINDOW_NONE;
    xcb_window_t check = XCB_WINDOW_NONE;
    if (!xcb_ewmh_get_supporting_wm_check_reply(
            &watchEwmh, xcb_ewmh_get_supporting_wm_check(&watchEwmh, root), &check, nullptr))
        return XCB_WINDOW_NONE;
    // A window manager that left (or crashed) may leave its last value behind: the check window
    // then is gone or no longer names itself.
    xcb_window_t self = XCB_WINDOW_NONE;
    if (!xcb_ewmh_get_supporting_wm_check_reply(
            &watchEwmh, xcb_ewmh_get_supporting_wm_check(&watchEwmh, check), &self, nullptr)
        || self != check)
        return XCB_WINDOW_NONE;
    return check;
}

bool X11Desktop::Private::isViewable(xcb_window_t window) const
{
    if (!watch || window == XCB_WINDOW_NONE)
        return false;
    const XcbReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(watch, xcb_get_window_attributes(watch, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

X11Desktop &X11Desktop::instance()
{
    if (!theInstance)
        theInstance = new X11Desktop(qGuiApp);
    return *theInstance;
}

X11Desktop::X11Desktop(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<Private>())
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) {
        connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state != Qt::ApplicationActive)
                Q_EMIT applicationDidResignActive();
        });
        return;
    }
    d->qt = x11->connection();
    xcb_intern_atom_cookie_t *qtCookies = xcb_ewmh_init_atoms(d->qt, &d->qtEwmh);
    if (!xcb_ewmh_init_atoms_replies(&d->qtEwmh, qtCookies, nullptr)) {
        d->qt = nullptr;
        return;
    }

    d->watch = xcb_connect(qgetenv("DISPLAY").constData(), &d->screen);
    xcb_intern_atom_cookie_t *watchCookies = xcb_connection_has_error(d->watch) ? nullptr
                                                                                : xcb_ewmh_init_atoms(d->watch, &d->watchEwmh);
    if (!watchCookies || !xcb_ewmh_init_atoms_replies(&d->watchEwmh, watchCookies, nullptr)) {
        xcb_disconnect(d->watch);
        d->watch = nullptr;
        return;
    }
    if (d->screen < 0 || d->screen >= d->watchEwmh.nb_screens)
        d->screen = 0;
    const xcb_screen_t *screen = d->watchEwmh.screens[d->screen];
    d->root = screen->root;
    d->rootSize = QSize(screen->width_in_pixels, screen->height_in_pixels);
    d->compositorSelection = d->watchEwmh._NET_WM_CM_Sn[d->screen];
    const QByteArray managerSelection = "WM_S" + QByteArray::number(d->screen);
    const XcbReply<xcb_intern_atom_reply_t> managerAtom(xcb_intern_atom_reply(
        d->watch, xcb_intern_atom(d->watch, 0, uint16_t(managerSelection.size()), managerSelection.constData()),
        nullptr));
    d->windowManagerSelection = managerAtom ? managerAtom->atom : xcb_atom_t(XCB_ATOM_NONE);

    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(d->watch, d->root, XCB_CW_EVENT_MASK, &mask);

    const XcbReply<xcb_xfixes_query_version_reply_t> xfixes(
        xcb_xfixes_query_version_reply(d->watch, xcb_xfixes_query_version(d->watch, 5, 0), nullptr));
    const xcb_query_extension_reply_t *extension = xcb_get_extension_data(d->watch, &xcb_xfixes_id);
    if (xfixes && extension && extension->present) {
        d->hasXFixes = true;
        d->xfixesFirstEvent = extension->first_event;
        // A new window manager takes WM_S<n> before it announces itself.
        for (const xcb_atom_t selection : {d->compositorSelection, d->windowManagerSelection}) {
            xcb_xfixes_select_selection_input(d->watch, d->root, selection,
                                              XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
                                                  | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
                                                  | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
        }
    }
    const XcbReply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(d->watch, xcb_get_selection_owner(d->watch, d->compositorSelection), nullptr));
    d->isCompositing = owner && owner->owner != XCB_WINDOW_NONE;
    d->activeWindow = d->readActiveWindow();
    d->windowManagerCheck = d->readWindowManagerCheck();
    d->struts = d->readStruts();

    d->notifier = new QSocketNotifier(xcb_get_file_descriptor(d->watch), QSocketNotifier::Read, this);
    connect(d->notifier, &QSocketNotifier::activated, this, &X11Desktop::readEvents);
    // Replies read above may have queued events that the socket will not announce again.
    readEvents();
}

X11Desktop::~X11Desktop()
{
    if (theInstance == this)
        theInstance = nullptr;
}

bool X11Desktop::isX11() const
{
    return d->qt != nullptr;
}

bool X11Desktop::isCompositing() const
{
    if (!d->qt)
        return QGuiApplication::platformName() == QLatin1String("wayland");
    return d->isCompositing;
}

bool X11Desktop::tilesResizableWindows() const
{
    if (!d->watch)
        return false;
    // The replies may have queued events behind them.
    const_cast<X11Desktop *>(this)->scheduleRead();
    const xcb_window_t check = d->readWindowManagerCheck();
    if (check == XCB_WINDOW_NONE)
        return false;
    xcb_ewmh_get_utf8_strings_reply_t name{};
    if (!xcb_ewmh_get_wm_name_reply(&d->watchEwmh, xcb_ewmh_get_wm_name(&d->watchEwmh, check), &name, nullptr))
        return false;
    const QByteArray text(name.strings, int(name.strings_len));
    xcb_ewmh_get_utf8_strings_reply_wipe(&name);
    return text == "wlroots wm";
}

QSize X11Desktop::rootSize() const
{
    return d->rootSize;
}

QList<Strut> X11Desktop::struts() const
{
    return d->struts;
}

Qt::MouseButtons X11Desktop::pressedButtons() const
{
    if (!d->watch)
        return QGuiApplication::mouseButtons();
    const XcbReply<xcb_query_pointer_reply_t> pointer(
        xcb_query_pointer_reply(d->watch, xcb_query_pointer(d->watch, d->root), nullptr));
    // The reply may have queued events behind it.
    const_cast<X11Desktop *>(this)->scheduleRead();
    if (!pointer)
        return Qt::NoButton;
    Qt::MouseButtons buttons;
    buttons.setFlag(Qt::LeftButton, pointer->mask & XCB_KEY_BUT_MASK_BUTTON_1);
    buttons.setFlag(Qt::MiddleButton, pointer->mask & XCB_KEY_BUT_MASK_BUTTON_2);
    buttons.setFlag(Qt::RightButton, pointer->mask & XCB_KEY_BUT_MASK_BUTTON_3);
    return buttons;
}

std::optional<QRect> X11Desktop::geometryOnServer(QWindow *window) const
{
    if (!d->watch || !window || !window->handle())
        return std::nullopt;
    const auto id = xcb_window_t(window->winId());
    const xcb_get_geometry_cookie_t geometryCookie = xcb_get_geometry(d->watch, id);
    const xcb_translate_coordinates_cookie_t originCookie = xcb_translate_coordinates(d->watch, id, d->root, 0, 0);
    const XcbReply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(d->watch, geometryCookie, nullptr));
    const XcbReply<xcb_translate_coordinates_reply_t> origin(
        xcb_translate_coordinates_reply(d->watch, originCookie, nullptr));
    const_cast<X11Desktop *>(this)->scheduleRead();
    if (!geometry || !origin)
        return std::nullopt;
    return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
}

quint32 X11Desktop::activeWindow() const
{
    return d->activeWindow;
}

bool X11Desktop::isOwnWindow(quint32 window)
{
    if (window == XCB_WINDOW_NONE)
        return false;
    const QWindowList windows = QGuiApplication::allWindows();
    return std::any_of(windows.cbegin(), windows.cend(),
                       [window](const QWindow *w) { return w->handle() && w->winId() == window; });
}

void X11Desktop::activate(QWindow *window)
{
    const bool acceptsFocus = window && !window->flags().testFlag(Qt::WindowDoesNotAcceptFocus);
    if (!d->qt) {
        if (acceptsFocus)
            window->requestActivate();
        return;
    }
    const xcb_window_t active = d->readActiveWindow();
    scheduleRead();
    if (active != XCB_WINDOW_NONE && !isOwnWindow(active))
        d->previousActiveWindow = active;
    if (!acceptsFocus)
        return;
    // The user asked for this window.
    PagerRequests::activateWindow(d->qtEwmh, d->screen, xcb_window_t(window->winId()), XCB_CURRENT_TIME, active);
}

void X11Desktop::deactivate()
{
    if (!d->qt)
        return;
    // Kept after use: when the program takes focus again before the server reports the hand-back
    // (one popover replacing another), the window to return to is still this one.
    const xcb_window_t previous = d->previousActiveWindow;
    const xcb_window_t active = d->readActiveWindow();
    scheduleRead();
    if (previous == XCB_WINDOW_NONE || (active != XCB_WINDOW_NONE && !isOwnWindow(active)))
        return;
    if (!d->isViewable(previous))
        return;
    PagerRequests::activateWindow(d->qtEwmh, d->screen, previous, XCB_CURRENT_TIME, active);
}

void X11Desktop::scheduleRead()
{
    if (!d->watch || d->isReadPosted)
        return;
    d->isReadPosted = true;
    QMetaObject::invokeMethod(this, &X11Desktop::readEvents, Qt::QueuedConnection);
}

void X11Desktop::readEvents()
{
    d->isReadPosted = false;
    bool strutsMayHaveChanged = false;
    bool rootResized = false;
    bool activeMayHaveChanged = false;
    bool windowManagerMayHaveChanged = false;
    while (XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(d->watch)}) {
        const uint8_t type = event->response_type & ~0x80;
        if (type == XCB_PROPERTY_NOTIFY) {
            const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event.get());
            if (notify->atom == d->watchEwmh._NET_ACTIVE_WINDOW)
                activeMayHaveChanged = true;
            else if (notify->atom == d->watchEwmh._NET_SUPPORTING_WM_CHECK)
                windowManagerMayHaveChanged = true;
            else if (notify->atom == d->watchEwmh._NET_CLIENT_LIST || notify->atom == d->watchEwmh._NET_WORKAREA)
                strutsMayHaveChanged = true;
        } else if (type == XCB_CONFIGURE_NOTIFY) {
            const auto *notify = reinterpret_cast<const xcb_configure_notify_event_t *>(event.get());
            if (notify->window == d->root && QSize(notify->width, notify->height) != d->rootSize) {
                d->rootSize = QSize(notify->width, notify->height);
                rootResized = true;
            }
        } else if (d->hasXFixes && type == d->xfixesFirstEvent + XCB_XFIXES_SELECTION_NOTIFY) {
            const auto *notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t *>(event.get());
            if (notify->selection == d->windowManagerSelection) {
                // A window manager taking over names its check window next, which may carry the
                // number of its predecessor's (a restart reconnects): whatever it names is new.
                if (notify->subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER && notify->owner != XCB_WINDOW_NONE)
                    d->windowManagerCheck = XCB_WINDOW_NONE;
                continue;
            }
            const bool compositing = notify->subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER
                && notify->owner != XCB_WINDOW_NONE;
            if (notify->selection == d->compositorSelection && compositing != d->isCompositing) {
                d->isCompositing = compositing;
                Q_EMIT compositingChanged(compositing);
            }
        }
    }
    if (activeMayHaveChanged)
        updateActiveWindow();
    if (windowManagerMayHaveChanged)
        updateWindowManager();
    if (strutsMayHaveChanged || rootResized)
        refreshStruts(rootResized);
    if (xcb_connection_has_error(d->watch))
        d->notifier->setEnabled(false);
}

void X11Desktop::updateActiveWindow()
{
    const xcb_window_t active = d->readActiveWindow();
    scheduleRead();
    if (active == d->activeWindow)
        return;
    d->activeWindow = active;
    // Window managers pass through "none" while they hand focus from one window to another.
    if (active != XCB_WINDOW_NONE && !isOwnWindow(active))
        Q_EMIT applicationDidResignActive();
}

void X11Desktop::updateWindowManager()
{
    const xcb_window_t check = d->readWindowManagerCheck();
    scheduleRead();
    if (check == d->windowManagerCheck)
        return;
    // "None" in between is remembered too, so that the same window manager coming back after a
    // gap (its check window may even keep its number) counts as a new one.
    d->windowManagerCheck = check;
    if (check != XCB_WINDOW_NONE)
        Q_EMIT windowManagerChanged();
}

void X11Desktop::refreshStruts(bool rootResized)
{
    QList<Strut> struts = d->readStruts();
    scheduleRead();
    if (struts == d->struts && !rootResized)
        return;
    d->struts = std::move(struts);
    Q_EMIT workAreaChanged();
}
