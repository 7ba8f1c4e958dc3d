#include "systemconfigurationstorage.h"

#include "atomicfile.h"
#include "boundedfile.h"
#include "leftoverfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

QString fileName(const QString &path)
{
    return QFileInfo(path).fileName();
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The n-th name under which an unreadable file at `path` is kept: "<path>.unreadable", then
// "<path>.unreadable.2" and so on.
QString keptFilePath(const QString &path, int number)
{
    const QString kept = path + QStringLiteral(".unreadable");
    return number == 1 ? kept : kept + QLatin1Char('.') + QString::number(number);
}

bool exists(const QByteArray &nativePath)
{
    struct stat status {};
    return ::lstat(nativePath.constData(), &status) == 0;
}

// The first kept name not taken yet.
QString freeKeptFilePath(const QString &path)
{
    int number = 1;
    while (exists(QFile::encodeName(keptFilePath(path, number))))
        ++number;
    return keptFilePath(path, number);
}

// Renames `path` to the first free kept name, never replacing a file already there. A rename
// keeps the bytes even of a file this process may not read.
Result keepAside(const QString &path)
{
    const QByteArray from = QFile::encodeName(path);
    for (int number = 1;; ++number) {
        const QByteArray to = QFile::encodeName(keptFilePath(path, number));
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
            return Result::success();
        if (errno == EEXIST)
            continue;
        // File systems without RENAME_NOREPLACE: look first, then rename.
        if ((errno == EINVAL || errno == ENOSYS) && exists(to))
            continue;
        if ((errno == EINVAL || errno == ENOSYS) && std::rename(from.constData(), to.constData()) == 0)
            return Result::success();
        return Result::failure(QStringLiteral("Could not keep the unreadable file %1 as %2: %3")
                                   .arg(QDir::toNativeSeparators(path), fileName(QFile::decodeName(to)),
                                        systemError(errno)));
    }
}

// Documents of a newer version read only in part: they are used, but kept before replacing.
bool isWholeDocument(const std::optional<ConfigurationDocument> &document)
{
    return document && document->schemaVersion() <= ConfigurationSchema::currentVersion;
}

} // namespace

SystemConfigurationStorage::SystemConfigurationStorage(QString filePath)
    : m_filePath(std::move(filePath))
{
}

QString SystemConfigurationStorage::applicationSupportFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Quayrow 2/configuration.json");
}

