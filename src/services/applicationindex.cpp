#include "applicationindex.h"

#include "desktopentry.h"
#include "launchtarget.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

namespace {

void insertOnce(QHash<QString, qsizetype> &table, const QString &key, qsizetype index)
{
    if (!key.isEmpty() && !table.contains(key))
        table.insert(key, index);
}

QString lookup(const QHash<QString, qsizetype> &table, const QString &key, const QStringList &paths)
{
    if (key.isEmpty())
        return {};
    const auto found = table.constFind(key);
    return found == table.cend() ? QString() : paths.at(*found);
}

} // namespace

QStringList ApplicationIndex::defaultRoots()
{
    return QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
}

ApplicationIndex ApplicationIndex::build(const QStringList &roots)
{
    ApplicationIndex index;
    // A desktop id found in an earlier root hides the same id further down, even when hidden.
    QSet<QString> seenIds;
    for (const QString &root : roots) {
        if (!QFileInfo(root).isDir())
            continue;
        index.m_directories.append(root);
        QDirIterator subdirectories(root, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (subdirectories.hasNext())
            index.m_directories.append(subdirectories.next());
        const QDir rootDirectory(root);
        QDirIterator files(root, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            const QString id = rootDirectory.relativeFilePath(path).replace(QLatin1Char('/'), QLatin1Char('-'));
            if (seenIds.contains(id))
                continue;
            seenIds.insert(id);
            index.add(path, id);
        }
    }
    return index;
}

void ApplicationIndex::add(const QString &path, const QString &id)
{
    const std::optional<DesktopEntry> entry = readDesktopEntry(path);
    if (!entry || !entry->isApplication() || entry->hidden)
        return;
    const qsizetype index = m_paths.size();
    m_paths.append(path);
    const QString stem = id.chopped(int(qstrlen(".desktop")));
    insertOnce(m_byId, id, index);
    insertOnce(m_byWmClass, entry->startupWmClass.toLower(), index);
    insertOnce(m_byIdStem, stem.toLower(), index);
    insertOnce(m_byIdLastComponent, stem.section(QLatin1Char('.'), -1).toLower(), index);
    const LaunchTarget target = execLaunchTarget(entry->exec, entry->workingDirectory);
    insertOnce(m_byProgram, target.program, index);
    insertOnce(m_bySandboxAppId, target.sandboxAppId, index);
    if (const QString tryExec = resolveProgramPath(entry->tryExec); !isInterpreter(tryExec))
        insertOnce(m_byProgram, tryExec, index);
}

QString ApplicationIndex::applicationFor(const WindowIdentity &window) const
{
    if (window.isSandboxed && !window.sandboxAppId.isEmpty()) {
        if (QString path = lookup(m_bySandboxAppId, window.sandboxAppId, m_paths); !path.isEmpty())
            return path;
        return lookup(m_byId, window.sandboxAppId + QLatin1String(".desktop"), m_paths);
    }
    const QString className = window.className.toLower();
    const QString instance = window.classInstance.toLower();
    for (const QHash<QString, qsizetype> *table : {&m_byWmClass, &m_byIdStem, &m_byIdLastComponent}) {
        for (const QString &key : {className, instance}) {
            if (QString path = lookup(*table, key, m_paths); !path.isEmpty())
                return path;
        }
    }
    if (!window.gtkApplicationId.isEmpty()) {
        if (QString path = lookup(m_byId, window.gtkApplicationId + QLatin1String(".desktop"), m_paths); !path.isEmpty())
            return path;
    }
    if (window.isSandboxed)
        return {};
    for (const QString &program : window.programPaths) {
        if (QString path = lookup(m_byProgram, program, m_paths); !path.isEmpty())
            return path;
    }
    return {};
}
