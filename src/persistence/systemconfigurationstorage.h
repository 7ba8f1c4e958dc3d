#pragma once

#include "configurationdocument.h"

#include "store/services.h"

#include <QString>

#include <optional>

// The configuration kept in a JSON file, with a backup copy beside it that every save rewrites
// and that load() falls back to when the main file is missing or unreadable. save() writes at
// once, on the calling thread; BackgroundConfigurationStorage moves that off the UI thread.
//
// A file that exists but cannot be read (a hand edit with a typo, a document of a newer version)
// is never overwritten silently: before a save replaces the main file or the backup, such a file
// is renamed to "<file>.unreadable", or ".unreadable.2", ".unreadable.3", ... when that name is
// taken, so that no kept copy replaces another.
//
// A main file that is a symbolic link is written through to its target (and kept beside it);
// the backup and every temporary file are replaced or created without following links.
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

    std::optional<QList<Panel>> load() override;
    bool hasStoredConfiguration() const override;
    Result save(const QList<Panel> &panels) override;

    // The document load() would use, from the main file or else the backup; none when neither
    // reads, and then `error` tells why for each file.
    std::optional<ConfigurationDocument> loadDocument(QString *error = nullptr);

    // The document in the file at `path`; none when the file is missing, not a regular file,
    // too large, unreadable, or not a configuration document.
    static std::optional<ConfigurationDocument> readDocument(const QString &path, QString *error = nullptr);

    // After a load: one sentence for the user when a file that exists could not be read, naming
    // it, what was loaded instead (the backup, or nothing, so that a new panel is made) and the
    // name it will be kept under; empty when the main file was read or none was stored.
    QString loadProblem() const;

    // Removes the temporary files that saves killed halfway left beside the configuration.
    void removeStaleTemporaryFiles() const;

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
    // What this storage knows of the content of one of its files.
    struct KnownFile
    {
        // As last read successfully or written here: replaced without another look.
        std::optional<FileStamp> trusted;
        // As last found unreadable: kept aside without reading it again.
        std::optional<FileStamp> unreadable;
        // Why it could not be read at the last load; empty when it was read or did not exist.
        QString loadFailure;
    };

    // readDocument() that also records what it found in `known`.
    std::optional<ConfigurationDocument> readKnown(const QString &path, KnownFile &known, QString *error);
    // Keeps the file at `path` aside unless it is known or found to be a whole document.
    Result keepIfUnreadable(const QString &path, KnownFile &known);
    static std::optional<FileStamp> stamp(const QString &path);

    QString m_filePath;
    KnownFile m_main;
    KnownFile m_backup;
    bool m_loadedBackup = false;
};
