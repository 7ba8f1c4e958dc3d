#include "documentfixtures.h"
#include "sampleconfiguration.h"

#include "persistence/configurationdocument.h"
#include "persistence/systemconfigurationstorage.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

using namespace DocumentFixtures;
using namespace Qt::StringLiterals;

namespace {

const QByteArray absent = "<absent>";

QByteArray namedPanels(const QByteArray &name, const QByteArray &version = "16")
{
    return document(panel("\"name\": \"" + name + '"'), version);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    if (bytes == absent)
        return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : absent;
}

// The main file, the backup and a copy kept earlier, each unless `absent`.
void writeFiles(const SystemConfigurationStorage &storage, const QByteArray &main, const QByteArray &backup,
                const QByteArray &olderKept)
{
    writeFile(storage.filePath(), main);
    writeFile(storage.backupFilePath(), backup);
    writeFile(storage.filePath() + u".unreadable"_s, olderKept);
}

// Files by name and content.
using Files = QMap<QString, QByteArray>;

// The kept copies of unreadable files in `directory`.
Files keptFiles(const QString &directory)
{
    Files files;
    for (const QString &name : QDir(directory).entryList({u"*.unreadable*"_s}, QDir::Files | QDir::Hidden))
        files.insert(name, readFile(QDir(directory).filePath(name)));
    return files;
}

QStringList names(const std::optional<QList<Panel>> &panels)
{
    if (!panels)
        return {u"<none>"_s};
    QStringList result;
    for (const Panel &panel : *panels)
        result.append(panel.name);
    return result;
}

} // namespace

class TestSystemConfigurationStorage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaultLocationFollowsXdgConfigHome();
    void load_data();
    void load();
    void saveCreatesFolderAndIdenticalBackup();
    void saveReportsFolderError();
    void saveRoundTrip();
    void unreadableFilesAreKept_data();
    void unreadableFilesAreKept();
    void mainFileEditedAfterLoadIsChecked();
    void linkedMainFileIsWrittenThrough_data();
    void linkedMainFileIsWrittenThrough();
    void loadProblemNamesTheFiles_data();
    void loadProblemNamesTheFiles();
};

void TestSystemConfigurationStorage::defaultLocationFollowsXdgConfigHome()
{
    QTemporaryDir home;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    const QString path = SystemConfigurationStorage::applicationSupportFilePath();
    qputenv("XDG_CONFIG_HOME", saved);
    QCOMPARE(path, home.path() + u"/Quayrow 2/configuration.json"_s);
    QCOMPARE(SystemConfigurationStorage(path).backupFilePath(), home.path() + u"/Quayrow 2/configuration.json.bak"_s);
}

void TestSystemConfigurationStorage::load_data()
{
    QTest::addColumn<QByteArray>("main");
    QTest::addColumn<QByteArray>("backup");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("hasStored");

    const QStringList none{u"<none>"_s};
    QTest::newRow("neither file") << absent << absent << none << false;
    QTest::newRow("main only") << namedPanels("M") << absent << QStringList{u"M"_s} << true;
    QTest::newRow("main wins over backup") << namedPanels("M") << namedPanels("B") << QStringList{u"M"_s} << true;
    QTest::newRow("invalid main, valid backup") << QByteArray("{oops") << namedPanels("B") << QStringList{u"B"_s} << true;
    QTest::newRow("missing main, valid backup") << absent << namedPanels("B") << QStringList{u"B"_s} << true;
    QTest::newRow("panel without id, no backup") << document("{\"name\": \"x\"}") << absent << none << true;
    QTest::newRow("both unreadable") << QByteArray("[]") << QByteArray("") << none << true;
    QTest::newRow("version 99 loads") << namedPanels("V", "99") << absent << QStringList{u"V"_s} << true;
    QTest::newRow("version beyond 32 bits loads") << namedPanels("V", "4294967312") << namedPanels("B") << QStringList{u"V"_s} << true;
    QTest::newRow("main with a byte-order mark") << "\xEF\xBB\xBF" + namedPanels("M") << namedPanels("B") << QStringList{u"M"_s} << true;
    QTest::newRow("no panels is an empty list") << document("") << namedPanels("B") << QStringList{} << true;
}

