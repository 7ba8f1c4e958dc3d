#include "storefixture.h"

#include "persistence/customiconstorage.h"
#include "persistence/systemconfigurationstorage.h"
#include "store/cachingcustomiconstorage.h"

#include <QDir>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

class TestAppStoreItems : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void addItems_data();
    void addItems();
    void addedLocationsSurviveSaveAndLoad();
    void groupNamingRenamingAndFrames();
    void removeItem_data();
    void removeItem();
    void runningApps();
    void opensLinks_data();
    void opensLinks();
    void iconFilesFollowTheirItems();
    void sharedIconFileIsKeptWhileReferenced();
    void sharedIconFileOutlivesRemovalOfOneUser_data();
    void sharedIconFileOutlivesRemovalOfOneUser();
    void defaultIconStorageLivesBesideTheConfiguration();
    void randomCommandsLeaveExactlyTheReferencedFiles_data();
    void randomCommandsLeaveExactlyTheReferencedFiles();

private:
    QUrl picture(const char *format = "png") const;
    QSet<QString> iconFiles() const;

    std::unique_ptr<QTemporaryDir> m_temp;
};

namespace {

QUrl file(const QString &path)
{
    return QUrl::fromLocalFile(path);
}

// Active tab: /a, /b and group G (/g1, /g2). Other tab: /o and the empty group H.
Panel samplePanel()
{
    const ItemGroup g{.name = QStringLiteral("G"), .links = {linkTo(QStringLiteral("/g1")), linkTo(QStringLiteral("/g2"))}};
    return panelWith(QStringLiteral("P"), {tabNamed(QStringLiteral("Main"), {linkTo(QStringLiteral("/a")), linkTo(QStringLiteral("/b")), g}),
                                           tabNamed(QStringLiteral("Other"), {linkTo(QStringLiteral("/o")), ItemGroup{.name = QStringLiteral("H")}})});
}

QString describe(const QList<Item> &items)
{
    QStringList parts;
    for (const Item &item : items)
        parts.append(item.isLink() ? item.link()->location.toLocalFile() : item.group()->name);
    return parts.join(u' ');
}

QSet<QString> referencedIconFiles(const QList<Panel> &panels)
{
    QSet<QString> names;
    for (const Panel &panel : panels) {
        for (const QString &name : panel.customIconFileNames())
            names.insert(name);
    }
    return names;
}

// A store over in-memory services, except for icons: real files in `iconDirectory`.
struct Fixture
{
    Fixture(const QString &iconDirectory, const QList<Panel> &panels = {samplePanel()})
        : store([&] {
              AppStoreServices taken = services.take();
              taken.icons = std::make_unique<SystemCustomIconStorage>(iconDirectory);
              return taken;
          }(), panels)
    {
    }

    const Panel &panel() const { return store.panels().first(); }
    QUuid p() const { return panel().id(); }
    QUuid id(int tab, int item) const { return panel().tabs().at(tab).items.at(item).id(); }
    QUuid member(int index) const { return panel().tabs().at(0).items.at(2).group()->links.at(index).id; }
    QString active() const { return describe(panel().activeTab().items); }

    InMemoryServices services; // services.icons is replaced: not to be used
    AppStore store;
};

} // namespace

void TestAppStoreItems::init()
{
    m_temp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_temp->isValid());
}

QUrl TestAppStoreItems::picture(const char *format) const
{
    const QString path = m_temp->filePath(QStringLiteral("source.") + QLatin1String(format));
    QImage image(20, 10, QImage::Format_ARGB32);
    image.fill(Qt::darkCyan);
    if (!QFile::exists(path) && !image.save(path, format))
        QFile(path).open(QIODevice::WriteOnly); // a format nobody can write: an empty, undecodable file
    return file(path);
}

