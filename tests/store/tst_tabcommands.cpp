#include "storefixture.h"

#include "model/defaultname.h"

#include <QTest>

class TestTabCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void addTab_data();
    void addTab();
    void renameTab_data();
    void renameTab();
    void tabColourAndRunningApps();
    void removeTab_data();
    void removeTab();
    void selectTab_data();
    void selectTab();
    void commitRenamingTab_data();
    void commitRenamingTab();
};

namespace {

// Which tab is being renamed when the command runs, relative to the tab the command addresses.
enum class Renaming { None, SameTab, OtherTabSamePanel, OtherPanel };

// Panel 0 holds those of the tabs A (a link with icon a.png), B (a group with icon g.png whose
// link has icon m.png) and C (empty) that are named; panel 1 has one empty tab X.
QList<Panel> samplePanels(const QStringList &names)
{
    const ItemGroup group{.links = {linkTo(QStringLiteral("/m"), QStringLiteral("m.png"))}, .customIcon = QStringLiteral("g.png")};
    QList<PanelTab> tabs;
    for (const PanelTab &tab : {tabNamed(QStringLiteral("A"), {linkTo(QStringLiteral("/a"), QStringLiteral("a.png"))}),
                                tabNamed(QStringLiteral("B"), {group}), tabNamed(QStringLiteral("C"))}) {
        if (names.contains(tab.name))
            tabs.append(tab);
    }
    return {panelWith(QStringLiteral("P"), tabs), panelWith(QStringLiteral("Q"), {tabNamed(QStringLiteral("X"))})};
}

const QStringList allTabs{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};

// The id of the named tab of panel 0, or an unknown id for an empty name.
QUuid tabIDNamed(const Panel &panel, const QString &name)
{
    for (const PanelTab &tab : panel.tabs()) {
        if (tab.name == name)
            return tab.id;
    }
    return QUuid::createUuid();
}

std::optional<AppStore::TabRenaming> startRenaming(AppStore &store, Renaming which, const QUuid &tabID)
{
    const QUuid panelID = store.panels().first().id();
    std::optional<AppStore::TabRenaming> renaming;
    switch (which) {
    case Renaming::None: return std::nullopt;
    case Renaming::SameTab: renaming = AppStore::TabRenaming{panelID, tabID}; break;
    case Renaming::OtherTabSamePanel: renaming = AppStore::TabRenaming{panelID, QUuid::createUuid()}; break;
    case Renaming::OtherPanel: renaming = AppStore::TabRenaming{store.panels().at(1).id(), store.panels().at(1).tabs().first().id}; break;
    }
    store.beginRenamingTab(renaming->tabID, renaming->panelID);
    return renaming;
}

QStringList tabNames(const Panel &panel)
{
    QStringList names;
    for (const PanelTab &tab : panel.tabs())
        names.append(tab.name);
    return names;
}

} // namespace

void TestTabCommands::addTab_data()
{
    QTest::addColumn<QStringList>("tabs");
    QTest::addColumn<Renaming>("renaming");
    QTest::addColumn<bool>("renamingKept");
    QTest::addColumn<QString>("expectedName");
    QTest::newRow("second tab; renaming in the panel ends") << QStringList{QStringLiteral("A")} << Renaming::OtherTabSamePanel << false << QStringLiteral("Tab 2");
    QTest::newRow("fourth tab; renaming elsewhere continues") << allTabs << Renaming::OtherPanel << true << QStringLiteral("Tab 4");
}

void TestTabCommands::addTab()
{
    QFETCH(QStringList, tabs);
    QFETCH(Renaming, renaming);
    QFETCH(bool, renamingKept);
    QFETCH(QString, expectedName);

    const QList<Panel> panels = samplePanels(tabs);
    StoreFixture f(panels);
    const auto renamed = startRenaming(*f.store, renaming, QUuid());
    f.store->addTab(QUuid::createUuid());
    QCOMPARE(f.store->panels(), panels);
    QCOMPARE(f.saves(), 0);

    f.store->addTab(panels.first().id());
    const Panel &panel = f.panel(0);
    QCOMPARE(tabNames(panel), tabs + QStringList{expectedName});
    QVERIFY(panel.tabs().last().items.isEmpty());
    QCOMPARE(panel.activeTabID(), panel.tabs().last().id);
    QVERIFY(panel.didRevealTabBar());
    QCOMPARE(f.store->renaming(), renamingKept ? renamed : std::nullopt);
    QCOMPARE(*f.services.storage->lastSaved, f.store->panels());
}

void TestTabCommands::renameTab_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("knownTab");
    QTest::addColumn<bool>("knownPanel");
    QTest::addColumn<QString>("expectedName");
    QTest::addColumn<int>("expectedSaves");
    QTest::newRow("trimmed") << QStringLiteral("\n  Work\t ") << true << true << QStringLiteral("Work") << 1;
    QTest::newRow("blanks only") << QStringLiteral(" \n ") << true << true << QStringLiteral("A") << 0;
    QTest::newRow("same name still saves") << QStringLiteral("A") << true << true << QStringLiteral("A") << 1;
    QTest::newRow("unknown tab of a found panel saves") << QStringLiteral("Work") << false << true << QStringLiteral("A") << 1;
    QTest::newRow("unknown panel") << QStringLiteral("Work") << true << false << QStringLiteral("A") << 0;
}