void TestSystemConfigurationStorage::load()
{
    QFETCH(QByteArray, main);
    QFETCH(QByteArray, backup);
    QTemporaryDir directory;
    SystemConfigurationStorage storage(directory.filePath(u"Quayrow 2/configuration.json"_s));
    writeFile(storage.filePath(), main);
    writeFile(storage.backupFilePath(), backup);
    QTEST(storage.hasStoredConfiguration(), "hasStored");
    QTEST(names(storage.load()), "expected");
    // Loading never writes.
    QCOMPARE(readFile(storage.filePath()), main);
    QCOMPARE(readFile(storage.backupFilePath()), backup);
}

void TestSystemConfigurationStorage::saveCreatesFolderAndIdenticalBackup()
{
    QTemporaryDir directory;
    SystemConfigurationStorage storage(directory.filePath(u"a/b/Quayrow 2/configuration.json"_s));
    const QList<Panel> panels = SampleConfiguration::make(40, 5);
    const Result saved = storage.save(panels);
    QVERIFY2(saved, qPrintable(saved.errorMessage()));
    const QByteArray main = readFile(storage.filePath());
    QCOMPARE(main, ConfigurationDocument(panels).toJson());
    QCOMPARE(readFile(storage.backupFilePath()), main);
    // No temporary files are left behind.
    QCOMPARE(QDir(QFileInfo(storage.filePath()).absolutePath()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{u"configuration.json"_s, u"configuration.json.bak"_s}));
}

void TestSystemConfigurationStorage::saveReportsFolderError()
{
    QTemporaryDir directory;
    writeFile(directory.filePath(u"blocker"_s), "a file where a folder should be");
    SystemConfigurationStorage storage(directory.filePath(u"blocker/configuration.json"_s));
    const Result saved = storage.save(SampleConfiguration::make(3, 1));
    QVERIFY(!saved);
    QVERIFY(saved.errorMessage().contains(u"blocker"_s));
}

void TestSystemConfigurationStorage::saveRoundTrip()
{
    QTemporaryDir directory;
    SystemConfigurationStorage storage(directory.filePath(u"configuration.json"_s));
    const QList<Panel> panels = SampleConfiguration::make(500, 9);
    QVERIFY(storage.save(panels));
    QCOMPARE(SystemConfigurationStorage(storage.filePath()).load(), std::optional<QList<Panel>>(panels));
    QVERIFY(storage.save({}));
    QCOMPARE(SystemConfigurationStorage(storage.filePath()).load(), std::optional<QList<Panel>>(QList<Panel>{}));
}

void TestSystemConfigurationStorage::unreadableFilesAreKept_data()
{
    QTest::addColumn<QByteArray>("main");
    QTest::addColumn<QByteArray>("backup");
    QTest::addColumn<QByteArray>("olderKept"); // already at configuration.json.unreadable
    QTest::addColumn<bool>("loadFirst");
    QTest::addColumn<Files>("expectedKept");   // every "*.unreadable*" file after the save

    const QByteArray typo = namedPanels("Typo").replace("\"name\":", "\"name\"");
    const QByteArray newer = namedPanels("Future", "17");
    const QByteArray backup = namedPanels("Backup");
    const QString kept = u"configuration.json.unreadable"_s;
    const QString backupKept = u"configuration.json.bak.unreadable"_s;
    QTest::newRow("typo, loaded first") << typo << backup << absent << true << Files{{kept, typo}};
    QTest::newRow("typo, saved without loading") << typo << backup << absent << false << Files{{kept, typo}};
    QTest::newRow("typo beside an older kept file: numbered, the older stays")
        << typo << backup << QByteArray("older") << true << Files{{kept, "older"}, {kept + u".2"_s, typo}};
    QTest::newRow("newer version, loaded first") << newer << backup << absent << true << Files{{kept, newer}};
    QTest::newRow("newer version, saved without loading") << newer << backup << absent << false << Files{{kept, newer}};
    QTest::newRow("version beyond 64 bits is newer") << namedPanels("Far", "18446744073709551633") << backup << absent << true
                                                     << Files{{kept, namedPanels("Far", "18446744073709551633")}};
    QTest::newRow("byte-order mark is readable") << "\xEF\xBB\xBF" + namedPanels("Old") << backup << absent << true << Files{};
    QTest::newRow("readable main is simply replaced") << namedPanels("Old") << backup << absent << true << Files{};
    QTest::newRow("readable main, saved without loading") << namedPanels("Old") << backup << absent << false << Files{};
    QTest::newRow("no main file") << absent << backup << absent << true << Files{};
    QTest::newRow("empty main file") << QByteArray("") << backup << absent << false << Files{{kept, ""}};
    QTest::newRow("main and backup unreadable: both kept")
        << typo << QByteArray("{\"broken") << absent << true << Files{{kept, typo}, {backupKept, "{\"broken"}};
    QTest::newRow("unreadable backup beside a readable main")
        << namedPanels("Old") << QByteArray("[]") << absent << true << Files{{backupKept, "[]"}};
    QTest::newRow("backup of a newer version, saved without loading")
        << namedPanels("Old") << newer << absent << false << Files{{backupKept, newer}};
}

