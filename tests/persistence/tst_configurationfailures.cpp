// Saving under hostile conditions, in a child process: killed at random moments, out of disk
// space, or without permission to write.

#include "sanitizers.h"
#include "saverplan.h"

#include "persistence/atomicfile.h"
#include "persistence/configurationdocument.h"
#include "persistence/systemconfigurationstorage.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString saver = QStringLiteral(QUAYROW_CONFIGURATION_SAVER);

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs one save in the child; its exit status and standard error.
std::pair<int, QByteArray> saveInChild(const QString &file, int index, const QStringList &options)
{
    QProcess child;
    child.start(saver, QStringList{u"save"_s, file, u"11"_s, QString::number(index)} + options);
    if (!child.waitForFinished(30000) || child.exitStatus() != QProcess::NormalExit)
        return {-1, child.readAllStandardError()};
    return {child.exitCode(), child.readAllStandardError()};
}

// Which of the numbered configurations `panels` equals; -1 for none.
int indexAmong(const QList<Panel> &panels, quint32 seed, const QList<int> &candidates)
{
    for (const int index : candidates) {
        if (panels == SaverPlan::panels(seed, index))
            return index;
    }
    return -1;
}

} // namespace

class TestConfigurationFailures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedWhileSavingLeavesACompleteConfiguration_data();
    void killedWhileSavingLeavesACompleteConfiguration();
    void exitWritesTheLastConfiguration();
    void diskFullKeepsPreviousFiles();
    void readOnlyFolderKeepsPreviousFiles();
    void plantedFilesAreNeverFollowed_data();
    void plantedFilesAreNeverFollowed();
    void hugeConfigurationFailsInsteadOfAborting_data();
    void hugeConfigurationFailsInsteadOfAborting();
};

void TestConfigurationFailures::killedWhileSavingLeavesACompleteConfiguration_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("window"); // how many configurations past the last reported may be on disk

    QTest::newRow("saved directly") << u"loop"_s << 1;
    QTest::newRow("saved in the background") << u"background-loop"_s << SaverPlan::backgroundBatch;
}

void TestConfigurationFailures::killedWhileSavingLeavesACompleteConfiguration()
{
    QFETCH(QString, mode);
    QFETCH(int, window);
    QTemporaryDir directory;
    const QString file = directory.filePath(u"configuration.json"_s);
    const quint32 seed = 1000;
    QRandomGenerator random(20240601);

    int lastSaved = 0;
    int backupIndex = 0;
    QVERIFY(SystemConfigurationStorage(file).save(SaverPlan::panels(seed, lastSaved)));
    int next = 1;
    for (int round = 0; round < 200; ++round) {
        QProcess child;
        child.start(saver, {mode, file, QString::number(seed), QString::number(next)});
        QVERIFY(child.waitForStarted());
        // Let it complete a few saves, then kill it somewhere inside the next ones.
        const int wantedSaves = random.bounded(3);
        int reported = 0;
        int lastReported = -1;
        while (reported < wantedSaves && child.waitForReadyRead(10000)) {
            while (child.canReadLine()) {
                lastReported = child.readLine().trimmed().toInt();
                ++reported;
            }
        }
        QElapsedTimer spin;
        spin.start();
        const qint64 delay = random.bounded(3000) * 1000;
        while (spin.nsecsElapsed() < delay) {
        }
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished());
        while (child.canReadLine())
            lastReported = child.readLine().trimmed().toInt();

        // The newest completed save, or one handed over after it when it got as far as the rename.
        const int completed = lastReported >= 0 ? lastReported : lastSaved;
        const int inProgress = lastReported >= 0 ? lastReported + 1 : next;
        QList<int> candidates{completed};
        for (int index = inProgress; index < inProgress + window; ++index)
            candidates.append(index);
        SystemConfigurationStorage storage(file);
        const std::optional<QList<Panel>> loaded = storage.load();
        QVERIFY2(loaded, qPrintable(u"nothing loaded after round %1"_s.arg(round)));
        const int loadedIndex = indexAmong(*loaded, seed, candidates);
        QVERIFY2(loadedIndex >= 0, qPrintable(u"round %1: the configuration is none of those saved"_s.arg(round)));
        // Each file on its own is whole: the main file holds the loaded save, the backup that
        // save or an earlier one whose backup step was reached.
        const auto main = SystemConfigurationStorage::readDocument(file);
        QVERIFY2(main && indexAmong(main->makePanels(), seed, {loadedIndex}) >= 0,
                 qPrintable(u"round %1: main file is not the loaded save"_s.arg(round)));
        const auto backup = SystemConfigurationStorage::readDocument(storage.backupFilePath());
        QVERIFY2(backup, qPrintable(u"round %1: unreadable backup"_s.arg(round)));
        backupIndex = indexAmong(backup->makePanels(), seed, candidates + QList<int>{lastSaved, backupIndex});
        QVERIFY2(backupIndex >= 0, qPrintable(u"round %1: backup is none of the saves"_s.arg(round)));
        // Whatever else a kill leaves are the writer's temporary files, which a later start removes.
        for (const QString &name : QDir(directory.path()).entryList(QDir::Files | QDir::Hidden)) {
            QVERIFY2(name == u"configuration.json"_s || name == u"configuration.json.bak"_s
                         || AtomicFile::isTemporaryFileName(name),
                     qPrintable(u"round %1: %2"_s.arg(round).arg(name)));
        }
        lastSaved = loadedIndex;
        next = inProgress + window;
    }
}

