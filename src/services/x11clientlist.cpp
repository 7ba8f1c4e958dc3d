#include "x11clientlist.h"

#include "processidentity.h"

#include "x11/pagerrequests.h"
#include "x11/xcbreply.h"

#include <QGuiApplication>
#include <QSysInfo>

#include <xcb/xcb.h>
#include <xcb/res.h>
#include <xcb/xcb_ewmh.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

#include <unistd.h>

namespace {

using PropertyReply = XcbReply<xcb_get_property_reply_t>;

// A property reply's value; empty for a missing property or a window that is gone.
QByteArray propertyBytes(const PropertyReply &reply)
{
    if (!reply || reply->type == XCB_ATOM_NONE)
        return {};
    const int length = xcb_get_property_value_length(reply.get());
    return QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())), length);
}

// The 32-bit values of a property (atoms, windows, cardinals); empty when it has another format.
QList<quint32> propertyValues(const PropertyReply &reply)
{
    QList<quint32> values;
    if (!reply || reply->format != 32)
        return values;
    const auto *data = static_cast<const quint32 *>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(quint32));
    for (int i = 0; i < count; ++i)
        values.append(data[i]);
    return values;
}

// ICCCM WM_HINTS: flags come first; bit 8 is the urgency hint.
bool hasUrgencyHint(const PropertyReply &hints)
{
    constexpr quint32 urgencyHint = 1u << 8;
    const QList<quint32> values = propertyValues(hints);
    return !values.isEmpty() && (values.first() & urgencyHint);
}

// The process id the server knows for the client that made the window (X-Resource 1.2): the
// host's id even for a sandboxed client, whose _NET_WM_PID counts in its own namespace.
std::optional<quint32> clientProcess(xcb_connection_t *c, xcb_res_query_client_ids_cookie_t cookie)
{
    const XcbReply<xcb_res_query_client_ids_reply_t> reply(xcb_res_query_client_ids_reply(c, cookie, nullptr));
    if (!reply)
        return std::nullopt;
    for (xcb_res_client_id_value_iterator_t it = xcb_res_query_client_ids_ids_iterator(reply.get()); it.rem > 0;
         xcb_res_client_id_value_next(&it)) {
        if ((it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) && xcb_res_client_id_value_value_length(it.data) == 1)
            return *xcb_res_client_id_value_value(it.data);
    }
    return std::nullopt;
}

} // namespace

struct X11ClientList::Private
{
    xcb_connection_t *connection = nullptr;
    xcb_ewmh_connection_t ewmh = {};
    bool ewmhReady = false;
    int screenNumber = 0;
    xcb_window_t root = XCB_WINDOW_NONE;
    xcb_atom_t gtkApplicationId = XCB_ATOM_NONE;
    bool hasClientIds = false; // X-Resource 1.2
    // The resource ids of the connection Qt draws this program's windows on, when it is X11.
    quint32 ownIdBase = 0;
    quint32 ownIdMask = 0;
    QString hostName = QSysInfo::machineHostName();

    struct Known
    {
        bool isOwn = false;
        WindowIdentity identity;
    };
    QHash<xcb_window_t, Known> known;

    ~Private()
    {
        if (ewmhReady)
            xcb_ewmh_connection_wipe(&ewmh);
        if (connection)
            xcb_disconnect(connection);
    }

    bool isNormal(const PropertyReply &type, const PropertyReply &transientFor) const;
    bool isSkipTaskbar(const PropertyReply &state) const;
    bool demandsAttention(const PropertyReply &state, const PropertyReply &hints) const;
    Known identify(xcb_window_t window, const PropertyReply &wmClass, const PropertyReply &gtkId,
                   const PropertyReply &pid, const PropertyReply &machine, std::optional<quint32> clientPid) const;
};

