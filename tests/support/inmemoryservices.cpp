#include "inmemoryservices.h"

#include "store/appstore.h"

#include <QFileInfo>
#include <QImageReader>
#include <QMutexLocker>

Result InMemoryConfigurationStorage::save(const QList<Panel> &panels)
{
    ++saveCount;
    if (failSaves)
        return Result::failure(QStringLiteral("saving is switched off in this test"));
    lastSaved = panels;
    stored = panels;
    hasStored = true;
    return Result::success();
}

std::optional<QString> InMemoryCustomIconStorage::importImage(const QUrl &source, const QString &fileName)
{
    QImageReader reader(source.toLocalFile());
    const QImage decoded = reader.read();
    if (decoded.isNull())
        return std::nullopt;
    files.insert(fileName, decoded);
    return fileName;
}

std::optional<QImage> InMemoryCustomIconStorage::image(const QString &fileName) const
{
    const auto it = files.constFind(fileName);
    if (it == files.cend())
        return std::nullopt;
    return *it;
}

void InMemoryCustomIconStorage::remove(const QString &fileName)
{
    removed.append(fileName);
    files.remove(fileName);
}

QList<QUrl> InMemoryFileSystemAccess::chooseLocations()
{
    ++dialogCount;
    return locationsToChoose;
}

std::optional<QUrl> InMemoryFileSystemAccess::chooseImage()
{
    ++dialogCount;
    return imageToChoose;
}

QIcon InMemoryFileSystemAccess::icon(const QUrl &)
{
    return QIcon();
}

QString InMemoryFileSystemAccess::name(const QUrl &location)
{
    return QFileInfo(location.path()).completeBaseName();
}

void InMemoryRunningApplicationsLookup::observeChanges(std::function<void()> handler)
{
    QMutexLocker locker(&m_mutex);
    m_handlers.append(std::move(handler));
}

void InMemoryRunningApplicationsLookup::notifyChange()
{
    QList<std::function<void()>> handlers;
    {
        QMutexLocker locker(&m_mutex);
        handlers = m_handlers;
    }
    for (const auto &handler : handlers)
        handler();
}

int InMemoryRunningApplicationsLookup::observerCount() const
{
    QMutexLocker locker(&m_mutex);
    return int(m_handlers.size());
}

void InMemoryLauncherEntries::publish(const QString &applicationID, const LauncherEntry &entry)
{
    m_entries.insert(applicationID, entry);
    if (m_handler)
        m_handler(applicationID);
}

InMemoryServices::InMemoryServices()
    : m_storage(std::make_unique<InMemoryConfigurationStorage>())
    , m_icons(std::make_unique<InMemoryCustomIconStorage>())
    , m_fileSystem(std::make_unique<InMemoryFileSystemAccess>())
    , m_launcher(std::make_unique<InMemoryItemLauncher>())
    , m_runningApps(std::make_unique<InMemoryRunningApplicationsLookup>())
    , m_launcherEntries(std::make_unique<InMemoryLauncherEntries>())
{
    storage = m_storage.get();
    icons = m_icons.get();
    fileSystem = m_fileSystem.get();
    launcher = m_launcher.get();
    runningApps = m_runningApps.get();
    launcherEntries = m_launcherEntries.get();
}

AppStoreServices InMemoryServices::take()
{
    AppStoreServices services;
    services.fileSystem = std::move(m_fileSystem);
    services.launcher = std::move(m_launcher);
    services.storage = std::move(m_storage);
    services.icons = std::move(m_icons);
    services.runningAppsLookup = std::move(m_runningApps);
    services.launcherEntries = std::move(m_launcherEntries);
    return services;
}
