#include "applicationindex.h"

#include "desktopentry.h"

#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <QStandardPaths>

#include <sys/stat.h>

namespace {

QStringList applicationRoots()
{
    return QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
}

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

QList<ApplicationIndex::DirectoryStamp> ApplicationIndex::stampDirectories(const QStringList &roots)
{
    QList<DirectoryStamp> stamps;
    for (const QString &root : roots) {
        QStringList directories{root};
        QDirIterator subdirectories(root, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (subdirectories.hasNext())
            directories.append(subdirectories.next());
        for (const QString &directory : std::as_const(directories)) {
            struct stat status = {};
            const bool found = ::stat(QFile::encodeName(directory).constData(), &status) == 0;
            stamps.append({directory, found ? qint64(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec : -1});
        }
    }
    return stamps;
}

void ApplicationIndex::refreshIfChanged()
{
    const QStringList roots = applicationRoots();
    QList<DirectoryStamp> stamps = stampDirectories(roots);
    if (m_built && stamps == m_stamps)
        return;
    m_stamps = std::move(stamps);
    rebuild(roots);
}

void ApplicationIndex::rebuild(const QStringList &roots)
{
    m_built = true;
    m_paths.clear();
    m_byId.clear();
    m_byWmClass.clear();
    m_byIdStem.clear();
    m_byIdLastComponent.clear();
    m_byProgram.clear();

    // A desktop id found in an earlier root hides the same id further down, even when hidden.
    QSet<QString> seenIds;
    for (const QString &root : roots) {
        const QDir rootDirectory(root);
        QDirIterator files(root, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            const QString id = rootDirectory.relativeFilePath(path).replace(QLatin1Char('/'), QLatin1Char('-'));
            if (seenIds.contains(id))
                continue;
            seenIds.insert(id);
            add(path, id);
        }
    }
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
    insertOnce(m_byProgram, execProgramPath(entry->exec), index);
    insertOnce(m_byProgram, resolveProgramPath(entry->tryExec), index);
}

QString ApplicationIndex::applicationFor(const WindowIdentity &window) const
{
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
    for (const QString &program : window.programPaths) {
        if (QString path = lookup(m_byProgram, program, m_paths); !path.isEmpty())
            return path;
    }
    return {};
}
