// The tray menu read from the real QMenu, and every entry reaching its store command.

#include "inmemoryservices.h"
#include "urlrecorder.h"

#include "app/traymenu.h"
#include "store/appstore.h"
#include "windows/panelscreens.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

Panel panelNamed(const QString &name)
{
    return Panel(PanelInit{.name = name, .tab = PanelTab{.name = u"Tab"_s}});
}

// The menu as an outline: one line per entry, submenus indented under their title, "-" for a
// separator, the shortcut after a tab.
QStringList outline(const QMenu &menu, const QString &indent = {})
{
    QStringList lines;
    for (const QAction *action : menu.actions()) {
        if (action->isSeparator()) {
            lines.append(indent + u"-"_s);
            continue;
        }
        QString line = indent + action->text();
        if (!action->shortcut().isEmpty())
            line += u"\t"_s + action->shortcut().toString();
        if (action->isCheckable())
            line += u" (checkable)"_s;
        lines.append(line);
        if (action->menu())
            lines += outline(*action->menu(), indent + u"  "_s);
    }
    return lines;
}

// The entry at `path` of titles, or null.
QAction *entry(const QMenu &menu, const QStringList &path)
{
    const QMenu *current = &menu;
    for (qsizetype i = 0; i < path.size(); ++i) {
        QAction *found = nullptr;
        for (QAction *action : current->actions()) {
            if (action->text() == path.at(i))
                found = action;
        }
        if (!found || i == path.size() - 1)
            return found;
        current = found->menu();
        if (!current)
            return nullptr;
    }
    return nullptr;
}

const QStringList linksAndQuit{u"-"_s, u"Check for Updates…"_s, u"Send Feedback…"_s, u"More Apps by Fennick…"_s,
                               u"-"_s, u"Quit Quayrow\tCtrl+Q"_s};

QStringList panelEntries(const QString &label)
{
    return {u"  "_s + label, u"    Show Panel"_s, u"    Window Level"_s, u"      Below Windows"_s, u"      Normal"_s,
            u"      Above All"_s};
}

} // namespace

class TestTrayMenu : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void entries_data();
    void entries();
    void entriesFollowTheStore();
    void actionsReachTheStore();
    void newPanelOnTheScreenUnderThePointer();
};

void TestTrayMenu::entries_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("overDBus");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("no panels") << QStringList() << false << (QStringList{u"New Panel"_s} + linksAndQuit);
    QTest::newRow("two panels in store order")
        << QStringList{u"Work"_s, u"Games"_s} << false
        << (QStringList{u"New Panel"_s, u"Show All Panels"_s, u"Panels"_s} + panelEntries(u"Work"_s)
            + panelEntries(u"Games"_s) + linksAndQuit);
    // "&" would otherwise mark a mnemonic; over D-Bus "_" does too.
    QTest::newRow("ampersand in a name") << QStringList{u"R&D"_s} << false
        << (QStringList{u"New Panel"_s, u"Show All Panels"_s, u"Panels"_s} + panelEntries(u"R&&D"_s) + linksAndQuit);
    QTest::newRow("underscore over D-Bus") << QStringList{u"my_panel & co"_s} << true
        << (QStringList{u"New Panel"_s, u"Show All Panels"_s, u"Panels"_s} + panelEntries(u"my__panel && co"_s)
            + linksAndQuit);
    QTest::newRow("underscore in a widget menu") << QStringList{u"my_panel"_s} << false
        << (QStringList{u"New Panel"_s, u"Show All Panels"_s, u"Panels"_s} + panelEntries(u"my_panel"_s) + linksAndQuit);
}

void TestTrayMenu::entries()
{
    QFETCH(QStringList, names);
    QFETCH(bool, overDBus);
    QList<Panel> panels;
    for (const QString &name : names)
        panels.append(panelNamed(name));
    InMemoryServices services;
    services.storage->stored = panels;
    services.storage->hasStored = true;
    AppStore store(services.take());
    TrayMenu menu(store);
    menu.setShownOverDBus(overDBus);
    QTEST(outline(*menu.menu()), "expected");
}

void TestTrayMenu::entriesFollowTheStore()
{
    InMemoryServices services;
    services.storage->stored = QList<Panel>();
    services.storage->hasStored = true;
    AppStore store(services.take());
    TrayMenu menu(store);
    QVERIFY(!entry(*menu.menu(), {u"Panels"_s}));

    store.addPanel(u"First"_s);
    QVERIFY(entry(*menu.menu(), {u"Panels"_s, u"First"_s, u"Show Panel"_s}));
    const QUuid id = store.panels().constFirst().id();

    // A change the menu does not show keeps its entries as they are.
    QAction *showPanel = entry(*menu.menu(), {u"Panels"_s, u"First"_s, u"Show Panel"_s});
    store.setShowsItemLabels(false, id);
    QCOMPARE(entry(*menu.menu(), {u"Panels"_s, u"First"_s, u"Show Panel"_s}), showPanel);

    store.renamePanel(id, u"Renamed"_s);
    QVERIFY(!entry(*menu.menu(), {u"Panels"_s, u"First"_s}));
    QVERIFY(entry(*menu.menu(), {u"Panels"_s, u"Renamed"_s, u"Show Panel"_s}));

    QCOMPARE(store.removePanel(id, true), AppStore::RemovePanelResult::Removed);
    QCOMPARE(outline(*menu.menu()), QStringList{u"New Panel"_s} + linksAndQuit);
}

