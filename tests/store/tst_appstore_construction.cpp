#include "inmemoryservices.h"

#include "model/defaultname.h"
#include "store/appstore.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

class TestAppStoreConstruction : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startingPoint_data();
    void startingPoint();
    void requestIDsAreFreshAndDistinct();
    void runningApplicationChangesCountOnTheMainThread();
    void runningApplicationChangeAfterTheStoreIsGoneDoesNothing();
    void equalAssignmentNotifiesNobody();
};

namespace {

enum class Stored { Nothing, Unreadable, EmptyList, OnePanel };

Panel namedPanel(const QString &name)
{
    PanelTab tab;
    tab.name = QStringLiteral("T");
    return Panel(PanelInit{.name = name, .tab = tab});
}

} // namespace

void TestAppStoreConstruction::startingPoint_data()
{
    QTest::addColumn<Stored>("stored");
    QTest::addColumn<std::optional<QList<Panel>>>("passed");
    QTest::addColumn<QString>("expectedFirstName"); // empty: no panels
    QTest::addColumn<int>("expectedItems");
    QTest::addColumn<int>("expectedSaves");

    const auto none = std::optional<QList<Panel>>();
    QTest::newRow("first launch: starters, saved at once") << Stored::Nothing << none << QStringLiteral("Panel 1") << 8 << 1;
    QTest::newRow("unreadable: one default panel, not saved") << Stored::Unreadable << none << QStringLiteral("Panel 1") << 0 << 0;
    QTest::newRow("stored empty list stays empty") << Stored::EmptyList << none << QString() << 0 << 0;
    QTest::newRow("stored panels are used") << Stored::OnePanel << none << QStringLiteral("Stored") << 0 << 0;
    QTest::newRow("passed empty list: one default panel, not saved")
        << Stored::Nothing << std::optional<QList<Panel>>(QList<Panel>()) << QStringLiteral("Panel 1") << 0 << 0;
    QTest::newRow("passed panels bypass the storage")
        << Stored::OnePanel << std::optional<QList<Panel>>(QList<Panel>{namedPanel(QStringLiteral("Passed"))})
        << QStringLiteral("Passed") << 0 << 0;
}

void TestAppStoreConstruction::startingPoint()
{
    QFETCH(Stored, stored);
    QFETCH(std::optional<QList<Panel>>, passed);
    QFETCH(QString, expectedFirstName);
    QFETCH(int, expectedItems);
    QFETCH(int, expectedSaves);

    InMemoryServices services;
    services.storage->hasStored = stored != Stored::Nothing;
    if (stored == Stored::EmptyList)
        services.storage->stored = QList<Panel>();
    if (stored == Stored::OnePanel)
        services.storage->stored = QList<Panel>{namedPanel(QStringLiteral("Stored"))};

    QList<QUrl> starters;
    for (int role = 0; role < 8; ++role)
        starters.append(QUrl::fromLocalFile(QStringLiteral("/apps/starter-%1.desktop").arg(role)));
    int asked = 0;
    AppStore store(services.take(), passed, [&] {
        ++asked;
        return starters;
    });

    // Resolving the desktop's applications is work a start does only when it uses them.
    QCOMPARE(asked, expectedItems ? 1 : 0);
    QCOMPARE(services.storage->saveCount, expectedSaves);
    if (expectedFirstName.isEmpty()) {
        QVERIFY(store.panels().isEmpty());
        return;
    }
    QCOMPARE(store.panels().size(), 1);
    const Panel &panel = store.panels().first();
    QCOMPARE(panel.name, expectedFirstName);
    QCOMPARE(panel.activeTab().items.size(), expectedItems);
    if (expectedSaves)
        QCOMPARE(*services.storage->lastSaved, store.panels());
    if (expectedItems) {
        QCOMPARE(panel.activeTab().name, DefaultName::firstTab());
        for (int i = 0; i < expectedItems; ++i)
            QCOMPARE(panel.activeTab().items.at(i).link()->location, starters.at(i));
        QCOMPARE(panel.windowLevel(), PanelWindowLevel::Normal);
        QCOMPARE(panel.placement(), PanelPlacement());
        QVERIFY(!panel.didRevealTabBar());
    }
}

void TestAppStoreConstruction::requestIDsAreFreshAndDistinct()
{
    InMemoryServices first;
    InMemoryServices second;
    AppStore a(first.take(), QList<Panel>());
    AppStore b(second.take(), QList<Panel>());
    const QList<QUuid> ids{a.bringToFrontRequestID(), a.showAllPanelsRequestID(), a.settingsRequestID(),
                           b.bringToFrontRequestID(), b.showAllPanelsRequestID(), b.settingsRequestID()};
    for (qsizetype i = 0; i < ids.size(); ++i) {
        QVERIFY(!ids.at(i).isNull());
        QCOMPARE(ids.count(ids.at(i)), 1);
    }
}

void TestAppStoreConstruction::runningApplicationChangesCountOnTheMainThread()
{
    InMemoryServices services;
    auto *lookup = services.runningApps;
    AppStore store(services.take(), QList<Panel>());
    QCOMPARE(lookup->observerCount(), 1);
    QSignalSpy spy(&store, &AppStore::runningAppsRevisionChanged);

    // Two from the main thread, one from a worker thread, as the system may do.
    lookup->notifyChange();
    lookup->notifyChange();
    QThread *worker = QThread::create([lookup] { lookup->notifyChange(); });
    worker->start();
    QVERIFY(worker->wait(5000));
    delete worker;
    QCOMPARE(store.runningAppsRevision(), 0); // scheduled, not yet run
    QTRY_COMPARE(store.runningAppsRevision(), 3);
    QCOMPARE(spy.count(), 3);
}

namespace {
// Forwards registrations to a lookup that outlives the store, as a system notifier does.
struct ForwardingLookup final : RunningApplicationsLookup
{
    explicit ForwardingLookup(InMemoryRunningApplicationsLookup *target) : target(target) {}
    QList<QUrl> runningApplications() override { return {}; }
    void observeChanges(std::function<void()> handler) override { target->observeChanges(std::move(handler)); }
    InMemoryRunningApplicationsLookup *target;
};
} // namespace

void TestAppStoreConstruction::runningApplicationChangeAfterTheStoreIsGoneDoesNothing()
{
    InMemoryRunningApplicationsLookup system;
    {
        InMemoryServices services;
        AppStoreServices taken = services.take();
        taken.runningAppsLookup = std::make_unique<ForwardingLookup>(&system);
        AppStore store(std::move(taken), QList<Panel>());
        system.notifyChange(); // scheduled while the store lives, delivered after it is gone
    }
    system.notifyChange();
    QCoreApplication::processEvents(); // must not touch the destroyed store
    QCOMPARE(system.observerCount(), 1);
}

void TestAppStoreConstruction::equalAssignmentNotifiesNobody()
{
    InMemoryServices services;
    AppStore store(services.take(), QList<Panel>());
    QSignalSpy spy(&store, &AppStore::dockVisibilityChanged);
    store.setDockVisibility(DockVisibility::Hidden);
    QCOMPARE(spy.count(), 0);
    store.setDockVisibility(DockVisibility::Visible);
    store.setDockVisibility(DockVisibility::Visible);
    QCOMPARE(spy.count(), 1);
}

QTEST_GUILESS_MAIN(TestAppStoreConstruction)
#include "tst_appstore_construction.moc"