void TestSystemConfigurationStorage::unreadableFilesAreKept()
{
    QFETCH(QByteArray, main);
    QFETCH(QByteArray, backup);
    QFETCH(QByteArray, olderKept);
    QFETCH(bool, loadFirst);
    QFETCH(Files, expectedKept);
    QTemporaryDir directory;
    SystemConfigurationStorage storage(directory.filePath(u"configuration.json"_s));
    writeFiles(storage, main, backup, olderKept);
    if (loadFirst)
        (void)storage.load();

    const QList<Panel> panels = SampleConfiguration::make(10, 3);
    QVERIFY(storage.save(panels));
    QCOMPARE(keptFiles(directory.path()), expectedKept);
    QCOMPARE(readFile(storage.filePath()), ConfigurationDocument(panels).toJson());
    QCOMPARE(readFile(storage.backupFilePath()), ConfigurationDocument(panels).toJson());
    // Later saves replace the program's own files without keeping anything more.
    QVERIFY(storage.save(SampleConfiguration::make(12, 4)));
    QCOMPARE(keptFiles(directory.path()), expectedKept);
}

void TestSystemConfigurationStorage::mainFileEditedAfterLoadIsChecked()
{
    QTemporaryDir directory;
    SystemConfigurationStorage storage(directory.filePath(u"configuration.json"_s));
    QVERIFY(storage.save(SampleConfiguration::make(10, 3)));
    QVERIFY(storage.load());
    // A hand edit with a typo while the program runs (same size, so only the content and time differ).
    QByteArray edited = readFile(storage.filePath());
    edited.replace("\"panels\":", "\"panels\";");
    QFile file(storage.filePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(edited);
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
    file.close();

    QVERIFY(storage.save(SampleConfiguration::make(11, 3)));
    QCOMPARE(keptFiles(directory.path()), (Files{{u"configuration.json.unreadable"_s, edited}}));
}

void TestSystemConfigurationStorage::linkedMainFileIsWrittenThrough_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<bool>("relativeLink");

    QTest::newRow("readable target") << namedPanels("Dotfile") << false;
    QTest::newRow("readable target, relative link") << namedPanels("Dotfile") << true;
    QTest::newRow("unreadable target is kept beside it") << QByteArray("{typo") << false;
}

