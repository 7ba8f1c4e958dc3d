// Every menu entry reaches its store command with the right arguments; removal alerts decide
// whether the second, confirmed call is made.

#include "uitestsupport.h"

#include "ui/itemtiles.h"
#include "ui/panelmenus.h"
#include "ui/panelview.h"
#include "ui/removalconfirmation.h"
#include "windows/panelscreens.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool trigger(const QMenu &menu, const QString &title)
{
    QAction *action = entry(menu, title);
    if (!action)
        return false;
    action->trigger();
    return true;
}

const QString ellipsis = u"\u2026"_qs;

} // namespace

class TestPanelMenus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void panelMenu();
    void removePanelAsksFirst_data();
    void removePanelAsksFirst();
    void linkMenu_data();
    void linkMenu();
    void customIcons();
    void runningApplicationMenu();
    void applicationEntriesComeFirst();
    void groupMenu();
    void alertsShowNamesAsPlainText();
    void menuOutlivesItsView();
};

void TestPanelMenus::panelMenu()
{
    UiFixture f({panelWith({tabWith(u"T"_qs, {linkTo(u"/apps/a.desktop"_qs)})})});
    const QUuid id = f.panel().id();
    QMenu menu;
    PanelMenus::addPanelEntries(menu, f.panel(), *f.store);
    QCOMPARE(titlesOf(menu), (QStringList{u"New Panel"_qs, u"Show All Panels"_qs, QString(), u"Add Item"_qs + ellipsis,
                                          u"New Group"_qs, QString(), u"New Tab"_qs, QString(),
                                          u"Panel Settings"_qs + ellipsis, u"Remove Panel"_qs}));
    QVERIFY(PanelMenus::isDestructive(entry(menu, u"Remove Panel"_qs)));
    QVERIFY(!PanelMenus::isDestructive(entry(menu, u"New Tab"_qs)));

    // "New Panel" goes to the screen under the pointer.
    QCursor::setPos(QGuiApplication::primaryScreen()->geometry().center());
    QVERIFY(trigger(menu, u"New Panel"_qs));
    QCOMPARE(f.store->panels().size(), 2);
    QCOMPARE(f.panel(1).placement().screenID, PanelScreens::panelScreenID(QGuiApplication::primaryScreen()));

    QVERIFY(trigger(menu, u"Show All Panels"_qs));
    QVERIFY(f.store->isRevealingAllPanels());

    f.fileSystem->locationsToChoose = {fileAt(u"/home/x.txt"_qs), fileAt(u"/home/y.txt"_qs)};
    QVERIFY(trigger(menu, u"Add Item"_qs + ellipsis));
    QCOMPARE(f.panel().activeTab().items.size(), 3);
    QCOMPARE(f.panel().activeTab().items.at(2).link()->location, fileAt(u"/home/y.txt"_qs));
    f.fileSystem->locationsToChoose.clear();
    QVERIFY(trigger(menu, u"Add Item"_qs + ellipsis));
    QCOMPARE(f.panel().activeTab().items.size(), 3);

    QVERIFY(trigger(menu, u"New Group"_qs));
    QCOMPARE(f.panel().groupCount(), 1);
    QVERIFY(trigger(menu, u"New Tab"_qs));
    QCOMPARE(f.panel().tabs().size(), 2);
    QVERIFY(trigger(menu, u"Panel Settings"_qs + ellipsis));
    QCOMPARE(f.store->settingsPanelID(), std::optional<QUuid>(id));
}

void TestPanelMenus::removePanelAsksFirst_data()
{
    QTest::addColumn<bool>("holdsItems");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("removed");

    QTest::newRow("empty: removed at once") << false << QString() << false << true;
    QTest::newRow("with items, cancelled") << true << u"Cancel"_qs << true << false;
    QTest::newRow("with items, confirmed") << true << u"Remove Panel"_qs << true << true;
}

void TestPanelMenus::removePanelAsksFirst()
{
    QFETCH(bool, holdsItems);
    QFETCH(QString, answer);
    QFETCH(bool, asked);
    QFETCH(bool, removed);

    Panel panel = panelWith({tabWith(u"T"_qs, holdsItems ? QList<Item>{linkTo(u"/a"_qs)} : QList<Item>{})});
    panel.name = u"Work"_qs;
    UiFixture f({panel, panelWith({tabWith(u"Other"_qs, {})})});
    QMenu menu;
    PanelMenus::addPanelEntries(menu, f.panel(), *f.store);
    AlertAnswerer answerer(answer);
    QVERIFY(trigger(menu, u"Remove Panel"_qs));
    QCOMPARE(answerer.answered, asked ? 1 : 0);
    if (asked) {
        QCOMPARE(answerer.message, u"Remove Panel"_qs);
        QCOMPARE(answerer.informativeText, u"Work"_qs);
        QCOMPARE(answerer.buttons, (QStringList{u"Cancel"_qs, u"Remove Panel"_qs}));
    }
    QCOMPARE(f.store->panels().size(), removed ? 1 : 2);
}