std::optional<SystemConfigurationStorage::FileStamp> SystemConfigurationStorage::stamp(const QString &path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return FileStamp{qint64(status.st_dev), qint64(status.st_ino), qint64(status.st_size),
                     qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
}

std::optional<ConfigurationDocument> SystemConfigurationStorage::readDocument(const QString &path, QString *error)
{
    QString reason;
    std::optional<ConfigurationDocument> document;
    if (const std::optional<QByteArray> bytes = BoundedFile::read(path, maximumFileSize, &reason))
        document = ConfigurationDocument::fromJson(*bytes, &reason);
    if (!document && error)
        *error = QStringLiteral("%1: %2").arg(fileName(path), reason);
    return document;
}

std::optional<ConfigurationDocument> SystemConfigurationStorage::readKnown(const QString &path, KnownFile &known,
                                                                          QString *error)
{
    const std::optional<FileStamp> before = stamp(path);
    std::optional<ConfigurationDocument> document = readDocument(path, error);
    known.loadFailure.clear();
    if (!document) {
        known.unreadable = before;
        // A missing file is no failure to tell about; the reason without the file's name is.
        if (before && error)
            known.loadFailure = error->mid(fileName(path).size() + 2);
    } else if (isWholeDocument(document) && before == stamp(path)) {
        known.trusted = before;
    }
    return document;
}

std::optional<ConfigurationDocument> SystemConfigurationStorage::loadDocument(QString *error)
{
    m_backup.loadFailure.clear();
    QString mainError, backupError;
    std::optional<ConfigurationDocument> document = readKnown(m_filePath, m_main, &mainError);
    m_loadedBackup = false;
    if (document)
        return document;
    document = readKnown(backupFilePath(), m_backup, &backupError);
    m_loadedBackup = document.has_value();
    if (!document && error)
        *error = mainError + QStringLiteral("; ") + backupError;
    return document;
}

std::optional<QList<Panel>> SystemConfigurationStorage::load()
{
    if (const std::optional<ConfigurationDocument> document = loadDocument())
        return document->makePanels();
    return std::nullopt;
}

bool SystemConfigurationStorage::hasStoredConfiguration() const
{
    return QFileInfo::exists(m_filePath) || QFileInfo::exists(backupFilePath());
}

QString SystemConfigurationStorage::loadProblem() const
{
    const QString &mainFailure = m_main.loadFailure;
    const QString &backupFailure = m_backup.loadFailure;
    if (mainFailure.isEmpty() && backupFailure.isEmpty())
        return {};
    const QString mainPath = QDir::toNativeSeparators(m_filePath);
    // A linked main file is kept beside its target, elsewhere.
    const QString mainKept = freeKeptFilePath(AtomicFile::linkTarget(m_filePath));
    const QString shownMainKept = QFileInfo(mainKept).absolutePath() == QFileInfo(m_filePath).absolutePath()
        ? fileName(mainKept)
        : QDir::toNativeSeparators(mainKept);
    const QString backupKept = fileName(freeKeptFilePath(backupFilePath()));
    QString text;
    if (!backupFailure.isEmpty() && !mainFailure.isEmpty()) {
        text = QStringLiteral("%1 could not be read (%2), nor its backup (%3); started with a new panel. "
                              "Both are kept, as %4 and %5, when the configuration is next saved.")
                   .arg(mainPath, mainFailure, backupFailure, shownMainKept, backupKept);
    } else if (!mainFailure.isEmpty()) {
        text = QStringLiteral("%1 could not be read (%2); %3. It is kept as %4 when the configuration is next saved.")
                   .arg(mainPath, mainFailure,
                        m_loadedBackup ? QStringLiteral("loaded its backup %1 instead").arg(fileName(backupFilePath()))
                                       : QStringLiteral("started with a new panel"),
                        shownMainKept);
    } else {
        text = QStringLiteral("%1 is missing and its backup could not be read (%2); started with a new panel. "
                              "The backup is kept as %3 when the configuration is next saved.")
                   .arg(mainPath, backupFailure, backupKept);
    }
    return text.replace(u'\n', u' ');
}

void SystemConfigurationStorage::removeStaleTemporaryFiles() const
{
    const QString folder = QFileInfo(m_filePath).absolutePath();
    LeftoverFiles::removeTemporaryFiles(folder);
    // A linked main file is written beside its target.
    const QString targetFolder = QFileInfo(AtomicFile::linkTarget(m_filePath)).absolutePath();
    if (targetFolder != folder)
        LeftoverFiles::removeTemporaryFiles(targetFolder);
}

Result SystemConfigurationStorage::keepIfUnreadable(const QString &path, KnownFile &known)
{
    const std::optional<FileStamp> current = stamp(path);
    if (!current || current == known.trusted)
        return Result::success();
    if (current != known.unreadable) {
        const std::optional<ConfigurationDocument> document = readDocument(path);
        if (isWholeDocument(document) && stamp(path) == current) {
            known.trusted = current;
            return Result::success();
        }
    }
    // Until the new file is in place, a load sees this one missing and reads the next source.
    return keepAside(path);
}

Result SystemConfigurationStorage::save(const QList<Panel> &panels)
{
    QString reason;
    const std::optional<QByteArray> bytes = ConfigurationDocument(panels).toJson(maximumFileSize, &reason);
    if (!bytes)
        return Result::failure(QStringLiteral("Could not write %1: %2").arg(QDir::toNativeSeparators(m_filePath), reason));

    const QString directory = QFileInfo(m_filePath).absolutePath();
    if (!QDir().mkpath(directory))
        return Result::failure(QStringLiteral("Could not create the folder %1").arg(QDir::toNativeSeparators(directory)));

    // The main file is made durable first; the backup, a second copy, is only replaced.
    const QString mainTarget = AtomicFile::linkTarget(m_filePath);
    if (Result kept = keepIfUnreadable(mainTarget, m_main); !kept)
        return kept;
    if (Result written = AtomicFile::write(mainTarget, *bytes); !written)
        return written;
    m_main.trusted = stamp(mainTarget);

    const QString backup = backupFilePath();
    if (Result kept = keepIfUnreadable(backup, m_backup); !kept)
        return kept;
    if (Result written = AtomicFile::writeUnsynced(backup, *bytes); !written)
        return written;
    m_backup.trusted = stamp(backup);
    return Result::success();
}