QSet<QString> TestAppStoreItems::iconFiles() const
{
    const QStringList names = QDir(m_temp->filePath(QStringLiteral("Icons"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    return QSet<QString>(names.cbegin(), names.cend());
}

void TestAppStoreItems::addItems_data()
{
    QTest::addColumn<QList<QUrl>>("locations");
    QTest::addColumn<bool>("beforeSecond");
    QTest::addColumn<QString>("expected"); // empty: unchanged and not saved

    const QList<QUrl> three{file(QStringLiteral("/x")), file(QStringLiteral("/y")), file(QStringLiteral("/z"))};
    QTest::newRow("three before the second item, in order") << three << true << "/a /x /y /z /b G";
    QTest::newRow("nothing to insert before: at the end") << three << false << "/a /b G /x /y /z";
    QTest::newRow("unstorable locations are skipped")
        << QList<QUrl>{QUrl(QStringLiteral("https://example.org/")), file(QStringLiteral("rel")), QUrl(), file(QStringLiteral("/x"))}
        << false << "/a /b G /x";
    QTest::newRow("nothing usable") << QList<QUrl>{QUrl()} << false << "";
    QTest::newRow("a file URL naming another host is skipped")
        << QList<QUrl>{QUrl(QStringLiteral("file://fileserver/share/x.pdf")), file(QStringLiteral("/x"))} << false << "/a /b G /x";
    QTest::newRow("localhost names a local path")
        << QList<QUrl>{QUrl(QStringLiteral("file://localhost/x")), QUrl(QStringLiteral("file://LOCALHOST/y"))} << false
        << "/a /b G /x /y";
}

void TestAppStoreItems::addedLocationsSurviveSaveAndLoad()
{
    const QString path = m_temp->filePath(QStringLiteral("configuration.json"));
    InMemoryServices services;
    AppStoreServices taken = services.take();
    taken.storage = std::make_unique<SystemConfigurationStorage>(path);
    AppStore store(std::move(taken), QList<Panel>{samplePanel()});
    const Panel &panel = store.panels().first();
    store.addItems({QUrl(QStringLiteral("file://fileserver/share/x.pdf")), QUrl(QStringLiteral("file://localhost/home/u/a.pdf")),
                    QUrl(QStringLiteral("file:////srv/b")), QUrl(QStringLiteral("file:///c%20d%23e")), file(QStringLiteral("/f/"))},
                   std::nullopt, panel.activeTabID(), panel.id());
    QCOMPARE(describe(store.panels().first().activeTab().items), QStringLiteral("/a /b G /home/u/a.pdf /srv/b /c d#e /f/"));
    QCOMPARE(SystemConfigurationStorage(path).load(), std::optional<QList<Panel>>(store.panels()));
}

void TestAppStoreItems::addItems()
{
    QFETCH(QList<QUrl>, locations);
    QFETCH(bool, beforeSecond);
    QFETCH(QString, expected);

    Fixture f(m_temp->filePath(QStringLiteral("Icons")));
    f.store.addItems(locations, beforeSecond ? std::optional(f.id(0, 1)) : std::nullopt, f.panel().activeTabID(), f.p());
    QCOMPARE(f.active(), expected.isEmpty() ? QStringLiteral("/a /b G") : expected);
    QCOMPARE(f.services.storage->saveCount, expected.isEmpty() ? 0 : 1);
    for (const Item &item : f.panel().activeTab().items)
        QVERIFY(item.isGroup() || (!item.link()->bookmark && !item.customIcon()));
}

void TestAppStoreItems::groupNamingRenamingAndFrames()
{
    Fixture f(m_temp->filePath(QStringLiteral("Icons")));
    f.store.addGroup(f.p()); // G here and H in the other tab make it the third
    QCOMPARE(f.active(), QStringLiteral("/a /b G Group 3"));
    QCOMPARE(f.store.expandedGroupID(), std::nullopt);

    f.store.beginRenamingGroup(f.id(0, 2));
    f.store.renameGroup(f.id(0, 2), QStringLiteral(" \n"), f.p());
    QCOMPARE(f.store.editingGroupID(), std::nullopt);
    QCOMPARE(f.store.expandedGroupID(), f.id(0, 2));
    f.store.renameGroup(f.id(1, 1), QStringLiteral("  Tools\n"), f.p());
    QCOMPARE(f.panel().tabs().at(1).items.at(1).group()->name, QStringLiteral("Tools"));
    QCOMPARE(f.services.storage->saveCount, 2);

    QSignalSpy frames(&f.store, &AppStore::groupIconScreenFramesChanged);
    for (const Rect &frame : {Rect{1, 2, 3, 4}, Rect{1, 2, 3, 4}, Rect{std::nan(""), 2, 3, 4}})
        f.store.updateGroupIconFrame(frame, f.id(0, 2));
    QCOMPARE(frames.count(), 1);
}

void TestAppStoreItems::removeItem_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("item"); // -1: the first member of G
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<AppStore::RemoveItemResult>("result");

    using R = AppStore::RemoveItemResult;
    QTest::newRow("link, unconfirmed") << 0 << 0 << false << R::Removed;
    QTest::newRow("group with links asks first") << 0 << 2 << false << R::NeedsConfirmation;
    QTest::newRow("group with links, confirmed") << 0 << 2 << true << R::Removed;
    QTest::newRow("member of a group") << 0 << -1 << true << R::NotFound;
    QTest::newRow("item of another tab") << 1 << 0 << true << R::NotFound;
}

void TestAppStoreItems::removeItem()
{
    QFETCH(int, tab);
    QFETCH(int, item);
    QFETCH(bool, confirmed);
    QFETCH(AppStore::RemoveItemResult, result);

    Fixture f(m_temp->filePath(QStringLiteral("Icons")));
    const QUuid target = item < 0 ? f.member(0) : f.id(tab, item);
    f.store.beginRenamingGroup(target);
    const int itemsBefore = int(f.panel().activeTab().items.size());
    QCOMPARE(f.store.removeItem(target, f.p(), confirmed), result);
    const bool removed = result == AppStore::RemoveItemResult::Removed;
    QCOMPARE(f.panel().activeTab().items.size(), itemsBefore - (removed ? 1 : 0));
    QCOMPARE(f.services.storage->saveCount, removed ? 1 : 0);
    QCOMPARE(f.store.expandedGroupID(), removed ? std::nullopt : std::optional(target));
    QCOMPARE(f.store.editingGroupID(), removed ? std::nullopt : std::optional(target));
}

void TestAppStoreItems::runningApps()
{
    Panel panel = samplePanel();
    InMemoryServices services;
    for (const char *path : {"/a", "/r1", "/g2/", "/x/../r2", "/b/./", "/o"})
        services.runningApps->running.append(file(QLatin1String(path)));
    AppStore store(services.take(), QList<Panel>{panel});
    QCOMPARE(store.runningApps(panel), QList<QUrl>());
    QVERIFY(!store.isRunning(file(QStringLiteral("/r1")), panel));

    panel.setShowsRunningApps(true, panel.activeTabID());
    QCOMPARE(store.runningApps(panel), (QList<QUrl>{file(QStringLiteral("/r1")), file(QStringLiteral("/x/../r2")), file(QStringLiteral("/o"))}));
    QVERIFY(store.isRunning(file(QStringLiteral("/r2/.")), panel));
    QVERIFY(!store.isRunning(file(QStringLiteral("/g1")), panel));
}

// Where a press and a middle click on a link go: a running application with windows comes
// forward on a press; a middle click asks for a new window where the application offers one.
void TestAppStoreItems::opensLinks_data()
{
    QTest::addColumn<bool>("hasWindows");
    QTest::addColumn<bool>("offersNewWindow");
    QTest::addColumn<bool>("isMiddleClick");
    QTest::addColumn<QString>("expected");

    QTest::newRow("press, no windows: launched") << false << false << false << "launched";
    QTest::newRow("press, windows: brought forward") << true << true << false << "forward";
    QTest::newRow("middle click, windows: new window") << true << true << true << "new window";
    QTest::newRow("middle click, no windows: new window") << false << true << true << "new window";
    QTest::newRow("middle click, single window: brought forward") << true << false << true << "forward";
    QTest::newRow("middle click on a file: opened") << false << false << true << "launched";
}

void TestAppStoreItems::opensLinks()
{
    QFETCH(bool, hasWindows);
    QFETCH(bool, offersNewWindow);
    QFETCH(bool, isMiddleClick);
    QFETCH(QString, expected);

    const ItemLink link = linkTo(QStringLiteral("/apps/editor.desktop"));
    InMemoryServices services;
    if (hasWindows)
        services.runningApps->withWindows.append(link.location);
    if (offersNewWindow)
        services.launcher->withNewWindow.append(link.location);
    InMemoryItemLauncher &launcher = *services.launcher;
    InMemoryRunningApplicationsLookup &running = *services.runningApps;
    AppStore store(services.take(), QList<Panel>{samplePanel()});
    if (isMiddleClick)
        store.openNewWindow(link, 42);
    else
        store.launch(link, 42);

    const QList<QUrl> one{link.location};
    QCOMPARE(launcher.launched, expected == u"launched" ? one : QList<QUrl>());
    QCOMPARE(running.broughtForward, expected == u"forward" ? one : QList<QUrl>());
    QCOMPARE(launcher.newWindows, expected == u"new window" ? one : QList<QUrl>());
}

void TestAppStoreItems::iconFilesFollowTheirItems()
{
    Fixture f(m_temp->filePath(QStringLiteral("Icons")));
    const QUuid a = f.id(0, 0), b = f.id(0, 1), g = f.id(0, 2), g1 = f.member(0);
    using R = AppStore::SetCustomIconResult;
    QCOMPARE(f.store.setCustomIcon(picture("txt"), a, f.p()), R::NotAnImage);
    QVERIFY(iconFiles().isEmpty());
    for (const QUuid &id : {a, a, b, g, g1, f.member(1)})
        QCOMPARE(f.store.setCustomIcon(picture(), id, f.p()), R::Set);
    QCOMPARE(f.store.setCustomIcon(picture("txt"), a, f.p()), R::NotAnImage); // keeps the earlier picture
    QCOMPARE(iconFiles().size(), 5);
    QCOMPARE(f.panel().customIconFileName(a), AppStore::customIconFileName(a));
    QCOMPARE(f.store.customIconImage(a, f.p())->size(), QSize(20, 10));

    f.store.moveIntoGroup(a, g, f.p()); // still shown, inside the group
    QCOMPARE(iconFiles().size(), 5);
    f.store.removeFromGroup(g1, g, f.p());
    f.store.clearCustomIcon(b, f.p());
    QCOMPARE(iconFiles().size(), 3);
    QCOMPARE(f.store.removeItem(g, f.p(), true), AppStore::RemoveItemResult::Removed); // with a and g2
    QVERIFY(iconFiles().isEmpty());
}

void TestAppStoreItems::sharedIconFileIsKeptWhileReferenced()
{
    // A loaded configuration may point two items at one file not named after either.
    Panel panel = samplePanel();
    const QUuid a = panel.activeTab().items.at(0).id(), b = panel.activeTab().items.at(1).id();
    const QString shared = QStringLiteral("shared.png");
    QVERIFY(panel.setCustomIcon(shared, a) && panel.setCustomIcon(shared, b));
    QVERIFY(SystemCustomIconStorage(m_temp->filePath(QStringLiteral("Icons"))).importImage(picture(), shared));
    Fixture f(m_temp->filePath(QStringLiteral("Icons")), {panel});

    f.store.removeItem(a, f.p(), false);
    QCOMPARE(iconFiles(), QSet<QString>{shared});
    f.store.setCustomIcon(picture(), b, f.p());
    QCOMPARE(iconFiles(), QSet<QString>{AppStore::customIconFileName(b)});
}

enum class SharerRemoval { Item, Tab, Panel };
Q_DECLARE_METATYPE(SharerRemoval)

void TestAppStoreItems::sharedIconFileOutlivesRemovalOfOneUser_data()
{
    QTest::addColumn<SharerRemoval>("removal");
    QTest::newRow("removing an item") << SharerRemoval::Item;
    QTest::newRow("removing a tab") << SharerRemoval::Tab;
    QTest::newRow("removing a panel") << SharerRemoval::Panel;
}

void TestAppStoreItems::sharedIconFileOutlivesRemovalOfOneUser()
{
    QFETCH(SharerRemoval, removal);
    // A loaded configuration may point several items at one file not named after any of them:
    // /a and /o of the first panel and /a of the second.
    Panel first = samplePanel();
    Panel second = samplePanel();
    const QUuid a = first.activeTab().items.at(0).id();
    const QString shared = QStringLiteral("shared.png");
    QVERIFY(first.setCustomIcon(shared, a) && first.setCustomIcon(shared, first.tabs().at(1).items.at(0).id()));
    QVERIFY(second.setCustomIcon(shared, second.activeTab().items.at(0).id()));
    QVERIFY(SystemCustomIconStorage(m_temp->filePath(QStringLiteral("Icons"))).importImage(picture(), shared));
    Fixture f(m_temp->filePath(QStringLiteral("Icons")), {first, second});

    switch (removal) {
    case SharerRemoval::Item:
        QCOMPARE(f.store.removeItem(a, f.p(), false), AppStore::RemoveItemResult::Removed);
        break;
    case SharerRemoval::Tab:
        QCOMPARE(f.store.removeTab(first.tabs().at(1).id, f.p(), true), AppStore::RemoveTabResult::Removed);
        break;
    case SharerRemoval::Panel:
        QCOMPARE(f.store.removePanel(second.id(), true), AppStore::RemovePanelResult::Removed);
        break;
    }
    QCOMPARE(iconFiles(), QSet<QString>{shared});
}

void TestAppStoreItems::defaultIconStorageLivesBesideTheConfiguration()
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_temp->path()));
    InMemoryServices services;
    AppStoreServices taken = services.take();
    taken.icons.reset();
    AppStore store(std::move(taken), QList<Panel>{});
    qputenv("XDG_CONFIG_HOME", saved);

    const auto *cache = dynamic_cast<const CachingCustomIconStorage *>(&store.icons());
    QVERIFY(cache);
    const auto *storage = dynamic_cast<const SystemCustomIconStorage *>(&cache->stored());
    QVERIFY(storage);
    QCOMPARE(storage->directory(), m_temp->path() + QStringLiteral("/Quayrow 2/Icons"));
    QVERIFY(!QFileInfo::exists(storage->directory()));
}