void TestPanelMenus::linkMenu_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("title");
    QTest::newRow("idle application") << false << u"Remove"_qs;
    QTest::newRow("running application") << true << u"Unpin"_qs;
}

void TestPanelMenus::linkMenu()
{
    QFETCH(bool, running);
    QFETCH(QString, title);
    const ItemLink link = linkTo(u"/apps/editor.desktop"_qs);
    UiFixture f({panelWith({tabWith(u"T"_qs, {link}, true)})});
    if (running)
        f.services.runningApps->running = {link.location};
    QMenu menu;
    PanelMenus::addLinkEntries(menu, link, f.panel().id(), *f.store);
    QCOMPARE(titlesOf(menu), (QStringList{u"Choose Icon"_qs + ellipsis, QString(), title}));
    QVERIFY(PanelMenus::isDestructive(entry(menu, title)));
    // Removing a link asks nothing.
    AlertAnswerer answerer(u"Cancel"_qs);
    QVERIFY(trigger(menu, title));
    QVERIFY(f.panel().activeTab().items.isEmpty());
    QCOMPARE(answerer.answered, 0);
}

void TestPanelMenus::customIcons()
{
    QTemporaryDir dir;
    const QString picture = dir.filePath(u"picture.png"_qs);
    QImage(16, 16, QImage::Format_ARGB32).save(picture);
    const QString text = dir.filePath(u"notes.txt"_qs);
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a picture"));
    file.close();

    const ItemLink link = linkTo(u"/apps/editor.desktop"_qs);
    UiFixture f({panelWith({tabWith(u"T"_qs, {link})})});
    const QUuid panelID = f.panel().id();
    const auto menuFor = [&](QMenu &menu) { PanelMenus::customIconMenu(menu, link.id, panelID, *f.store); };

    // Cancelled: nothing changes, nothing is said.
    {
        QMenu menu;
        menuFor(menu);
        AlertAnswerer answerer(u"OK"_qs);
        QVERIFY(trigger(menu, u"Choose Icon"_qs + ellipsis));
        QCOMPARE(answerer.answered, 0);
        QVERIFY(!f.store->hasCustomIcon(link.id, panelID));
    }
    // Not a picture: the icon stays and the user is told.
    {
        f.fileSystem->imageToChoose = QUrl::fromLocalFile(text);
        QMenu menu;
        menuFor(menu);
        AlertAnswerer answerer(u"OK"_qs);
        QVERIFY(trigger(menu, u"Choose Icon"_qs + ellipsis));
        QCOMPARE(answerer.answered, 1);
        QCOMPARE(answerer.message, u"This file isn\u2019t an image."_qs);
        QCOMPARE(answerer.buttons, QStringList{u"OK"_qs});
        QVERIFY(!f.store->hasCustomIcon(link.id, panelID));
    }
    // A picture: set, and then the default can be restored.
    {
        f.fileSystem->imageToChoose = QUrl::fromLocalFile(picture);
        QMenu menu;
        menuFor(menu);
        QCOMPARE(titlesOf(menu), QStringList{u"Choose Icon"_qs + ellipsis});
        QVERIFY(trigger(menu, u"Choose Icon"_qs + ellipsis));
        QVERIFY(f.store->hasCustomIcon(link.id, panelID));
    }
    QMenu menu;
    menuFor(menu);
    QCOMPARE(titlesOf(menu), (QStringList{u"Choose Icon"_qs + ellipsis, u"Use Default Icon"_qs}));
    QVERIFY(trigger(menu, u"Use Default Icon"_qs));
    QVERIFY(!f.store->hasCustomIcon(link.id, panelID));
}

void TestPanelMenus::runningApplicationMenu()
{
    UiFixture f({panelWith({tabWith(u"T"_qs, {}, true)})});
    QMenu menu;
    PanelMenus::addRunningApplicationEntries(menu, fileAt(u"/apps/mail.desktop"_qs), f.panel().id(), *f.store);
    QCOMPARE(titlesOf(menu), QStringList{u"Keep in Panel"_qs});
    QVERIFY(trigger(menu, u"Keep in Panel"_qs));
    QCOMPARE(f.panel().activeTab().items.size(), 1);
    QCOMPARE(f.panel().activeTab().items.first().link()->location, fileAt(u"/apps/mail.desktop"_qs));
}

