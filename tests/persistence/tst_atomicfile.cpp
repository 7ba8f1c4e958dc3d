// Replacing files on file systems that cannot sync folders, and clearing what killed writes
// leave behind.

#include "sampleconfiguration.h"

#include "persistence/atomicfile.h"
#include "persistence/configurationdocument.h"
#include "persistence/customiconstorage.h"
#include "persistence/leftoverfiles.h"
#include "persistence/systemconfigurationstorage.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// The error a folder answers to fsync with; 0 for none.
std::atomic_int directorySyncError = 0;
std::atomic_int refusedDirectorySyncs = 0;

} // namespace

// Stands in for the C library's fsync within this test program, so that folders can refuse to be
// synced as they do on some network and FUSE file systems.
extern "C" int fsync(int fd)
{
    struct stat status {};
    if (directorySyncError != 0 && ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
        ++refusedDirectorySyncs;
        errno = directorySyncError;
        return -1;
    }
    return int(::syscall(SYS_fsync, fd));
}

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
}

// Makes `path` (a file, folder or link itself) `seconds` old.
bool age(const QString &path, int seconds)
{
    const timespec then{::time(nullptr) - seconds, 0};
    const timespec times[2] = {then, then};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

} // namespace

class TestAtomicFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void unsyncableFolder_data();
    void unsyncableFolder();
    void staleTemporaryFilesAreRemoved();
};

void TestAtomicFile::cleanup()
{
    directorySyncError = 0;
}

void TestAtomicFile::unsyncableFolder_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("succeeds");

    QTest::newRow("EINVAL: not supported, best effort") << EINVAL << true;
    QTest::newRow("ENOTSUP: not supported, best effort") << ENOTSUP << true;
    QTest::newRow("EIO: a real failure") << EIO << false;
}

void TestAtomicFile::unsyncableFolder()
{
    QFETCH(int, error);
    QFETCH(bool, succeeds);
    QTemporaryDir directory;
    directorySyncError = error;
    refusedDirectorySyncs = 0;

    SystemConfigurationStorage storage(directory.filePath(u"configuration.json"_s));
    const QByteArray expected = ConfigurationDocument(SampleConfiguration::make(20, 2)).toJson();
    QCOMPARE(bool(storage.save(SampleConfiguration::make(20, 2))), succeeds);
    QVERIFY2(refusedDirectorySyncs > 0, "the folder sync was not intercepted");
    // The main file is in place either way; the backup follows only a successful save.
    QCOMPARE(readFile(storage.filePath()), expected);
    QCOMPARE(readFile(storage.backupFilePath()) == expected, succeeds);

    QImage picture(40, 20, QImage::Format_ARGB32);
    picture.fill(Qt::darkCyan);
    const QString source = directory.filePath(u"picture.png"_s);
    QVERIFY(picture.save(source));
    SystemCustomIconStorage icons(directory.filePath(u"Icons"_s));
    const std::optional<QString> imported = icons.importImage(QUrl::fromLocalFile(source), u"A.png"_s);
    QCOMPARE(imported.has_value(), succeeds);
    QVERIFY(QFile::exists(icons.directory() + u"/A.png"_s));
}

void TestAtomicFile::staleTemporaryFilesAreRemoved()
{
    QTemporaryDir directory;
    struct Entry
    {
        QString name;
        int ageSeconds;
        bool removed;
    };
    const QList<Entry> entries{
        {u"configuration.json.quayrow2-tmp-Ab3dE9"_s, 120, true},
        {u"C0FFEE00-0000-0000-0000-000000000001.png.quayrow2-tmp-zz0099"_s, 120, true},
        {u"configuration.json.quayrow2-tmp-Xy7zQ1"_s, 10, false},  // may be a save in progress
        {u"configuration.json.backup"_s, 120, false},               // the user's own
        {u"configuration.json.bak.tmp"_s, 120, false},
        {u"notes.quayrow2-tmp-abc"_s, 120, false},
        {u"notes.quayrow2-tmp-abc-ef"_s, 120, false},
    };
    for (const Entry &entry : entries) {
        QFile file(directory.filePath(entry.name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(age(file.fileName(), entry.ageSeconds));
    }
    // Only regular files go.
    const QString folder = directory.filePath(u"folder.quayrow2-tmp-abcdef"_s);
    QVERIFY(QDir().mkdir(folder) && age(folder, 120));
    const QString link = directory.filePath(u"link.quayrow2-tmp-abcdef"_s);
    QVERIFY(QFile::link(directory.filePath(u"configuration.json.backup"_s), link) && age(link, 120));

    QCOMPARE(LeftoverFiles::removeTemporaryFiles(directory.path()), 2);
    for (const Entry &entry : entries)
        QVERIFY2(QFile::exists(directory.filePath(entry.name)) != entry.removed, qPrintable(entry.name));
    QVERIFY(QFileInfo::exists(folder) && QFileInfo(link).isSymLink());
}

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
