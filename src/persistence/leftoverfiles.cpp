#include "leftoverfiles.h"

#include "atomicfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sys/stat.h>
#include <unistd.h>

namespace LeftoverFiles {

namespace {

constexpr qint64 minimumAgeSeconds = 60;

// The regular files of `directory` older than a minute whose names `matches`, as native paths.
template<typename Predicate>
QList<QByteArray> staleFiles(const QString &directory, Predicate matches)
{
    const qint64 staleBefore = QDateTime::currentSecsSinceEpoch() - minimumAgeSeconds;
    QList<QByteArray> paths;
    const QStringList names = QDir(directory).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (!matches(name))
            continue;
        QByteArray path = QFile::encodeName(directory + QLatin1Char('/') + name);
        struct stat status {};
        if (::lstat(path.constData(), &status) == 0 && S_ISREG(status.st_mode) && status.st_mtime < staleBefore)
            paths.append(std::move(path));
    }
    return paths;
}

} // namespace

int removeTemporaryFiles(const QString &directory)
{
    int removed = 0;
    for (const QByteArray &path : staleFiles(directory, AtomicFile::isTemporaryFileName))
        removed += ::unlink(path.constData()) == 0 ? 1 : 0;
    return removed;
}

QStringList iconFiles(const QString &directory)
{
    static const QRegularExpression iconName(QStringLiteral("^[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\.png$"),
                                             QRegularExpression::CaseInsensitiveOption);
    QStringList names;
    for (const QByteArray &path : staleFiles(directory, [](const QString &name) { return iconName.match(name).hasMatch(); }))
        names.append(QFileInfo(QFile::decodeName(path)).fileName());
    return names;
}

} // namespace LeftoverFiles
