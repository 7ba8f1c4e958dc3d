// Saving on the writer thread: coalescing on a slow disk, failures logged once and healed, and
// flushes that wait for the last write but never longer than they were told.

#include "inmemoryservices.h"
#include "sampleconfiguration.h"
#include "slowedconfigurationstorage.h"

#include "persistence/backgroundconfigurationstorage.h"
#include "persistence/configurationdocument.h"
#include "persistence/systemconfigurationstorage.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <semaphore>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Fails every save while `failing` is set; otherwise keeps the list. Saves may wait for a permit.
class ScriptedStorage final : public ConfigurationStorage
{
public:
    std::atomic_bool failing = false;
    std::atomic_bool blocking = false;
    std::counting_semaphore<> permits{0};
    QList<Panel> stored;  // read only after a flush

    std::optional<QList<Panel>> load() override { return stored; }
    bool hasStoredConfiguration() const override { return true; }
    Result save(const QList<Panel> &panels) override
    {
        if (blocking)
            permits.acquire();
        if (failing)
            return Result::failure(u"the disk is full"_s);
        stored = panels;
        return Result::success();
    }
};

// One of a few commands that change the list, on a random target.
void randomCommand(AppStore &store, QRandomGenerator &random)
{
    // Copies: the command replaces the values the store holds.
    const Panel panel = store.panels().first();
    const QUuid panelID = panel.id();
    const PanelTab tab = panel.activeTab();
    switch (random.bounded(5)) {
    case 0:
        store.addItems({QUrl::fromLocalFile(u"/home/user/file %1"_s.arg(random.bounded(1000)))}, std::nullopt, tab.id, panelID);
        break;
    case 1:
        if (!tab.items.isEmpty())
            store.moveItem(tab.items.at(random.bounded(int(tab.items.size()))).id(), std::nullopt, panelID);
        break;
    case 2:
        store.renameTab(tab.id, u"Tab %1"_s.arg(random.bounded(100)), panelID);
        break;
    case 3:
        store.setIconSize(random.bounded(2) ? PanelIconSize::Small : PanelIconSize::Large, panelID);
        break;
    default:
        if (!tab.items.isEmpty())
            (void)store.removeItem(tab.items.first().id(), panelID, true);
        break;
    }
}

} // namespace

class TestBackgroundConfigurationStorage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void slowDiskCoalescesAndEndsWithTheFinalState();
    void failuresAreLoggedOnceAndHealed();
    void flushWaitsForTheLastWriteWithinItsTimeout();
    void loadReadsTheNewestSave();
};

void TestBackgroundConfigurationStorage::slowDiskCoalescesAndEndsWithTheFinalState()
{
    QTemporaryDir directory;
    const QString path = directory.filePath(u"configuration.json"_s);
    auto slowed = std::make_unique<SlowedConfigurationStorage>(std::make_unique<SystemConfigurationStorage>(path), 200ms);
    SlowedConfigurationStorage *disk = slowed.get();
    InMemoryServices services;
    AppStoreServices taken = services.take();
    taken.storage = std::make_unique<BackgroundConfigurationStorage>(std::move(slowed));
    AppStore store(std::move(taken), SampleConfiguration::make(500, 7).mid(0, 1));

    QRandomGenerator random(42);
    for (int command = 0; command < 1000; ++command)
        randomCommand(store, random);
    auto &background = static_cast<BackgroundConfigurationStorage &>(store.storage());
    QVERIFY(background.flush(30s));

    QVERIFY2(disk->saveCount() < 100, qPrintable(QString::number(disk->saveCount())));
    const QByteArray expected = ConfigurationDocument(store.panels()).toJson();
    QCOMPARE(readFile(path), expected);
    QCOMPARE(readFile(path + u".bak"_s), expected);
}

void TestBackgroundConfigurationStorage::failuresAreLoggedOnceAndHealed()
{
    auto scripted = std::make_unique<ScriptedStorage>();
    ScriptedStorage *disk = scripted.get();
    BackgroundConfigurationStorage storage(std::move(scripted));
    QTest::failOnWarning(QRegularExpression(u".*"_s));

    disk->failing = true;
    QTest::ignoreMessage(QtWarningMsg, "Could not save the configuration: the disk is full");
    for (quint32 seed = 1; seed <= 3; ++seed) {
        QVERIFY(storage.save(SampleConfiguration::make(10, seed)));
        QVERIFY(storage.flush());
    }
    disk->failing = false;
    QTest::ignoreMessage(QtInfoMsg, "The configuration is saved again");
    QVERIFY(storage.save(SampleConfiguration::make(10, 4)));
    QVERIFY(storage.flush());
    QCOMPARE(disk->stored, SampleConfiguration::make(10, 4));
}

void TestBackgroundConfigurationStorage::flushWaitsForTheLastWriteWithinItsTimeout()
{
    auto scripted = std::make_unique<ScriptedStorage>();
    ScriptedStorage *disk = scripted.get();
    disk->blocking = true;
    auto storage = std::make_unique<BackgroundConfigurationStorage>(std::move(scripted));
    QVERIFY(storage->save(SampleConfiguration::make(10, 1)));
    QVERIFY(storage->save(SampleConfiguration::make(10, 2)));
    QVERIFY(!storage->flush(20ms));
    QVERIFY(!BackgroundConfigurationStorage::flushAll(20ms));

    // The first write ends, and the second (the newest list) follows it.
    disk->permits.release(2);
    QVERIFY(storage->flush(10s));
    QCOMPARE(disk->stored, SampleConfiguration::make(10, 2));
    // The two lists may have been written as one: no permit is left over.
    while (disk->permits.try_acquire()) {
    }

    // A write that hangs at quit is left to finish on its own: the storage still goes away.
    QVERIFY(storage->save(SampleConfiguration::make(10, 3)));
    storage.reset();
    disk->permits.release();
}

void TestBackgroundConfigurationStorage::loadReadsTheNewestSave()
{
    QTemporaryDir directory;
    const QString path = directory.filePath(u"configuration.json"_s);
    BackgroundConfigurationStorage storage(
        std::make_unique<SlowedConfigurationStorage>(std::make_unique<SystemConfigurationStorage>(path), 50ms));
    QVERIFY(!storage.hasStoredConfiguration());
    QVERIFY(storage.save(SampleConfiguration::make(10, 1)));
    QVERIFY(storage.save(SampleConfiguration::make(10, 2)));
    QCOMPARE(storage.load(), std::optional(SampleConfiguration::make(10, 2)));
    QVERIFY(storage.hasStoredConfiguration());
}

QTEST_GUILESS_MAIN(TestBackgroundConfigurationStorage)
#include "tst_backgroundconfigurationstorage.moc"