void TestTrayMenu::actionsReachTheStore()
{
    InMemoryServices services;
    services.storage->stored = QList<Panel>{panelNamed(u"A"_s), panelNamed(u"B"_s)};
    services.storage->hasStored = true;
    AppStore store(services.take());
    TrayMenu menu(store);
    const QUuid b = store.panels().at(1).id();

    // The same request twice is seen twice: each has its own id.
    QSignalSpy bringToFront(&store, &AppStore::bringToFrontRequestIDChanged);
    entry(*menu.menu(), {u"Panels"_s, u"B"_s, u"Show Panel"_s})->trigger();
    entry(*menu.menu(), {u"Panels"_s, u"B"_s, u"Show Panel"_s})->trigger();
    QCOMPARE(bringToFront.count(), 2);
    QCOMPARE(store.broughtToFrontPanelID(), b);

    QSignalSpy showAll(&store, &AppStore::showAllPanelsRequestIDChanged);
    entry(*menu.menu(), {u"Show All Panels"_s})->trigger();
    QCOMPARE(showAll.count(), 1);
    QVERIFY(store.isRevealingAllPanels());

    const QList<std::pair<QString, PanelWindowLevel>> levels{{u"Below Windows"_s, PanelWindowLevel::BelowWindows},
                                                             {u"Above All"_s, PanelWindowLevel::AboveAll},
                                                             {u"Normal"_s, PanelWindowLevel::Normal}};
    for (const auto &[title, level] : levels) {
        entry(*menu.menu(), {u"Panels"_s, u"B"_s, u"Window Level"_s, title})->trigger();
        QCOMPARE(store.panel(b)->windowLevel(), level);
        QCOMPARE(store.panels().constFirst().windowLevel(), PanelWindowLevel::Normal);
    }

    UrlRecorder browser;
    entry(*menu.menu(), {u"Send Feedback…"_s})->trigger();
    entry(*menu.menu(), {u"More Apps by Fennick…"_s})->trigger();
    QCOMPARE(browser.opened, (QList<QUrl>{QUrl(u"https://www.fennickworks.com/contact-us/"_s),
                                          QUrl(u"https://www.fennickworks.com/"_s)}));

    QSignalSpy updates(&menu, &TrayMenu::checkForUpdatesRequested);
    QSignalSpy quit(&menu, &TrayMenu::quitRequested);
    entry(*menu.menu(), {u"Check for Updates…"_s})->trigger();
    QCOMPARE(updates.count(), 1);
    QCOMPARE(quit.count(), 0);
    entry(*menu.menu(), {u"Quit Quayrow"_s})->trigger();
    QCOMPARE(quit.count(), 1);
    QCOMPARE(services.storage->saveCount, 3);  // the three window levels; nothing else saves
}

void TestTrayMenu::newPanelOnTheScreenUnderThePointer()
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    QCOMPARE(screens.size(), 2);
    InMemoryServices services;
    services.storage->stored = QList<Panel>();
    services.storage->hasStored = true;
    AppStore store(services.take());
    TrayMenu menu(store);

    for (QScreen *screen : screens) {
        // The offscreen platform keeps one pointer position, the primary screen's, in global
        // coordinates.
        QCursor::setPos(screen->geometry().center());
        entry(*menu.menu(), {u"New Panel"_s})->trigger();
        const Panel &added = store.panels().constLast();
        QCOMPARE(added.placement().screenID, PanelScreens::panelScreenID(screen));
        QVERIFY(added.placement().screenID.has_value());
    }
    QCOMPARE(store.panels().size(), 2);
    QVERIFY(store.panels().at(0).placement().screenID != store.panels().at(1).placement().screenID);
}

// Two fake screens side by side, so that "New Panel" can be shown to follow the pointer.
int main(int argc, char *argv[])
{
    QTemporaryDir folder;
    const QString screens = folder.filePath(u"screens.json"_s);
    QFile file(screens);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(R"({"screens": [
        {"name": "Left", "x": 0, "y": 0, "width": 1280, "height": 800, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
        {"name": "Right", "x": 1280, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}
    ]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens));
    QApplication app(argc, argv);
    TestTrayMenu test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_traymenu.moc"