void TestConfigurationFailures::exitWritesTheLastConfiguration()
{
    QTemporaryDir directory;
    const QString file = directory.filePath(u"configuration.json"_s);
    QProcess child;
    child.start(saver, {u"exit"_s, file, u"12"_s, u"5"_s});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    QCOMPARE(SystemConfigurationStorage(file).load(), std::optional(SaverPlan::panels(12, 5)));
}

void TestConfigurationFailures::diskFullKeepsPreviousFiles()
{
    QTemporaryDir directory;
    SystemConfigurationStorage storage(directory.filePath(u"configuration.json"_s));
    QVERIFY(storage.save(SaverPlan::panels(11, 1)));
    const QByteArray main = readFile(storage.filePath());
    const QByteArray backup = readFile(storage.backupFilePath());

    // Room for a few kilobytes only: the new document (about 100 kB) does not fit.
    const auto [status, error] = saveInChild(storage.filePath(), 7, {u"--file-size-limit"_s, u"4096"_s});
    QCOMPARE(status, 3);
    QVERIFY2(error.contains("configuration.json"), error.constData());
    QCOMPARE(readFile(storage.filePath()), main);
    QCOMPARE(readFile(storage.backupFilePath()), backup);
    QCOMPARE(QDir(directory.path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{u"configuration.json"_s, u"configuration.json.bak"_s}));
    // The same save succeeds when space allows.
    QCOMPARE(saveInChild(storage.filePath(), 7, {}).first, 0);
    QCOMPARE(SystemConfigurationStorage(storage.filePath()).load(), std::optional<QList<Panel>>(SaverPlan::panels(11, 7)));
}

void TestConfigurationFailures::readOnlyFolderKeepsPreviousFiles()
{
    QTemporaryDir directory;
    const QString folder = directory.filePath(u"Quayrow 2"_s);
    SystemConfigurationStorage storage(folder + u"/configuration.json"_s);
    QVERIFY(storage.save(SaverPlan::panels(11, 1)));
    const QByteArray main = readFile(storage.filePath());
    const QByteArray backup = readFile(storage.backupFilePath());

    QStringList options;
    if (::geteuid() == 0) {
        // Root writes anywhere: the child drops to "nobody", which may enter but not write.
        QVERIFY(::chmod(QFile::encodeName(directory.path()).constData(), 0755) == 0);
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0755) == 0);
        options = {u"--as-nobody"_s};
    } else {
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0555) == 0);
    }
    const auto [status, error] = saveInChild(storage.filePath(), 7, options);
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    if (status == 4)
        QSKIP("the child could not switch to the user \"nobody\"");
    QCOMPARE(status, 3);
    QVERIFY2(error.contains("configuration.json"), error.constData());
    QCOMPARE(readFile(storage.filePath()), main);
    QCOMPARE(readFile(storage.backupFilePath()), backup);
}

void TestConfigurationFailures::plantedFilesAreNeverFollowed_data()
{
    QTest::addColumn<QString>("name"); // planted beside the configuration
    QTest::addColumn<bool>("fifo");    // a FIFO, or else a link to a file outside the folder

    QTest::newRow("FIFO at the backup's old temporary name") << u"configuration.json.bak.tmp"_s << true;
    QTest::newRow("link at the backup's old temporary name") << u"configuration.json.bak.tmp"_s << false;
    QTest::newRow("link as the backup") << u"configuration.json.bak"_s << false;
    QTest::newRow("FIFO as the backup") << u"configuration.json.bak"_s << true;
    QTest::newRow("FIFO as the main file") << u"configuration.json"_s << true;
}

