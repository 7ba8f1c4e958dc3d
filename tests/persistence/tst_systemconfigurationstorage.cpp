#include "documentfixtures.h"
#include "sampleconfiguration.h"

#include "persistence/configurationdocument.h"
#include "persistence/systemconfigurationstorage.h"

#include <QDir>
#include <QFile>
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
    void unreadableMainFileIsKept_data();
    void unreadableMainFileIsKept();
    void mainFileEditedAfterLoadIsChecked();
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

void TestSystemConfigurationStorage::unreadableMainFileIsKept_data()
{
    QTest::addColumn<QByteArray>("main");
    QTest::addColumn<QByteArray>("olderKept");
    QTest::addColumn<bool>("loadFirst");
    QTest::addColumn<QByteArray>("expectedKept");

    const QByteArray typo = namedPanels("Typo").replace("\"name\":", "\"name\"");
    const QByteArray newer = namedPanels("Future", "17");
    QTest::newRow("typo, loaded first") << typo << absent << true << typo;
    QTest::newRow("typo, saved without loading") << typo << absent << false << typo;
    QTest::newRow("typo replaces an older kept file") << typo << QByteArray("older") << true << typo;
    QTest::newRow("newer version, loaded first") << newer << absent << true << newer;
    QTest::newRow("newer version, saved without loading") << newer << absent << false << newer;
    QTest::newRow("readable main is simply replaced") << namedPanels("Old") << absent << true << absent;
    QTest::newRow("readable main, saved without loading") << namedPanels("Old") << absent << false << absent;
    QTest::newRow("no main file") << absent << absent << true << absent;
    QTest::newRow("empty main file") << QByteArray("") << absent << false << QByteArray("");
}

void TestSystemConfigurationStorage::unreadableMainFileIsKept()
{
    QFETCH(QByteArray, main);
    QFETCH(QByteArray, olderKept);
    QFETCH(bool, loadFirst);
    QFETCH(QByteArray, expectedKept);
    QTemporaryDir directory;
    SystemConfigurationStorage storage(directory.filePath(u"configuration.json"_s));
    writeFile(storage.filePath(), main);
    writeFile(storage.backupFilePath(), namedPanels("Backup"));
    writeFile(storage.unreadableFilePath(), olderKept);
    if (loadFirst)
        (void)storage.load();

    const QList<Panel> panels = SampleConfiguration::make(10, 3);
    QVERIFY(storage.save(panels));
    QCOMPARE(readFile(storage.unreadableFilePath()), expectedKept);
    QCOMPARE(readFile(storage.filePath()), ConfigurationDocument(panels).toJson());
    // Later saves replace the program's own file without keeping anything more.
    QVERIFY(storage.save(SampleConfiguration::make(12, 4)));
    QCOMPARE(readFile(storage.unreadableFilePath()), expectedKept);
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
    QCOMPARE(readFile(storage.unreadableFilePath()), edited);
}

QTEST_APPLESS_MAIN(TestSystemConfigurationStorage)
#include "tst_systemconfigurationstorage.moc"
