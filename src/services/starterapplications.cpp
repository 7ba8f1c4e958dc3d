#include "starterapplications.h"

#include "desktopentry.h"
#include "glibptr.h"

#include <QFileInfo>
#include <QStringList>

#include <gio/gdesktopappinfo.h>

#include <functional>

namespace {

QString desktopFileOf(GAppInfo *info)
{
    if (!info || !G_IS_DESKTOP_APP_INFO(info))
        return {};
    const char *path = g_desktop_app_info_get_filename(G_DESKTOP_APP_INFO(info));
    return path ? QString::fromUtf8(path) : QString();
}

bool claimsType(GAppInfo *info, const char *contentType)
{
    const char **types = g_app_info_get_supported_types(info);
    for (; types && *types; ++types) {
        if (g_content_type_equals(*types, contentType))
            return true;
    }
    return false;
}

// The default application for a type when it handles that type itself, else the first that
// claims it: GIO's default may be an application for a parent type (a text editor for
// text/calendar), which suits no role.
QString defaultForType(const char *contentType)
{
    const GObjectPtr<GAppInfo> preferred(g_app_info_get_default_for_type(contentType, FALSE));
    if (preferred && claimsType(preferred.get(), contentType))
        return desktopFileOf(preferred.get());
    GList *exact = g_app_info_get_recommended_for_type(contentType);
    const QString path = exact ? desktopFileOf(static_cast<GAppInfo *>(exact->data)) : QString();
    g_list_free_full(exact, g_object_unref);
    return path;
}

QString defaultForScheme(const char *scheme)
{
    const GObjectPtr<GAppInfo> info(g_app_info_get_default_for_uri_scheme(scheme));
    return desktopFileOf(info.get());
}

QString firstInstalled(const QStringList &desktopIds)
{
    for (const QString &id : desktopIds) {
        const GObjectPtr<GDesktopAppInfo> info(g_desktop_app_info_new(id.toUtf8().constData()));
        if (QString path = desktopFileOf(G_APP_INFO(info.get())); !path.isEmpty())
            return path;
    }
    return {};
}

QString messagingApplication()
{
    for (const char *scheme : {"xmpp", "matrix", "irc"}) {
        if (QString path = defaultForScheme(scheme); !path.isEmpty())
            return path;
    }
    return {};
}

// The desktop's own settings application first, then any other known one.
QString settingsApplication()
{
    const QString desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").toLower();
    const QList<std::pair<QString, QStringList>> byDesktop{
        {QStringLiteral("gnome"), {QStringLiteral("org.gnome.Settings.desktop"), QStringLiteral("gnome-control-center.desktop")}},
        {QStringLiteral("kde"), {QStringLiteral("systemsettings.desktop"), QStringLiteral("kdesystemsettings.desktop")}},
        {QStringLiteral("xfce"), {QStringLiteral("xfce-settings-manager.desktop")}},
        {QStringLiteral("cinnamon"), {QStringLiteral("cinnamon-settings.desktop")}},
        {QStringLiteral("mate"), {QStringLiteral("matecc.desktop"), QStringLiteral("mate-control-center.desktop")}},
        {QStringLiteral("budgie"), {QStringLiteral("budgie-control-center.desktop")}},
        {QStringLiteral("lxqt"), {QStringLiteral("lxqt-config.desktop")}},
    };
    QStringList preferred;
    QStringList others;
    for (const auto &[desktop, ids] : byDesktop)
        (desktops.contains(desktop) ? preferred : others).append(ids);
    return firstInstalled(preferred + others);
}

// The Debian alternative x-terminal-emulator names the chosen terminal; its .desktop file is
// the installed one that starts that program. Known terminals follow.
QString terminalApplication()
{
    const QString chosen = resolveProgramPath(QStringLiteral("x-terminal-emulator"));
    if (!chosen.isEmpty()) {
        QString program = QFileInfo(chosen).fileName();
        if (program.endsWith(QLatin1String(".wrapper")))
            program.chop(int(qstrlen(".wrapper")));
        GList *all = g_app_info_get_all();
        QString match;
        for (GList *node = all; node; node = node->next) {
            auto *info = static_cast<GAppInfo *>(node->data);
            const char *executable = g_app_info_get_executable(info);
            if (match.isEmpty() && executable && QFileInfo(QString::fromUtf8(executable)).fileName() == program)
                match = desktopFileOf(info);
        }
        g_list_free_full(all, g_object_unref);
        if (!match.isEmpty())
            return match;
    }
    return firstInstalled({
        QStringLiteral("org.gnome.Console.desktop"), QStringLiteral("org.gnome.Terminal.desktop"),
        QStringLiteral("org.kde.konsole.desktop"), QStringLiteral("xfce4-terminal.desktop"),
        QStringLiteral("org.xfce.terminal.desktop"), QStringLiteral("mate-terminal.desktop"),
        QStringLiteral("lxterminal.desktop"), QStringLiteral("qterminal.desktop"),
        QStringLiteral("com.gexperts.Tilix.desktop"), QStringLiteral("terminator.desktop"),
        QStringLiteral("kitty.desktop"), QStringLiteral("Alacritty.desktop"), QStringLiteral("foot.desktop"),
        QStringLiteral("debian-xterm.desktop"), QStringLiteral("xterm.desktop"),
    });
}

} // namespace

QList<QUrl> resolveStarterApplications(const QList<QUrl> &fallbacks)
{
    const std::function<QString()> roles[] = {
        [] { return defaultForScheme("mailto"); },
        [] { return defaultForType("text/calendar"); },
        [] { return defaultForType("text/plain"); },
        messagingApplication,
        [] { return defaultForType("image/jpeg"); },
        [] { return defaultForType("audio/mpeg"); },
        settingsApplication,
        terminalApplication,
    };
    QList<QUrl> locations;
    qsizetype index = 0;
    for (const std::function<QString()> &resolve : roles) {
        const QString path = resolve();
        if (!path.isEmpty())
            locations.append(QUrl::fromLocalFile(path));
        else if (index < fallbacks.size())
            locations.append(fallbacks.at(index));
        ++index;
    }
    return locations;
}
