#pragma once

#include "configurationdocument.h"

#include "store/services.h"

#include <QString>

#include <optional>

// The configuration kept in a JSON file, with a backup copy beside it that every save rewrites
// and that load() falls back to when the main file is missing or unreadable.
//
// A main file that exists but cannot be read (a hand edit with a typo, a document of a newer
// version) is never overwritten silently: before a save replaces it, its bytes are kept as
// "<file>.unreadable", replacing an older such copy.
class SystemConfigurationStorage final : public ConfigurationStorage
{
public:
    // Files larger than this are neither read nor written: far beyond any real configuration
    // (10,000 items take about 2 MB), and a bound on the memory a runaway file can take.
    static constexpr qint64 maximumFileSize = 256 * 1024 * 1024;

    explicit SystemConfigurationStorage(QString filePath = applicationSupportFilePath());

    // "Quayrow 2/configuration.json" in the user's configuration directory ($XDG_CONFIG_HOME).
    static QString applicationSupportFilePath();

    const QString &filePath() const { return m_filePath; }
    QString backupFilePath() const { return m_filePath + QStringLiteral(".bak"); }
    QString unreadableFilePath() const { return m_filePath + QStringLiteral(".unreadable"); }

    std::optional<QList<Panel>> load() override;
    bool hasStoredConfiguration() const override;
    Result save(const QList<Panel> &panels) override;

    // The document load() would use, from the main file or else the backup; none when neither
    // reads, and then `error` tells why for each file.
    std::optional<ConfigurationDocument> loadDocument(QString *error = nullptr);

    // The document in the file at `path`; none when the file is missing, not a regular file,
    // too large, unreadable, or not a configuration document.
    static std::optional<ConfigurationDocument> readDocument(const QString &path, QString *error = nullptr);

    // Identity of a file's current content as cheaply observable: device, inode, size, time.
    struct FileStamp
    {
        qint64 device = 0;
        qint64 inode = 0;
        qint64 size = 0;
        qint64 modifiedNanoseconds = 0;

        bool operator==(const FileStamp &) const = default;
    };

private:
    Result keepUnreadableMainFile();
    static std::optional<FileStamp> stamp(const QString &path);

    QString m_filePath;
    // The main file as last read successfully or written here; a file that differs is checked
    // before a save replaces it.
    std::optional<FileStamp> m_trustedMainFile;
    // The main file as last found unreadable by load().
    std::optional<FileStamp> m_unreadableMainFile;
};