void TestAppStoreItems::randomCommandsLeaveExactlyTheReferencedFiles_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {1u, 2u, 3u, 4u})
        QTest::addRow("seed %u", seed) << seed;
}

void TestAppStoreItems::randomCommandsLeaveExactlyTheReferencedFiles()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    Panel second = samplePanel();
    second.selectTab(second.tabs().at(1).id);
    Fixture f(m_temp->filePath(QStringLiteral("Icons")), {samplePanel(), second});

    // Ids that usually fit the command: top-level items, groups, members with their group;
    // now and then one that names nothing.
    const auto pick = [&](QList<QUuid> ids) { return ids.append(QUuid::createUuid()), ids.at(random.bounded(ids.size())); };
    const auto maybe = [&](const QUuid &id) { return random.bounded(3) == 0 ? std::nullopt : std::optional(id); };
    struct Ids { QList<QUuid> items, groups, members, memberGroups; };
    const auto idsOf = [](const Panel &panel) {
        Ids ids;
        for (const PanelTab &tab : panel.tabs()) {
            for (const Item &item : tab.items) {
                ids.items.append(item.id());
                if (const ItemGroup *group = item.group()) {
                    ids.groups.append(group->id);
                    for (const ItemLink &member : group->links)
                        ids.members.append(member.id), ids.memberGroups.append(group->id);
                }
            }
        }
        return ids;
    };
    const auto locations = [&] { return QList<QUrl>(random.bounded(1, 3), file(QStringLiteral("/app"))); };

    for (int step = 0; step < 400; ++step) {
        const Panel &panel = f.store.panels().at(random.bounded(2));
        const QUuid p = panel.id();
        const Ids ids = idsOf(panel);
        const int m = ids.members.isEmpty() ? -1 : int(random.bounded(ids.members.size()));
        const QUuid member = m < 0 ? QUuid::createUuid() : ids.members.at(m);
        const QUuid memberGroup = m < 0 ? QUuid::createUuid() : ids.memberGroups.at(m);
        const int command = random.bounded(12);
        switch (command) {
        case 0: f.store.addItems(locations(), maybe(pick(ids.items)), panel.tabs().last().id, p); break;
        case 1: f.store.addItemsToGroup(locations(), pick(ids.groups), p); break;
        case 2: f.store.addItemsToGroup(locations(), maybe(member), memberGroup, p); break;
        case 3: f.store.addGroup(p); break;
        case 4: f.store.moveItem(pick(ids.items), maybe(pick(ids.items)), p); break;
        case 5: f.store.moveIntoGroup(pick(ids.items), pick(ids.groups), p); break;
        case 6: f.store.moveLinkWithinGroup(member, maybe(pick(ids.members)), memberGroup, p); break;
        case 7: f.store.removeFromGroup(member, memberGroup, p); break;
        case 8: f.store.removeItem(pick(ids.items), p, random.bounded(2) == 0); break;
        case 9: f.store.clearCustomIcon(pick(ids.items + ids.members), p); break;
        default: f.store.setCustomIcon(picture(random.bounded(4) ? "png" : "txt"), pick(ids.items + ids.members), p);
        }
        if (iconFiles() != referencedIconFiles(f.store.panels())) {
            qWarning("seed %u, step %d, command %d", seed, step, command);
            QCOMPARE(iconFiles(), referencedIconFiles(f.store.panels()));
        }
    }
}

QTEST_GUILESS_MAIN(TestAppStoreItems)
#include "tst_appstore_items.moc"