void TestTabCommands::renameTab()
{
    QFETCH(QString, name);
    QFETCH(bool, knownTab);
    QFETCH(bool, knownPanel);
    QFETCH(QString, expectedName);
    QFETCH(int, expectedSaves);

    StoreFixture f(samplePanels(allTabs));
    const Panel &panel = f.panel(0);
    f.store->renameTab(knownTab ? panel.tabs().first().id : QUuid::createUuid(), name,
                       knownPanel ? panel.id() : QUuid::createUuid());
    QCOMPARE(f.panel(0).tabs().first().name, expectedName);
    QCOMPARE(f.saves(), expectedSaves);
}

void TestTabCommands::tabColourAndRunningApps()
{
    StoreFixture f(samplePanels(allTabs));
    const QUuid panelID = f.panel(0).id();
    const QUuid tabID = f.panel(0).tabs().at(1).id;
    f.store->setTabColor(TabColor::SystemMint, tabID, panelID);
    QCOMPARE(f.panel(0).tabs().at(1).color, std::optional<TabColor>(TabColor::SystemMint));
    f.store->setTabColor(std::nullopt, tabID, panelID);
    QCOMPARE(f.panel(0).tabs().at(1).color, std::nullopt);
    f.store->setShowsRunningApps(true, tabID, panelID);
    QVERIFY(f.panel(0).tabs().at(1).showsRunningApps);
    QCOMPARE(f.saves(), 3);

    NotificationCounter notifications(f.store.get());
    f.store->setTabColor(TabColor::SystemRed, tabID, QUuid::createUuid());
    f.store->setShowsRunningApps(false, tabID, QUuid::createUuid());
    QCOMPARE(f.saves(), 3);
    QCOMPARE(notifications.total(), 0);
}

void TestTabCommands::removeTab_data()
{
    QTest::addColumn<QStringList>("tabs");
    QTest::addColumn<QString>("target"); // empty: an unknown tab
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<Renaming>("renaming");
    QTest::addColumn<AppStore::RemoveTabResult>("expected");
    QTest::addColumn<QStringList>("expectedTabs");
    QTest::addColumn<bool>("renamingKept");
    QTest::addColumn<QStringList>("expectedRemovedIcons");

    using R = AppStore::RemoveTabResult;
    const QStringList main{DefaultName::firstTab()};
    const QStringList onlyA{QStringLiteral("A")};
    const QStringList onlyC{QStringLiteral("C")};
    const QStringList aAndB{QStringLiteral("A"), QStringLiteral("B")};
    QTest::newRow("only tab, empty: reset to Main") << onlyC << QStringLiteral("C") << false << Renaming::None << R::Removed << main << false << QStringList();
    QTest::newRow("only tab, holding a link, unconfirmed") << onlyA << QStringLiteral("A") << false << Renaming::SameTab << R::NeedsConfirmation << onlyA << true << QStringList();
    QTest::newRow("only tab, confirmed: reset, its icon file goes")
        << onlyA << QStringLiteral("A") << true << Renaming::SameTab << R::Removed << main << false << QStringList{QStringLiteral("a.png")};
    QTest::newRow("only tab: renaming of any tab in the panel ends") << onlyC << QStringLiteral("C") << false << Renaming::OtherTabSamePanel << R::Removed << main << false << QStringList();
    QTest::newRow("one of several, holding a group, unconfirmed") << allTabs << QStringLiteral("B") << false << Renaming::None << R::NeedsConfirmation << allTabs << false << QStringList();
    QTest::newRow("one of several, confirmed: only its icon files go")
        << allTabs << QStringLiteral("B") << true << Renaming::None << R::Removed << QStringList{QStringLiteral("A"), QStringLiteral("C")} << false
        << QStringList{QStringLiteral("g.png"), QStringLiteral("m.png")};
    QTest::newRow("renaming of the removed tab ends") << allTabs << QStringLiteral("C") << false << Renaming::SameTab << R::Removed << aAndB << false << QStringList();
    QTest::newRow("renaming of another tab continues") << allTabs << QStringLiteral("C") << false << Renaming::OtherTabSamePanel << R::Removed << aAndB << true << QStringList();
    QTest::newRow("unknown tab") << allTabs << QString() << true << Renaming::OtherTabSamePanel << R::NotFound << allTabs << true << QStringList();
}

