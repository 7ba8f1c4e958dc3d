#include "starterapplications.h"

#include "desktopentry.h"
#include "launchtarget.h"
#include "glibptr.h"

#include <QByteArray>
#include <QFileInfo>

#include <gio/gdesktopappinfo.h>

namespace {

// The .desktop file of an application the user would find in the menu: installed (GIO drops an
// entry whose Exec or TryExec program is missing), not hidden, and shown in the current desktop.
QString shownDesktopFile(GAppInfo *info)
{
    if (!info || !G_IS_DESKTOP_APP_INFO(info) || !g_app_info_should_show(info))
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

// The user's default application for a type. When nothing claims the type itself GIO answers
// with the default of a parent type (the text editor for text/calendar), which suits no role.
QString defaultForType(const char *contentType)
{
    const GObjectPtr<GAppInfo> info(g_app_info_get_default_for_type(contentType, FALSE));
    return info && claimsType(info.get(), contentType) ? shownDesktopFile(info.get()) : QString();
}

QString defaultForSchemes(std::initializer_list<const char *> schemes)
{
    for (const char *scheme : schemes) {
        const GObjectPtr<GAppInfo> info(g_app_info_get_default_for_uri_scheme(scheme));
        if (QString path = shownDesktopFile(info.get()); !path.isEmpty())
            return path;
    }
    return {};
}

// A program's name as terminals install it: Debian's alternatives point some of them at a
// `<name>.wrapper` script.
QString programName(const QString &path)
{
    QString name = QFileInfo(path).fileName();
    if (name.endsWith(QLatin1String(".wrapper")))
        name.chop(int(qstrlen(".wrapper")));
    return name;
}

// Debian's x-terminal-emulator alternative names the chosen terminal; its .desktop file is the
// terminal emulator entry that starts the same program.
QString chosenTerminal()
{
    const QString chosen = programName(resolveProgramPath(QStringLiteral("x-terminal-emulator")));
    if (chosen.isEmpty())
        return {};
    GList *all = g_app_info_get_all();
    QString path;
    for (GList *node = all; node && path.isEmpty(); node = node->next) {
        auto *info = static_cast<GAppInfo *>(node->data);
        const char *categories = G_IS_DESKTOP_APP_INFO(info)
            ? g_desktop_app_info_get_categories(G_DESKTOP_APP_INFO(info))
            : nullptr;
        const char *commandLine = g_app_info_get_commandline(info);
        if (categories && commandLine && QByteArray(categories).split(';').contains("TerminalEmulator")
            && programName(execLaunchTarget(QString::fromUtf8(commandLine), QString()).program) == chosen) {
            path = shownDesktopFile(info);
        }
    }
    g_list_free_full(all, g_object_unref);
    return path;
}

QString firstInstalled(const QList<const char *> &desktopIds)
{
    for (const char *id : desktopIds) {
        const GObjectPtr<GDesktopAppInfo> info(g_desktop_app_info_new(id));
        if (QString path = shownDesktopFile(G_APP_INFO(info.get())); !path.isEmpty())
            return path;
    }
    return {};
}

struct Role
{
    QString (*userDefault)(); // none: the role has no default application of its own
    QList<const char *> wellKnown; // desktop ids across GNOME, KDE, Xfce, LXQt, MATE, Cinnamon
};

QList<QUrl> resolve()
{
    const Role roles[] = {
        {// mail
         [] { return defaultForSchemes({"mailto"}); },
         {"org.gnome.Evolution.desktop", "org.gnome.Geary.desktop", "org.kde.kmail2.desktop", "thunderbird.desktop",
          "org.mozilla.Thunderbird.desktop", "claws-mail.desktop"}},
        {// calendar
         [] { return defaultForType("text/calendar"); },
         {"org.gnome.Calendar.desktop", "org.kde.korganizer.desktop", "org.kde.merkuro.calendar.desktop",
          "org.kde.kalendar.desktop", "org.xfce.orage.desktop", "xfcalendar.desktop", "org.gnome.Evolution.desktop",
          "thunderbird.desktop", "org.mozilla.Thunderbird.desktop"}},
        {// notes
         [] { return defaultForType("text/plain"); },
         {"org.gnome.TextEditor.desktop", "org.gnome.gedit.desktop", "org.kde.kate.desktop", "org.kde.kwrite.desktop",
          "org.xfce.mousepad.desktop", "featherpad.desktop", "pluma.desktop", "org.x.editor.desktop"}},
        {// messaging
         [] { return defaultForSchemes({"xmpp", "matrix", "irc"}); },
         {"org.gnome.Polari.desktop", "org.gnome.Fractal.desktop", "org.kde.neochat.desktop",
          "org.kde.konversation.desktop", "im.dino.Dino.desktop", "pidgin.desktop", "io.github.Hexchat.desktop"}},
        {// photos
         [] { return defaultForType("image/jpeg"); },
         {"org.gnome.Loupe.desktop", "org.gnome.eog.desktop", "org.gnome.Shotwell.desktop", "org.kde.gwenview.desktop",
          "org.xfce.ristretto.desktop", "lximage-qt.desktop", "eom.desktop", "xviewer.desktop"}},
        {// music
         [] { return defaultForType("audio/mpeg"); },
         {"org.gnome.Music.desktop", "org.gnome.Rhythmbox3.desktop", "rhythmbox.desktop", "org.kde.elisa.desktop",
          "org.xfce.Parole.desktop", "audacious.desktop", "vlc.desktop"}},
        {// system settings: each desktop's own is shown only in that desktop
         nullptr,
         {"org.gnome.Settings.desktop", "gnome-control-center.desktop", "systemsettings.desktop",
          "kdesystemsettings.desktop", "xfce-settings-manager.desktop", "lxqt-config.desktop", "matecc.desktop",
          "cinnamon-settings.desktop", "budgie-control-center.desktop"}},
        {// terminal
         chosenTerminal,
         {"org.gnome.Console.desktop", "org.gnome.Terminal.desktop", "org.kde.konsole.desktop",
          "xfce4-terminal.desktop", "org.xfce.terminal.desktop", "qterminal.desktop", "mate-terminal.desktop",
          "lxterminal.desktop", "terminator.desktop", "com.gexperts.Tilix.desktop", "kitty.desktop",
          "Alacritty.desktop", "foot.desktop", "debian-xterm.desktop", "xterm.desktop"}},
    };

    QList<QUrl> locations;
    for (const Role &role : roles) {
        QString path = role.userDefault ? role.userDefault() : QString();
        if (path.isEmpty())
            path = firstInstalled(role.wellKnown);
        if (path.isEmpty())
            continue;
        if (const QUrl location = QUrl::fromLocalFile(path); !locations.contains(location))
            locations.append(location);
    }
    return locations;
}

} // namespace

namespace StarterApplications {

QList<QUrl> locations()
{
    static const QList<QUrl> resolved = resolve();
    return resolved;
}

} // namespace StarterApplications