// The application's own entries head the menus of its tiles, its names shown as they are.
void TestPanelMenus::applicationEntriesComeFirst()
{
    const ItemLink link = linkTo(u"/apps/mail.desktop"_qs);
    UiFixture f({panelWith({tabWith(u"T"_qs, {link}, true)})});
    f.launcher->applicationActions = {{u"compose"_qs, u"Compose & Send"_qs, u"mail-message-new"_qs},
                                      {u"contacts"_qs, u"Contacts"_qs, {}}};
    QMenu links;
    PanelMenus::addLinkEntries(links, link, f.panel().id(), *f.store);
    QCOMPARE(titlesOf(links).mid(0, 4), (QStringList{u"Compose && Send"_qs, u"Contacts"_qs, QString(), u"Choose Icon"_qs + ellipsis}));

    f.launcher->offersNewWindow = true;
    QMenu running;
    PanelMenus::addRunningApplicationEntries(running, link.location, f.panel().id(), *f.store);
    QCOMPARE(titlesOf(running), (QStringList{u"New Window"_qs, u"Compose && Send"_qs, u"Contacts"_qs, QString(),
                                             u"Keep in Panel"_qs}));
    QVERIFY(trigger(running, u"Contacts"_qs));
    QVERIFY(trigger(running, u"New Window"_qs));
    QCOMPARE(f.launcher->launchedActions, QStringList{u"contacts"_qs});
    QCOMPARE(f.launcher->newWindows, QList<QUrl>{link.location});
    QVERIFY(f.launcher->launched.isEmpty());

    QMenu member;
    PanelMenus::addGroupMemberEntries(member, link, QUuid::createUuid(), f.panel().id(), *f.store);
    QCOMPARE(titlesOf(member).mid(0, 5), (QStringList{u"New Window"_qs, u"Compose && Send"_qs, u"Contacts"_qs,
                                                      QString(), u"Choose Icon"_qs + ellipsis}));
}

void TestPanelMenus::groupMenu()
{
    const ItemGroup full{.name = u"Office"_qs, .links = {linkTo(u"/apps/sheets.desktop"_qs)}};
    const ItemGroup empty{.name = u"Empty"_qs};
    UiFixture f({panelWith({tabWith(u"T"_qs, {full, empty})})});
    const QUuid panelID = f.panel().id();
    const auto menuFor = [&](const ItemGroup &group, QMenu &menu) {
        PanelMenus::addGroupEntries(menu, group, panelID, *f.store);
    };

    QMenu menu;
    menuFor(full, menu);
    QCOMPARE(titlesOf(menu), (QStringList{u"Choose Icon"_qs + ellipsis, QString(), u"Open"_qs, u"Rename"_qs, u"Remove"_qs}));
    QVERIFY(trigger(menu, u"Open"_qs));
    QCOMPARE(f.store->expandedGroupID(), std::optional<QUuid>(full.id));
    QCOMPARE(f.store->editingGroupID(), std::nullopt);
    QVERIFY(trigger(menu, u"Rename"_qs));
    QCOMPARE(f.store->editingGroupID(), std::optional<QUuid>(full.id));

    for (const QString &answer : {u"Cancel"_qs, u"Remove"_qs}) {
        AlertAnswerer answerer(answer);
        QVERIFY(trigger(menu, u"Remove"_qs));
        QCOMPARE(answerer.answered, 1);
        QCOMPARE(answerer.informativeText, u"Office"_qs);
        QCOMPARE(f.panel().activeTab().items.size(), answer == u"Cancel"_qs ? 2 : 1);
    }
    QMenu emptyMenu;
    menuFor(empty, emptyMenu);
    AlertAnswerer answerer(u"Cancel"_qs);
    QVERIFY(trigger(emptyMenu, u"Remove"_qs));
    QCOMPARE(answerer.answered, 0);
    QVERIFY(f.panel().activeTab().items.isEmpty());
}

void TestPanelMenus::alertsShowNamesAsPlainText()
{
    AlertAnswerer answerer(u"Remove Tab"_qs);
    QVERIFY(RemovalConfirmation::confirm(u"Remove Tab"_qs, u"<b>Work</b> & <img src=x>"_qs));
    QCOMPARE(answerer.informativeText, u"<b>Work</b> & <img src=x>"_qs);
    QCOMPARE(answerer.informativeFormat, Qt::PlainText);

    AlertAnswerer escape(u"no such button"_qs); // closing the alert cancels
    QVERIFY(!RemovalConfirmation::confirm(u"Remove Tab"_qs, u"Work"_qs));
    QCOMPARE(escape.answered, 1);
}

void TestPanelMenus::menuOutlivesItsView()
{
    // The window replaces its view when the panels change: here while the tile's menu runs.
    UiFixture f({panelWith({tabWith(u"T"_qs, {linkTo(u"/apps/a.desktop"_qs), linkTo(u"/apps/b.desktop"_qs)})})});
    QPointer<PanelView> view = new PanelView(f.panel(), *f.store);
    view->resize(view->sizeHint());
    view->show();
    QObject::connect(f.store.get(), &AppStore::panelsChanged, view, &QObject::deleteLater);

    QTimer chooser;
    QObject::connect(&chooser, &QTimer::timeout, [&] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            chooser.stop();
            entry(*menu, u"Remove"_qs)->trigger();
            menu->close();
        }
    });
    chooser.start(5);
    LinkTile *tile = view->findChild<LinkTile *>();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(4, 4), tile->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(tile, &event);

    QCOMPARE(f.panel().activeTab().items.size(), 1);
    QTRY_VERIFY(view.isNull());
}

QTEST_MAIN(TestPanelMenus)
#include "tst_panelmenus.moc"
