#include "installedapplications.h"

#include <QDir>
#include <QFileInfo>
#include <QPromise>

namespace {

// The folder to watch for a root that does not exist yet: its nearest existing ancestor, whose
// change announces the root's creation.
QString nearestExistingFolder(const QString &path)
{
    QString folder = QDir::cleanPath(path);
    while (!QFileInfo(folder).isDir()) {
        const QString parent = QFileInfo(folder).path();
        if (parent == folder)
            return {};
        folder = parent;
    }
    return folder;
}

} // namespace

InstalledApplications::InstalledApplications(QStringList roots, QObject *parent)
    : QObject(parent), m_roots(std::move(roots))
{
    m_pool.setMaxThreadCount(1);
    // Builds are rare (the start, a change of an application folder): the thread ends with its
    // build instead of idling, and waking up once more to end, half a minute later.
    m_pool.setExpiryTimeout(0);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        if (m_build.isRunning())
            m_isBuildPending = true;
        else
            startBuild();
    });
    connect(&m_build, &QFutureWatcherBase::finished, this, &InstalledApplications::takeBuild);
    startBuild();
}

// The pool waits for a build still running; its result is dropped.
InstalledApplications::~InstalledApplications()
{
    m_build.disconnect(this);
    m_pool.waitForDone();
}

void InstalledApplications::startBuild()
{
    m_isBuildPending = false;
    auto promise = std::make_shared<QPromise<std::shared_ptr<const ApplicationIndex>>>();
    m_build.setFuture(promise->future());
    m_pool.start([promise, roots = m_roots] {
        promise->start();
        promise->addResult(std::make_shared<const ApplicationIndex>(ApplicationIndex::build(roots)));
        promise->finish();
    });
}

void InstalledApplications::takeBuild()
{
    if (m_build.future().resultCount() > 0) {
        m_index = m_build.result();
        // A file created in a new folder before the folder was watched would go unseen: read
        // once more after watching new folders.
        if (watch(m_index->directories()))
            m_isBuildPending = true;
    }
    if (m_isBuildPending)
        startBuild();
    Q_EMIT indexChanged();
}

bool InstalledApplications::watch(const QStringList &directories)
{
    QStringList wanted = directories;
    for (const QString &root : std::as_const(m_roots)) {
        if (!directories.contains(root)) {
            if (const QString folder = nearestExistingFolder(root); !folder.isEmpty() && !wanted.contains(folder))
                wanted.append(folder);
        }
    }
    QStringList stale;
    const QStringList watched = m_watcher.directories();
    for (const QString &directory : watched) {
        if (!wanted.contains(directory))
            stale.append(directory);
    }
    if (!stale.isEmpty())
        m_watcher.removePaths(stale);
    QStringList added;
    for (const QString &directory : std::as_const(wanted)) {
        if (!watched.contains(directory))
            added.append(directory);
    }
    if (!added.isEmpty())
        m_watcher.addPaths(added);
    return !added.isEmpty();
}