void TestConfigurationFailures::plantedFilesAreNeverFollowed()
{
    QFETCH(QString, name);
    QFETCH(bool, fifo);
    QTemporaryDir outside;
    const QString victim = outside.filePath(u"victim"_s);
    QFile victimFile(victim);
    QVERIFY(victimFile.open(QIODevice::WriteOnly) && victimFile.write("not to be touched") > 0);
    victimFile.close();
    QTemporaryDir directory;
    SystemConfigurationStorage storage(directory.filePath(u"configuration.json"_s));
    QVERIFY(storage.save(SaverPlan::panels(11, 1)));
    const QString planted = directory.filePath(name);
    QFile::remove(planted);
    if (fifo)
        QVERIFY(::mkfifo(QFile::encodeName(planted).constData(), 0600) == 0);
    else
        QVERIFY(QFile::link(victim, planted));

    // In a child: a save that opens the FIFO would wait for a reader forever.
    const auto [status, error] = saveInChild(storage.filePath(), 7, {});
    QVERIFY2(status == 0, error.constData());
    QCOMPARE(readFile(victim), QByteArray("not to be touched"));
    const QByteArray saved = ConfigurationDocument(SaverPlan::panels(11, 7)).toJson();
    QCOMPARE(readFile(storage.filePath()), saved);
    QCOMPARE(readFile(storage.backupFilePath()), saved);
    QVERIFY(!QFileInfo(storage.backupFilePath()).isSymLink());
    // A plant that was not in the way stays as it was; one that was is kept aside, not followed.
    struct stat plant {};
    const QString left = name.endsWith(u".tmp") ? planted : planted + u".unreadable"_s;
    QVERIFY(::lstat(QFile::encodeName(left).constData(), &plant) == 0);
    QVERIFY(fifo ? S_ISFIFO(plant.st_mode) : S_ISLNK(plant.st_mode));
}

void TestConfigurationFailures::hugeConfigurationFailsInsteadOfAborting_data()
{
    QTest::addColumn<int>("panels");              // minimal panels: about 300 bytes in memory, 900 written
    QTest::addColumn<qint64>("addressSpaceLimit"); // 0: none
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("errorContains");

    constexpr qint64 mebibyte = 1024 * 1024;
    // Reserving a fixed 2 KB per panel asked for 410 MB here, aborting with bad_alloc.
    QTest::newRow("fits in memory at its real size") << 200000 << 450 * mebibyte << 0 << QByteArray();
    QTest::newRow("memory runs out while writing") << 200000 << 200 * mebibyte << 3 << QByteArray("not enough memory");
    // About 290 MB: beyond what a load accepts, so it is not written over a file that loads.
    QTest::newRow("larger than any loadable file") << 320000 << qint64(0) << 3 << QByteArray("more than 268435456 bytes");
}

void TestConfigurationFailures::hugeConfigurationFailsInsteadOfAborting()
{
    QFETCH(int, panels);
    QFETCH(qint64, addressSpaceLimit);
    QFETCH(QByteArray, errorContains);
    if (underAddressSanitizer && addressSpaceLimit > 0)
        QSKIP("the address sanitizer needs more address space than the limit");
    QTemporaryDir directory;
    SystemConfigurationStorage storage(directory.filePath(u"configuration.json"_s));
    QVERIFY(storage.save(SaverPlan::panels(11, 1)));
    const QByteArray main = readFile(storage.filePath());

    QStringList options{u"--minimal-panels"_s, QString::number(panels)};
    if (addressSpaceLimit > 0)
        options << u"--address-space-limit"_s << QString::number(addressSpaceLimit);
    const auto [status, error] = saveInChild(storage.filePath(), 7, options);
    QTEST(status, "status");
    QVERIFY2(error.contains(errorContains), error.constData());
    if (status != 0) {
        QCOMPARE(readFile(storage.filePath()), main);
        QCOMPARE(readFile(storage.backupFilePath()), main);
    } else {
        const auto saved = SystemConfigurationStorage::readDocument(storage.filePath());
        QVERIFY(saved);
        QCOMPARE(saved->makePanels().size(), panels);
    }
}

QTEST_GUILESS_MAIN(TestConfigurationFailures)
#include "tst_configurationfailures.moc"