void TestSystemConfigurationStorage::linkedMainFileIsWrittenThrough()
{
    QFETCH(QByteArray, target);
    QFETCH(bool, relativeLink);
    QTemporaryDir directory;
    const QString targetPath = directory.filePath(u"dotfiles/quayrow.json"_s);
    writeFile(targetPath, target);
    SystemConfigurationStorage storage(directory.filePath(u"config/configuration.json"_s));
    QVERIFY(QDir().mkpath(directory.filePath(u"config"_s)));
    QVERIFY(QFile::link(relativeLink ? u"../dotfiles/quayrow.json"_s : targetPath, storage.filePath()));
    (void)storage.load();

    const QList<Panel> panels = SampleConfiguration::make(15, 5);
    QVERIFY(storage.save(panels));
    QVERIFY(QFileInfo(storage.filePath()).isSymLink());
    QCOMPARE(readFile(targetPath), ConfigurationDocument(panels).toJson());
    QVERIFY(!QFileInfo(storage.backupFilePath()).isSymLink());
    QCOMPARE(readFile(storage.backupFilePath()), ConfigurationDocument(panels).toJson());
    const bool readable = SystemConfigurationStorage::readDocument(directory.filePath(u"config/configuration.json.bak"_s)).has_value();
    QVERIFY(readable);
    QCOMPARE(readFile(targetPath + u".unreadable"_s), target.startsWith("{typo") ? target : absent);
    QCOMPARE(keptFiles(directory.filePath(u"config"_s)), Files{});
}

void TestSystemConfigurationStorage::loadProblemNamesTheFiles_data()
{
    QTest::addColumn<QByteArray>("main");
    QTest::addColumn<QByteArray>("backup");
    QTest::addColumn<QByteArray>("olderKept");
    QTest::addColumn<QStringList>("mentions"); // none: no problem to tell

    const QByteArray typo = "{\"schemaVersion\": 16, \"panels\": [}";
    const QByteArray good = namedPanels("B");
    QTest::newRow("main read") << good << QByteArray("[]") << absent << QStringList{};
    QTest::newRow("nothing stored") << absent << absent << absent << QStringList{};
    QTest::newRow("missing main, backup read") << absent << good << absent << QStringList{};
    QTest::newRow("unreadable main, backup loaded")
        << typo << good << absent
        << QStringList{u"/configuration.json could not be read"_s, u"loaded its backup configuration.json.bak instead"_s,
                       u"configuration.json.unreadable"_s};
    QTest::newRow("unreadable main, no backup")
        << typo << absent << absent << QStringList{u"started with a new panel"_s, u"configuration.json.unreadable"_s};
    QTest::newRow("both unreadable")
        << typo << QByteArray("[]") << absent
        << QStringList{u"nor its backup"_s, u"started with a new panel"_s, u"configuration.json.unreadable"_s,
                       u"configuration.json.bak.unreadable"_s};
    QTest::newRow("missing main, unreadable backup")
        << absent << QByteArray("") << absent
        << QStringList{u"is missing"_s, u"started with a new panel"_s, u"configuration.json.bak.unreadable"_s};
    QTest::newRow("an older kept file takes the first name")
        << typo << good << QByteArray("older") << QStringList{u"configuration.json.unreadable.2"_s};
}

void TestSystemConfigurationStorage::loadProblemNamesTheFiles()
{
    QFETCH(QByteArray, main);
    QFETCH(QByteArray, backup);
    QFETCH(QByteArray, olderKept);
    QFETCH(QStringList, mentions);
    QTemporaryDir directory;
    SystemConfigurationStorage storage(directory.filePath(u"configuration.json"_s));
    writeFiles(storage, main, backup, olderKept);
    (void)storage.load();

    const QString problem = storage.loadProblem();
    QCOMPARE(problem.isEmpty(), mentions.isEmpty());
    QVERIFY2(!problem.contains(u'\n'), qPrintable(problem));
    for (const QString &mention : mentions)
        QVERIFY2(problem.contains(mention), qPrintable(problem));
    // The names told are those the next save keeps the files under (a backup that was never
    // read is kept too, but nothing was told about it).
    QVERIFY(storage.save(SampleConfiguration::make(5, 1)));
    for (const QString &name : keptFiles(directory.path()).keys()) {
        if (!mentions.isEmpty() && (name != u"configuration.json.unreadable"_s || olderKept == absent))
            QVERIFY2(problem.contains(name), qPrintable(name));
    }
}

QTEST_APPLESS_MAIN(TestSystemConfigurationStorage)
#include "tst_systemconfigurationstorage.moc"
