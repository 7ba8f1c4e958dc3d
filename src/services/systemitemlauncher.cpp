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

void launchDesktopEntry(const QString &path, std::optional<quint32> timestamp)
{
    const GObjectPtr<GDesktopAppInfo> info(g_desktop_app_info_new_from_filename(QFile::encodeName(path).constData()));
    if (!info) {
        qCWarning(lcServices, "Cannot launch %s: not a launchable desktop entry (or its TryExec is missing)",
                  qUtf8Printable(path));
        return;
    }
    const GObjectPtr<GAppLaunchContext> context = makeLaunchContext(timestamp);
    GErrorSlot error;
    if (!g_app_info_launch_uris(G_APP_INFO(info.get()), nullptr, context.get(), error.out()))
        qCWarning(lcServices, "Cannot launch %s: %s", qUtf8Printable(path), error.message());
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
