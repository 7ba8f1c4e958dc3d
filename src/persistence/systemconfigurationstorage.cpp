#include "systemconfigurationstorage.h"

#include "atomicfile.h"
#include "boundedfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

QString fileName(const QString &path)
{
    return QFileInfo(path).fileName();
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

std::optional<ConfigurationDocument> SystemConfigurationStorage::loadDocument(QString *error)
{
    QString mainError;
    const std::optional<FileStamp> before = stamp(m_filePath);
    std::optional<ConfigurationDocument> document = readDocument(m_filePath, &mainError);
    // A document of a newer version reads only in part: it is used, but kept before replacing.
    if (document && document->schemaVersion() <= ConfigurationSchema::currentVersion && before == stamp(m_filePath))
        m_trustedMainFile = before;
    if (document)
        return document;
    m_unreadableMainFile = before;

    QString backupError;
    document = readDocument(backupFilePath(), &backupError);
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

Result SystemConfigurationStorage::keepUnreadableMainFile()
{
    const std::optional<FileStamp> current = stamp(m_filePath);
    if (!current || current == m_trustedMainFile)
        return Result::success();
    if (current != m_unreadableMainFile) {
        const std::optional<ConfigurationDocument> document = readDocument(m_filePath);
        if (document && document->schemaVersion() <= ConfigurationSchema::currentVersion
            && stamp(m_filePath) == current) {
            m_trustedMainFile = current;
            return Result::success();
        }
    }
    // A rename keeps the bytes even of a file this process may not read. Until the new main
    // file is in place, load() sees no main file and reads the backup, as it did already.
    const QString kept = unreadableFilePath();
    if (std::rename(QFile::encodeName(m_filePath).constData(), QFile::encodeName(kept).constData()) != 0) {
        return Result::failure(QStringLiteral("Could not keep the unreadable configuration %1 as %2: %3")
                                   .arg(QDir::toNativeSeparators(m_filePath), fileName(kept),
                                        QString::fromLocal8Bit(std::strerror(errno))));
    }
    return Result::success();
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

    if (Result kept = keepUnreadableMainFile(); !kept)
        return kept;
    if (Result written = AtomicFile::write(m_filePath, *bytes); !written)
        return written;
    m_trustedMainFile = stamp(m_filePath);
    return AtomicFile::writeUnsynced(backupFilePath(), *bytes);
}
