#include "systemlauncherentries.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QFileInfo>

SystemLauncherEntries::SystemLauncherEntries(const QDBusConnection &bus, const QStringList &applicationRoots,
                                             QObject *parent)
    : QObject(parent)
    , m_bus(bus)
    , m_senders(QString(), bus, QDBusServiceWatcher::WatchForUnregistration)
{
    for (const QString &root : applicationRoots)
        m_roots.append(QDir::cleanPath(root) + QLatin1Char('/'));
    connect(&m_senders, &QDBusServiceWatcher::serviceUnregistered, this, &SystemLauncherEntries::senderLeft);
    if (m_bus.isConnected()) {
        // Any sender, any object path: each application publishes from a path of its own.
        m_bus.connect(QString(), QString(), QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"),
                      this, SLOT(handleUpdate(QDBusMessage)));
    }
}

SystemLauncherEntries::~SystemLauncherEntries() = default;

QString SystemLauncherEntries::applicationID(const QUrl &location) const
{
    if (!location.isLocalFile())
        return {};
    const QString path = QDir::cleanPath(location.toLocalFile());
    if (!path.endsWith(QLatin1String(".desktop")))
        return {};
    for (const QString &root : m_roots) {
        if (path.startsWith(root))
            return path.mid(root.size()).replace(QLatin1Char('/'), QLatin1Char('-'));
    }
    return QFileInfo(path).fileName();
}

LauncherEntry SystemLauncherEntries::entry(const QString &applicationID) const
{
    return m_table.entry(applicationID);
}

void SystemLauncherEntries::observeChanges(std::function<void(const QString &)> handler)
{
    m_handler = std::move(handler);
}

void SystemLauncherEntries::handleUpdate(const QDBusMessage &message)
{
    const std::optional<LauncherEntryUpdate> update = parseLauncherEntryUpdate(message.arguments());
    const QString sender = message.service();
    if (!update || sender.isEmpty())
        return;
    const bool isKnown = m_table.hasSender(sender);
    const bool changed = m_table.apply(sender, *update);
    // Watched once, and only while it publishes something kept (the table may be full).
    if (!isKnown && m_table.hasSender(sender))
        watchSender(sender);
    if (changed)
        notify(update->applicationID);
}

void SystemLauncherEntries::watchSender(const QString &sender)
{
    m_senders.addWatchedService(sender);
    // A sender that left before the watch was in place would never be reported: ask once, after
    // the watch, whether it is still there.
    QDBusConnectionInterface *bus = m_bus.interface();
    if (!bus)
        return;
    auto *watcher = new QDBusPendingCallWatcher(bus->asyncCall(QStringLiteral("NameHasOwner"), sender), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, sender](QDBusPendingCallWatcher *call) {
        const QDBusPendingReply<bool> reply = *call;
        if (reply.isValid() && !reply.value())
            senderLeft(sender);
        call->deleteLater();
    });
}

void SystemLauncherEntries::senderLeft(const QString &sender)
{
    m_senders.removeWatchedService(sender);
    const QStringList changed = m_table.removeSender(sender);
    for (const QString &applicationID : changed)
        notify(applicationID);
}

void SystemLauncherEntries::notify(const QString &applicationID)
{
    if (m_handler)
        m_handler(applicationID);
}
