#include "launchcontext.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QtGui/private/qtx11extras_p.h>

#include <gio/gdesktopappinfo.h>

#include <vector>

// The library's API is stable in practice (window managers and toolkits use it); it asks its
// users to say that they know it was never declared frozen.
#define SN_API_NOT_YET_FROZEN 1
#include <libsn/sn-launcher.h>

// Declared by the header as sn_launcher_context_set_application_id, but the library exports the
// setter under this name only.
extern "C" void sn_launcher_set_application_id(SnLauncherContext *context, const char *desktopFile);

namespace {

// The launches of one launch context, announced on the X connection Qt draws on. The connection
// stays open, so the server reads every message, also the last one before a launch fails.
class LaunchAnnouncer
{
public:
    LaunchAnnouncer(xcb_connection_t *connection, int screen, quint32 timestamp)
        : m_display(sn_xcb_display_new(connection, nullptr, nullptr)), m_screen(screen), m_timestamp(timestamp)
    {
    }
    ~LaunchAnnouncer()
    {
        for (SnLauncherContext *launch : m_launches)
            sn_launcher_context_unref(launch);
        sn_display_unref(m_display);
    }
    LaunchAnnouncer(const LaunchAnnouncer &) = delete;
    LaunchAnnouncer &operator=(const LaunchAnnouncer &) = delete;

    // Sends "new:" for the application; the startup id to hand to the started program.
    char *announce(GAppInfo *info)
    {
        SnLauncherContext *launch = sn_launcher_context_new(m_display, m_screen);
        m_launches.push_back(launch);
        const char *displayName = g_app_info_get_display_name(info);
        if (displayName)
            sn_launcher_context_set_name(launch, displayName);
        QByteArray binary;
        if (const char *executable = g_app_info_get_executable(info)) {
            binary = QFileInfo(QFile::decodeName(executable)).fileName().toLocal8Bit();
            sn_launcher_context_set_binary_name(launch, binary.constData());
        }
        if (G_IS_DESKTOP_APP_INFO(info)) {
            if (const char *path = g_desktop_app_info_get_filename(G_DESKTOP_APP_INFO(info)))
                sn_launcher_set_application_id(launch, path);
            const GCharPtr wmClass(g_desktop_app_info_get_string(G_DESKTOP_APP_INFO(info), "StartupWMClass"));
            if (wmClass)
                sn_launcher_context_set_wmclass(launch, wmClass.get());
        }
        if (GIcon *icon = g_app_info_get_icon(info); icon && G_IS_THEMED_ICON(icon)) {
            const gchar *const *names = g_themed_icon_get_names(G_THEMED_ICON(icon));
            if (names && names[0])
                sn_launcher_context_set_icon_name(launch, names[0]);
        }
        const QByteArray launcher = QCoreApplication::applicationName().toUtf8();
        const QByteArray launchee = binary.isEmpty() ? QByteArray(displayName ? displayName : "application") : binary;
        sn_launcher_context_initiate(launch, launcher.isEmpty() ? "quayrow2" : launcher.constData(),
                                     launchee.constData(), m_timestamp);
        return g_strdup(sn_launcher_context_get_startup_id(launch));
    }

    // Sends "remove:" for a launch that failed, so that the busy feedback ends at once.
    void withdraw(const char *startupId)
    {
        for (SnLauncherContext *launch : m_launches) {
            if (startupId && qstrcmp(sn_launcher_context_get_startup_id(launch), startupId) == 0)
                sn_launcher_context_complete(launch);
        }
    }

private:
    SnDisplay *m_display;
    int m_screen;
    quint32 m_timestamp;
    std::vector<SnLauncherContext *> m_launches;
};

struct AnnouncingContext
{
    GAppLaunchContext parent;
    LaunchAnnouncer *announcer;
};
struct AnnouncingContextClass
{
    GAppLaunchContextClass parent;
};

GObjectClass *announcingContextParentClass = nullptr;

LaunchAnnouncer *announcerOf(GAppLaunchContext *context)
{
    return reinterpret_cast<AnnouncingContext *>(context)->announcer;
}

GType announcingContextType()
{
    static const GType type = [] {
        const GTypeInfo info = {
            sizeof(AnnouncingContextClass),
            nullptr,
            nullptr,
            [](gpointer klass, gpointer) {
                announcingContextParentClass = G_OBJECT_CLASS(g_type_class_peek_parent(klass));
                G_OBJECT_CLASS(klass)->finalize = [](GObject *object) {
                    delete reinterpret_cast<AnnouncingContext *>(object)->announcer;
                    announcingContextParentClass->finalize(object);
                };
                auto *contextClass = static_cast<GAppLaunchContextClass *>(klass);
                contextClass->get_startup_notify_id = [](GAppLaunchContext *context, GAppInfo *info, GList *) {
                    return announcerOf(context)->announce(info);
                };
                contextClass->launch_failed = [](GAppLaunchContext *context, const char *startupId) {
                    announcerOf(context)->withdraw(startupId);
                };
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

quint32 lastUserInputTime()
{
    if (!QX11Info::isPlatformX11())
        return 0;
    const quint32 userTime = QX11Info::appUserTime();
    return userTime != 0 ? userTime : QX11Info::appTime();
}

GObjectPtr<GAppLaunchContext> makeLaunchContext(std::optional<quint32> timestamp)
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return GObjectPtr<GAppLaunchContext>(g_app_launch_context_new());
    auto *context = static_cast<AnnouncingContext *>(g_object_new(announcingContextType(), nullptr));
    context->announcer = new LaunchAnnouncer(connection, QX11Info::appScreen(), timestamp.value_or(lastUserInputTime()));
    return GObjectPtr<GAppLaunchContext>(G_APP_LAUNCH_CONTEXT(context));
}