void TestTabCommands::removeTab()
{
    QFETCH(QStringList, tabs);
    QFETCH(QString, target);
    QFETCH(bool, confirmed);
    QFETCH(Renaming, renaming);
    QFETCH(AppStore::RemoveTabResult, expected);
    QFETCH(QStringList, expectedTabs);
    QFETCH(bool, renamingKept);
    QFETCH(QStringList, expectedRemovedIcons);

    const QList<Panel> panels = samplePanels(tabs);
    StoreFixture f(panels);
    const QUuid tabID = tabIDNamed(panels.first(), target);
    const auto renamed = startRenaming(*f.store, renaming, tabID);
    QCOMPARE(f.store->removeTab(tabID, QUuid::createUuid(), true), AppStore::RemoveTabResult::NotFound);
    QCOMPARE(f.store->removeTab(tabID, panels.first().id(), confirmed), expected);

    const bool removed = expected == AppStore::RemoveTabResult::Removed;
    QCOMPARE(tabNames(f.panel(0)), expectedTabs);
    QCOMPARE(f.store->renaming(), renamingKept ? renamed : std::nullopt);
    QCOMPARE(f.services.icons->removed, expectedRemovedIcons);
    QCOMPARE(f.saves(), removed ? 1 : 0);
    QCOMPARE(f.panel(1), panels.at(1));
    if (!removed)
        QCOMPARE(f.panel(0), panels.first());
    else if (tabs.size() == 1)
        QVERIFY(!f.panel(0).tab(tabID) && f.panel(0).activeTab().items.isEmpty() && !f.panel(0).didRevealTabBar());
}

void TestTabCommands::selectTab_data()
{
    QTest::addColumn<QString>("selected"); // empty: an unknown tab
    QTest::addColumn<Renaming>("renaming");
    QTest::addColumn<bool>("renamingKept");
    QTest::addColumn<QString>("expectedActive");
    QTest::newRow("the tab being renamed keeps renaming") << QStringLiteral("B") << Renaming::SameTab << true << QStringLiteral("B");
    QTest::newRow("another tab ends renaming") << QStringLiteral("B") << Renaming::OtherTabSamePanel << false << QStringLiteral("B");
    QTest::newRow("renaming in another panel continues") << QStringLiteral("C") << Renaming::OtherPanel << true << QStringLiteral("C");
    QTest::newRow("the active tab again") << QStringLiteral("A") << Renaming::None << false << QStringLiteral("A");
    QTest::newRow("unknown tab keeps the active one") << QString() << Renaming::OtherTabSamePanel << false << QStringLiteral("A");
}

void TestTabCommands::selectTab()
{
    QFETCH(QString, selected);
    QFETCH(Renaming, renaming);
    QFETCH(bool, renamingKept);
    QFETCH(QString, expectedActive);

    const QList<Panel> panels = samplePanels(allTabs);
    StoreFixture f(panels);
    const QUuid tabID = tabIDNamed(panels.first(), selected);
    const auto renamed = startRenaming(*f.store, renaming, tabID);
    f.store->selectTab(tabID, QUuid::createUuid());
    QCOMPARE(f.store->renaming(), renamed);
    QCOMPARE(f.saves(), 0);

    QSignalSpy changed(f.store.get(), &AppStore::panelsChanged);
    f.store->selectTab(tabID, panels.first().id());
    QCOMPARE(f.panel(0).activeTab().name, expectedActive);
    QCOMPARE(f.store->renaming(), renamingKept ? renamed : std::nullopt);
    QCOMPARE(f.saves(), 1); // also when nothing changed
    QCOMPARE(changed.count(), 1);
}

void TestTabCommands::commitRenamingTab_data()
{
    QTest::addColumn<bool>("renaming");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expectedName");
    QTest::addColumn<int>("expectedSaves");
    QTest::newRow("trimmed name") << true << QStringLiteral("  New ") << QStringLiteral("New") << 1;
    QTest::newRow("empty name ends renaming, keeps the old name") << true << QStringLiteral("  ") << QStringLiteral("B") << 0;
    QTest::newRow("nothing being renamed") << false << QStringLiteral("New") << QStringLiteral("B") << 0;
}

void TestTabCommands::commitRenamingTab()
{
    QFETCH(bool, renaming);
    QFETCH(QString, name);
    QFETCH(QString, expectedName);
    QFETCH(int, expectedSaves);

    StoreFixture f(samplePanels(allTabs));
    if (renaming) {
        f.store->beginRenamingTab(f.panel(0).tabs().at(1).id, f.panel(0).id());
        f.store->beginRenamingTab(f.panel(0).tabs().at(1).id, f.panel(0).id());
    }
    QSignalSpy renamingChanged(f.store.get(), &AppStore::renamingChanged);
    f.store->commitRenamingTab(name);
    f.store->cancelRenamingTab();
    QCOMPARE(f.panel(0).tabs().at(1).name, expectedName);
    QCOMPARE(f.store->renaming(), std::nullopt);
    QCOMPARE(renamingChanged.count(), renaming ? 1 : 0); // equal values notify nobody
    QCOMPARE(f.saves(), expectedSaves);
}

QTEST_GUILESS_MAIN(TestTabCommands)
#include "tst_tabcommands.moc"
