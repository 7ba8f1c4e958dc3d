#include "launchcontext.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSysInfo>

#include <gio/gdesktopappinfo.h>
#include <xcb/xcb.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

struct FreeDeleter
{
    void operator()(void *memory) const { std::free(memory); }
};

xcb_atom_t internAtom(xcb_connection_t *c, const char *name)
{
    std::unique_ptr<xcb_intern_atom_reply_t, FreeDeleter> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(qstrlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

QByteArray quoted(const QByteArray &value)
{
    QByteArray escaped = value;
    escaped.replace('\\', "\\\\").replace('"', "\\\"");
    return '"' + escaped + '"';
}

// One connection for one message: launches are rare, and a connection kept open would need its
// events read.
class StartupAnnouncer
{
public:
    StartupAnnouncer()
    {
        const QByteArray display = qgetenv("DISPLAY");
        if (display.isEmpty())
            return;
        m_connection = xcb_connect(display.constData(), &m_screenNumber);
        if (xcb_connection_has_error(m_connection))
            return;
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
        for (int i = 0; i < m_screenNumber && screens.rem > 0; ++i)
            xcb_screen_next(&screens);
        if (screens.rem <= 0)
            return;
        m_root = screens.data->root;
        m_window = xcb_generate_id(m_connection);
        const uint32_t values[] = {1, XCB_EVENT_MASK_PROPERTY_CHANGE};
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, m_root, -100, -100, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT,
                          XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
        m_ready = true;
    }
    ~StartupAnnouncer()
    {
        if (m_connection) {
            if (m_ready)
                xcb_destroy_window(m_connection, m_window);
            xcb_flush(m_connection);
            xcb_disconnect(m_connection);
        }
    }
    StartupAnnouncer(const StartupAnnouncer &) = delete;
    StartupAnnouncer &operator=(const StartupAnnouncer &) = delete;

    bool isReady() const { return m_ready; }
    int screenNumber() const { return m_screenNumber; }

    // The X server's current time, from a property change on the helper window.
    xcb_timestamp_t serverTime()
    {
        const xcb_atom_t property = internAtom(m_connection, "_QUAYROW_TIMESTAMP");
        xcb_change_property(m_connection, XCB_PROP_MODE_APPEND, m_window, property, XCB_ATOM_STRING, 8, 0, nullptr);
        xcb_flush(m_connection);
        while (std::unique_ptr<xcb_generic_event_t, FreeDeleter> event{xcb_wait_for_event(m_connection)}) {
            if ((event->response_type & ~0x80) == XCB_PROPERTY_NOTIFY)
                return reinterpret_cast<xcb_property_notify_event_t *>(event.get())->time;
        }
        return XCB_CURRENT_TIME;
    }

    // Sends a startup-notification message to the root window in 20-byte pieces.
    void send(const QByteArray &message)
    {
        const xcb_atom_t begin = internAtom(m_connection, "_NET_STARTUP_INFO_BEGIN");
        const xcb_atom_t more = internAtom(m_connection, "_NET_STARTUP_INFO");
        const QByteArray bytes = message + '\0';
        for (qsizetype offset = 0; offset < bytes.size(); offset += 20) {
            xcb_client_message_event_t event = {};
            event.response_type = XCB_CLIENT_MESSAGE;
            event.format = 8;
            event.window = m_window;
            event.type = offset == 0 ? begin : more;
            const QByteArray piece = bytes.mid(offset, 20);
            std::memcpy(event.data.data8, piece.constData(), size_t(piece.size()));
            xcb_send_event(m_connection, 0, m_root, XCB_EVENT_MASK_PROPERTY_CHANGE, reinterpret_cast<const char *>(&event));
        }
        xcb_flush(m_connection);
    }

private:
    xcb_connection_t *m_connection = nullptr;
    int m_screenNumber = 0;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_window_t m_window = XCB_WINDOW_NONE;
    bool m_ready = false;
};

QByteArray startupId(xcb_timestamp_t time)
{
    static std::atomic<int> sequence = 0;
    return QStringLiteral("%1-%2-%3-launch-%4_TIME%5")
        .arg(QCoreApplication::applicationName().isEmpty() ? QStringLiteral("quayrow") : QCoreApplication::applicationName())
        .arg(::getpid())
        .arg(QSysInfo::machineHostName())
        .arg(++sequence)
        .arg(time)
        .toUtf8()
        .replace(' ', '_');
}

char *announceLaunch(GAppLaunchContext *, GAppInfo *info, GList *)
{
    StartupAnnouncer announcer;
    if (!announcer.isReady())
        return nullptr;
    const QByteArray id = startupId(announcer.serverTime());
    QByteArray message = "new: ID=" + quoted(id) + " NAME=" + quoted(g_app_info_get_display_name(info))
        + " SCREEN=" + QByteArray::number(announcer.screenNumber());
    if (const char *executable = g_app_info_get_executable(info))
        message += " BIN=" + quoted(QFileInfo(QString::fromUtf8(executable)).fileName().toUtf8());
    if (G_IS_DESKTOP_APP_INFO(info)) {
        if (const char *path = g_desktop_app_info_get_filename(G_DESKTOP_APP_INFO(info)))
            message += " APPLICATION_ID=" + quoted(path);
        const GCharPtr wmClass(g_desktop_app_info_get_string(G_DESKTOP_APP_INFO(info), "StartupWMClass"));
        if (wmClass)
            message += " WMCLASS=" + quoted(wmClass.get());
    }
    if (GIcon *icon = g_app_info_get_icon(info); icon && G_IS_THEMED_ICON(icon)) {
        const gchar *const *names = g_themed_icon_get_names(G_THEMED_ICON(icon));
        if (names && names[0])
            message += " ICON=" + quoted(names[0]);
    }
    announcer.send(message);
    return g_strdup(id.constData());
}

void announceFailure(GAppLaunchContext *, const char *startupNotifyId)
{
    StartupAnnouncer announcer;
    if (announcer.isReady() && startupNotifyId)
        announcer.send("remove: ID=" + quoted(startupNotifyId));
}

struct AnnouncingContext
{
    GAppLaunchContext parent;
};
struct AnnouncingContextClass
{
    GAppLaunchContextClass parent;
};

GType announcingContextType()
{
    static const GType type = [] {
        const GTypeInfo info = {
            sizeof(AnnouncingContextClass),
            nullptr,
            nullptr,
            [](gpointer klass, gpointer) {
                auto *contextClass = static_cast<GAppLaunchContextClass *>(klass);
                contextClass->get_startup_notify_id = announceLaunch;
                contextClass->launch_failed = announceFailure;
            },
            nullptr,
            nullptr,
            sizeof(AnnouncingContext),
            0,
            nullptr,
            nullptr,
        };
        return g_type_register_static(G_TYPE_APP_LAUNCH_CONTEXT, "QuayrowAnnouncingLaunchContext", &info, GTypeFlags(0));
    }();
    return type;
}

} // namespace

GObjectPtr<GAppLaunchContext> makeLaunchContext()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return GObjectPtr<GAppLaunchContext>(g_app_launch_context_new());
    return GObjectPtr<GAppLaunchContext>(G_APP_LAUNCH_CONTEXT(g_object_new(announcingContextType(), nullptr)));
}
