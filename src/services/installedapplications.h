#pragma once

#include "applicationindex.h"

#include <QFileSystemWatcher>
#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>

#include <memory>

// The index of the installed applications, kept current: it is built on a thread of its own at
// construction and again whenever an application folder changes (a file or folder added, removed
// or renamed), and handed to the main thread, where `index()` answers without reading anything.
// Changes that arrive during a build lead to one more build after it.
class InstalledApplications final : public QObject
{
    Q_OBJECT

public:
    explicit InstalledApplications(QStringList roots = ApplicationIndex::defaultRoots(), QObject *parent = nullptr);
    ~InstalledApplications() override;

    // The latest built index; empty until the first build is done.
    std::shared_ptr<const ApplicationIndex> index() const { return m_index; }

Q_SIGNALS:
    void indexChanged();

private:
    void startBuild();
    void takeBuild();
    // Watches exactly these folders (and where missing roots would appear); true when any is new.
    bool watch(const QStringList &directories);

    QStringList m_roots;
    std::shared_ptr<const ApplicationIndex> m_index = std::make_shared<const ApplicationIndex>();
    QFileSystemWatcher m_watcher;
    QThreadPool m_pool;
    QFutureWatcher<std::shared_ptr<const ApplicationIndex>> m_build;
    bool m_isBuildPending = false;
};