bool X11ClientList::Private::isNormal(const PropertyReply &type, const PropertyReply &transientFor) const
{
    const xcb_atom_t normal = ewmh._NET_WM_WINDOW_TYPE_NORMAL;
    const xcb_atom_t others[] = {
        ewmh._NET_WM_WINDOW_TYPE_DESKTOP, ewmh._NET_WM_WINDOW_TYPE_DOCK, ewmh._NET_WM_WINDOW_TYPE_TOOLBAR,
        ewmh._NET_WM_WINDOW_TYPE_MENU, ewmh._NET_WM_WINDOW_TYPE_UTILITY, ewmh._NET_WM_WINDOW_TYPE_SPLASH,
        ewmh._NET_WM_WINDOW_TYPE_DIALOG, ewmh._NET_WM_WINDOW_TYPE_DROPDOWN_MENU,
        ewmh._NET_WM_WINDOW_TYPE_POPUP_MENU, ewmh._NET_WM_WINDOW_TYPE_TOOLTIP,
        ewmh._NET_WM_WINDOW_TYPE_NOTIFICATION, ewmh._NET_WM_WINDOW_TYPE_COMBO, ewmh._NET_WM_WINDOW_TYPE_DND,
    };
    // The first type this side knows decides; without one, a transient window is a dialog.
    for (const xcb_atom_t atom : propertyValues(type)) {
        if (atom == normal)
            return true;
        if (std::find(std::begin(others), std::end(others), atom) != std::end(others))
            return false;
    }
    return propertyBytes(transientFor).isEmpty();
}

bool X11ClientList::Private::isSkipTaskbar(const PropertyReply &state) const
{
    return propertyValues(state).contains(ewmh._NET_WM_STATE_SKIP_TASKBAR);
}

bool X11ClientList::Private::demandsAttention(const PropertyReply &state, const PropertyReply &hints) const
{
    return propertyValues(state).contains(ewmh._NET_WM_STATE_DEMANDS_ATTENTION) || hasUrgencyHint(hints);
}

X11ClientList::Private::Known X11ClientList::Private::identify(xcb_window_t window, const PropertyReply &wmClass,
                                                               const PropertyReply &gtkId, const PropertyReply &pid,
                                                               const PropertyReply &machine,
                                                               std::optional<quint32> clientPid) const
{
    Known known;
    known.isOwn = ownIdMask != 0 && (window & ~ownIdMask) == ownIdBase;
    const QList<QByteArray> classParts = propertyBytes(wmClass).split('\0');
    known.identity.classInstance = QString::fromLocal8Bit(classParts.value(0));
    known.identity.className = QString::fromLocal8Bit(classParts.value(1));
    known.identity.gtkApplicationId = QString::fromUtf8(propertyBytes(gtkId));

    const QByteArray pidBytes = propertyBytes(pid);
    const QByteArray machineName = propertyBytes(machine);
    const bool isLocal = machineName.isEmpty() || QString::fromLocal8Bit(machineName) == hostName;
    std::optional<quint32> claimedPid;
    if (pidBytes.size() == int(sizeof(quint32)) && isLocal) {
        quint32 processId = 0;
        std::memcpy(&processId, pidBytes.constData(), sizeof processId);
        claimedPid = processId;
    }
    if (claimedPid == quint32(::getpid()))
        known.isOwn = true;
    // The server's word on the process comes first; without the extension, the window's own.
    const std::optional<quint32> processId = clientPid ? clientPid : claimedPid;
    if (!known.isOwn && processId && *processId != 0) {
        ProcessIdentity process = processIdentity(*processId);
        known.identity.programPaths = std::move(process.programs);
        known.identity.isSandboxed = process.isSandboxed;
        known.identity.sandboxAppId = std::move(process.sandboxAppId);
    }
    return known;
}

X11ClientList::X11ClientList(std::unique_ptr<Private> d) : d(std::move(d)) {}

X11ClientList::~X11ClientList() = default;

