#include "systemitemlauncher.h"

#include "desktopentry.h"
#include "glibptr.h"
#include "itemkind.h"
#include "launchcontext.h"
#include "serviceslog.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <gio/gdesktopappinfo.h>

namespace {

// A file manager that must first be started by the bus gets this long to answer.
constexpr int showItemsTimeoutMs = 10'000;

QString uriOf(const QString &path)
{
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

void openWithDefaultApplication(const QString &uri, std::optional<quint32> timestamp)
{
    const GObjectPtr<GAppLaunchContext> context = makeLaunchContext(timestamp);
    GErrorSlot error;
    if (!g_app_info_launch_default_for_uri(uri.toUtf8().constData(), context.get(), error.out()))
        qCWarning(lcServices, "Cannot open %s: %s", qUtf8Printable(uri), error.message());
}

GObjectPtr<GDesktopAppInfo> launchableEntry(const QString &path)
{
    GObjectPtr<GDesktopAppInfo> info(g_desktop_app_info_new_from_filename(QFile::encodeName(path).constData()));
    if (!info) {
        qCWarning(lcServices, "Cannot launch %s: not a launchable desktop entry (or its TryExec is missing)",
                  qUtf8Printable(path));
    }
    return info;
}

void launchDesktopEntry(const QString &path, std::optional<quint32> timestamp)
{
    const GObjectPtr<GDesktopAppInfo> info = launchableEntry(path);
    if (!info)
        return;
    const GObjectPtr<GAppLaunchContext> context = makeLaunchContext(timestamp);
    GErrorSlot error;
    if (!g_app_info_launch_uris(G_APP_INFO(info.get()), nullptr, context.get(), error.out()))
        qCWarning(lcServices, "Cannot launch %s: %s", qUtf8Printable(path), error.message());
}

// Runs one of the entry's actions; only actions the entry lists are run.
void launchDesktopAction(const QString &path, const QString &actionID, std::optional<quint32> timestamp)
{
    const GObjectPtr<GDesktopAppInfo> info = launchableEntry(path);
    if (!info)
        return;
    const QByteArray id = actionID.toUtf8();
    const gchar *const *listed = g_desktop_app_info_list_actions(info.get());
    if (!listed || !g_strv_contains(listed, id.constData())) {
        qCWarning(lcServices, "Cannot run the action %s of %s: the entry does not list it", id.constData(),
                  qUtf8Printable(path));
        return;
    }
    const GObjectPtr<GAppLaunchContext> context = makeLaunchContext(timestamp);
    g_desktop_app_info_launch_action(info.get(), id.constData(), context.get());
}

// The desktop entry of an application link; none for executables and everything else.
std::optional<DesktopEntry> applicationEntry(const QUrl &location)
{
    if (!location.isLocalFile() || !hasDesktopEntrySuffix(location.toLocalFile()))
        return std::nullopt;
    std::optional<DesktopEntry> entry = readDesktopEntry(location.toLocalFile());
    if (!entry || !entry->isApplication())
        return std::nullopt;
    return entry;
}

void launchExecutable(const QString &path)
{
    if (!QProcess::startDetached(path, {}, QDir::homePath()))
        qCWarning(lcServices, "Cannot start %s", qUtf8Printable(path));
}

QString parentFolder(const QString &path)
{
    return QFileInfo(QDir::cleanPath(path)).path();
}

// Asks the session's file manager to show the folder selected in its parent; when none answers
// (no bus, no such service, an error or a timeout) the parent is opened with its default handler.
void showFolder(const QString &path, std::optional<quint32> timestamp)
{
    const QString folder = QDir::cleanPath(path);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openWithDefaultApplication(uriOf(parentFolder(folder)), timestamp);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{uriOf(folder)} << QString();
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, showItemsTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [folder, timestamp](QDBusPendingCallWatcher *finished) {
        if (finished->isError()) {
            qCInfo(lcServices, "No file manager showed %s (%s); opening its parent folder",
                   qUtf8Printable(folder), qUtf8Printable(finished->error().message()));
            openWithDefaultApplication(uriOf(parentFolder(folder)), timestamp);
        }
        finished->deleteLater();
    });
}

} // namespace

void SystemItemLauncher::launch(const QUrl &location, std::optional<quint32> timestamp)
{
    if (!location.isValid() || location.isEmpty()) {
        qCWarning(lcServices, "Cannot open an empty or invalid location");
        return;
    }
    if (!location.isLocalFile()) {
        openWithDefaultApplication(location.toString(QUrl::FullyEncoded), timestamp);
        return;
    }
    const QString path = location.toLocalFile();
    switch (itemKind(location)) {
    case ItemKind::Application:
        if (hasDesktopEntrySuffix(path))
            launchDesktopEntry(path, timestamp);
        else
            launchExecutable(path);
        return;
    case ItemKind::Folder:
        showFolder(path, timestamp);
        return;
    case ItemKind::File:
        openWithDefaultApplication(uriOf(path), timestamp);
        return;
    }
}

bool SystemItemLauncher::opensNewWindow(const QUrl &location)
{
    if (const std::optional<DesktopEntry> entry = applicationEntry(location))
        return newWindowRoute(*entry) != NewWindowRoute::None;
    // An executable is simply started again.
    return location.isLocalFile() && !hasDesktopEntrySuffix(location.toLocalFile())
        && itemKind(location) == ItemKind::Application;
}

void SystemItemLauncher::openNewWindow(const QUrl &location, std::optional<quint32> timestamp)
{
    const std::optional<DesktopEntry> entry = applicationEntry(location);
    if (!entry) {
        if (opensNewWindow(location))
            launchExecutable(location.toLocalFile());
        return;
    }
    switch (newWindowRoute(*entry)) {
    case NewWindowRoute::None:
        return;
    case NewWindowRoute::NewWindowAction:
        launchDesktopAction(location.toLocalFile(), newWindowActionID(), timestamp);
        return;
    case NewWindowRoute::NewProcess:
        launchDesktopEntry(location.toLocalFile(), timestamp);
        return;
    }
}

QList<ApplicationAction> SystemItemLauncher::actions(const QUrl &location)
{
    const std::optional<DesktopEntry> entry = applicationEntry(location);
    if (!entry)
        return {};
    QList<ApplicationAction> actions = entry->actions;
    if (newWindowRoute(*entry) == NewWindowRoute::NewWindowAction)
        actions.removeIf([](const ApplicationAction &action) { return action.id == newWindowActionID(); });
    return actions;
}

void SystemItemLauncher::launchAction(const QUrl &location, const QString &actionID, std::optional<quint32> timestamp)
{
    if (applicationEntry(location))
        launchDesktopAction(location.toLocalFile(), actionID, timestamp);
    else
        qCWarning(lcServices, "Cannot run an action of %s: not an application", qUtf8Printable(location.toString()));
}