std::unique_ptr<X11ClientList> X11ClientList::connect(const QString &displayName)
{
    auto d = std::make_unique<Private>();
    const QByteArray display = displayName.toLocal8Bit();
    d->connection = xcb_connect(display.isEmpty() ? nullptr : display.constData(), &d->screenNumber);
    if (xcb_connection_has_error(d->connection))
        return nullptr;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(d->connection));
    for (int i = 0; i < d->screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem <= 0)
        return nullptr;
    d->root = screens.data->root;

    xcb_intern_atom_cookie_t *ewmhCookies = xcb_ewmh_init_atoms(d->connection, &d->ewmh);
    static const char gtkName[] = "_GTK_APPLICATION_ID";
    const xcb_intern_atom_cookie_t gtkCookie = xcb_intern_atom(d->connection, 0, sizeof gtkName - 1, gtkName);
    d->ewmhReady = xcb_ewmh_init_atoms_replies(&d->ewmh, ewmhCookies, nullptr);
    if (!d->ewmhReady) {
        std::free(xcb_intern_atom_reply(d->connection, gtkCookie, nullptr));
        return nullptr;
    }
    if (XcbReply<xcb_intern_atom_reply_t> atom{xcb_intern_atom_reply(d->connection, gtkCookie, nullptr)})
        d->gtkApplicationId = atom->atom;
    if (const xcb_query_extension_reply_t *extension = xcb_get_extension_data(d->connection, &xcb_res_id);
        extension && extension->present) {
        const XcbReply<xcb_res_query_version_reply_t> version(
            xcb_res_query_version_reply(d->connection, xcb_res_query_version(d->connection, 1, 2), nullptr));
        d->hasClientIds = version && (version->server_major > 1 || (version->server_major == 1 && version->server_minor >= 2));
    }

    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 && x11->connection() && displayName == qEnvironmentVariable("DISPLAY")) {
        const xcb_setup_t *setup = xcb_get_setup(x11->connection());
        d->ownIdBase = setup->resource_id_base;
        d->ownIdMask = setup->resource_id_mask;
    }

    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(d->connection, d->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(d->connection);
    return std::unique_ptr<X11ClientList>(new X11ClientList(std::move(d)));
}

int X11ClientList::fileDescriptor() const
{
    return xcb_get_file_descriptor(d->connection);
}

bool X11ClientList::hasFailed() const
{
    return xcb_connection_has_error(d->connection) != 0;
}

X11ClientList::Changes X11ClientList::takeChanges()
{
    Changes changes;
    while (const XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(d->connection)}) {
        if ((event->response_type & ~0x80) != XCB_PROPERTY_NOTIFY)
            continue;
        const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event.get());
        if (notify->window == d->root) {
            changes.windows = changes.windows || notify->atom == d->ewmh._NET_CLIENT_LIST;
            changes.activeWindow = changes.activeWindow || notify->atom == d->ewmh._NET_ACTIVE_WINDOW;
        } else if (notify->atom == d->ewmh._NET_WM_STATE || notify->atom == XCB_ATOM_WM_HINTS) {
            changes.windows = changes.windows || d->known.contains(notify->window);
        }
    }
    return changes;
}

quint32 X11ClientList::activeWindow()
{
    if (hasFailed())
        return 0;
    const PropertyReply reply(xcb_get_property_reply(
        d->connection, xcb_get_property(d->connection, 0, d->root, d->ewmh._NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW, 0, 1),
        nullptr));
    const QList<quint32> values = propertyValues(reply);
    return values.isEmpty() ? 0 : values.first();
}

void X11ClientList::activate(quint32 window, quint32 timestamp)
{
    if (hasFailed())
        return;
    xcb_ewmh_connection_t &e = d->ewmh;
    const xcb_get_property_cookie_t desktopCookie = xcb_ewmh_get_wm_desktop(&e, window);
    const xcb_get_property_cookie_t currentCookie = xcb_ewmh_get_current_desktop(&e, d->screenNumber);
    uint32_t desktop = 0;
    uint32_t current = 0;
    const bool hasDesktop = xcb_ewmh_get_wm_desktop_reply(&e, desktopCookie, &desktop, nullptr);
    const bool hasCurrent = xcb_ewmh_get_current_desktop_reply(&e, currentCookie, &current, nullptr);
    // Some window managers move the window to the current desktop instead of following it;
    // a pager shows the window where it is.
    constexpr uint32_t allDesktops = 0xFFFFFFFF;
    if (hasDesktop && hasCurrent && desktop != allDesktops && desktop != current)
        PagerRequests::showDesktop(e, d->screenNumber, desktop, timestamp);
    PagerRequests::activateWindow(e, d->screenNumber, window, timestamp, activeWindow());
}

QList<ClientWindow> X11ClientList::taskbarWindows()
{
    xcb_connection_t *const c = d->connection;
    if (hasFailed())
        return {};
    PropertyReply listReply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, d->root, d->ewmh._NET_CLIENT_LIST, XCB_ATOM_WINDOW, 0, 1u << 16), nullptr));
    const QList<quint32> windows = propertyValues(listReply);

    // All questions first, then all answers: one round trip for the whole list.
    constexpr uint32_t maxLength = 1024;
    auto ask = [c](xcb_window_t window, xcb_atom_t property) {
        return xcb_get_property(c, 0, window, property, XCB_ATOM_ANY, 0, maxLength);
    };
    auto answer = [c](xcb_get_property_cookie_t cookie) {
        return PropertyReply(xcb_get_property_reply(c, cookie, nullptr));
    };
    struct Questions
    {
        xcb_get_property_cookie_t type, state, hints, transientFor, wmClass, gtkId, pid, machine;
        std::optional<xcb_res_query_client_ids_cookie_t> clientIds;
        bool isKnown;
    };
    QList<Questions> questions;
    questions.reserve(windows.size());
    for (const xcb_window_t window : windows) {
        Questions q = {};
        q.type = ask(window, d->ewmh._NET_WM_WINDOW_TYPE);
        q.state = ask(window, d->ewmh._NET_WM_STATE);
        q.hints = ask(window, XCB_ATOM_WM_HINTS);
        q.transientFor = ask(window, XCB_ATOM_WM_TRANSIENT_FOR);
        q.isKnown = d->known.contains(window);
        if (!q.isKnown) {
            // From now on a change of its state or hints is reported.
            const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
            xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &mask);
            q.wmClass = ask(window, XCB_ATOM_WM_CLASS);
            q.gtkId = ask(window, d->gtkApplicationId);
            q.pid = ask(window, d->ewmh._NET_WM_PID);
            q.machine = ask(window, XCB_ATOM_WM_CLIENT_MACHINE);
            if (d->hasClientIds) {
                const xcb_res_client_id_spec_t spec = {window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
                q.clientIds = xcb_res_query_client_ids(c, 1, &spec);
            }
        }
        questions.append(q);
    }

    QHash<xcb_window_t, Private::Known> stillKnown;
    QList<ClientWindow> result;
    for (qsizetype i = 0; i < windows.size(); ++i) {
        const Questions &q = questions[i];
        const PropertyReply type = answer(q.type);
        const PropertyReply state = answer(q.state);
        const PropertyReply hints = answer(q.hints);
        const PropertyReply transientFor = answer(q.transientFor);
        Private::Known known;
        // A window destroyed since the list was read answers nothing (its errors are dropped
        // with the events).
        if (!type) {
            if (!q.isKnown) {
                for (const xcb_get_property_cookie_t cookie : {q.wmClass, q.gtkId, q.pid, q.machine})
                    xcb_discard_reply(c, cookie.sequence);
                if (q.clientIds)
                    xcb_discard_reply(c, q.clientIds->sequence);
            }
            continue;
        }
        if (q.isKnown) {
            known = d->known.value(windows[i]);
        } else {
            const PropertyReply wmClass = answer(q.wmClass);
            const PropertyReply gtkId = answer(q.gtkId);
            const PropertyReply pid = answer(q.pid);
            const PropertyReply machine = answer(q.machine);
            const std::optional<quint32> clientPid = q.clientIds ? clientProcess(c, *q.clientIds) : std::nullopt;
            known = d->identify(windows[i], wmClass, gtkId, pid, machine, clientPid);
        }
        stillKnown.insert(windows[i], known);
        if (!known.isOwn && d->isNormal(type, transientFor) && !d->isSkipTaskbar(state))
            result.append(ClientWindow{windows[i], known.identity, d->demandsAttention(state, hints)});
    }
    d->known = std::move(stillKnown);
    return result;
}
