#include "storefixture.h"

#include "model/defaultname.h"

#include <QTest>

#include <functional>
#include <limits>

using PanelCommand = std::function<void(AppStore &, const QUuid &)>;
using PanelCheck = std::function<bool(const Panel &)>;

class TestPanelCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void addPanel_data();
    void addPanel();
    void removePanel_data();
    void removePanel();
    void renamePanel_data();
    void renamePanel();
    void requestChangesTargetThenID_data();
    void requestChangesTargetThenID();
    void showAllPanels();
    void showAllPanelsWithoutPanelsChangesNothing();
    void setterSavesEvenWhenUnchanged_data();
    void setterSavesEvenWhenUnchanged();
    void edgeInset_data();
    void edgeInset();
    void setFreePosition_data();
    void setFreePosition();
    void failedSaveKeepsTheChange();
};

namespace {

// Deliberately not the default, so a helper that rebuilds the placement shows.
const PanelPlacement customPlacement{.mode = PanelPlacementMode::Snapped, .edge = PanelEdge::Left,
                                     .alignment = PanelAlignment::End, .freePosition = PanelFreePosition(0.2, 0.3),
                                     .screenID = QStringLiteral("screen-A"), .edgeInset = 4};

QList<Panel> twoPanels()
{
    Panel first = panelWith(QStringLiteral("First"), {tabNamed(QStringLiteral("A"))});
    first.setPlacement(customPlacement);
    return {first, panelWith(QStringLiteral("Second"), {tabNamed(QStringLiteral("B"))})};
}

PanelPlacement withPlacement(const std::function<void(PanelPlacement &)> &change)
{
    PanelPlacement placement = customPlacement;
    change(placement);
    return placement;
}

} // namespace

void TestPanelCommands::addPanel_data()
{
    QTest::addColumn<std::optional<QString>>("name");
    QTest::addColumn<std::optional<QString>>("screenID");
    QTest::addColumn<QString>("expectedName");

    QTest::newRow("no name: numbered after the existing panels")
        << std::optional<QString>() << std::optional<QString>() << QStringLiteral("Panel 3");
    QTest::newRow("given name is taken as it is") << std::optional<QString>(QStringLiteral(" Mine "))
                                                  << std::optional<QString>() << QStringLiteral(" Mine ");
    QTest::newRow("on a given screen") << std::optional<QString>() << std::optional<QString>(QStringLiteral("screen-B"))
                                       << QStringLiteral("Panel 3");
}

void TestPanelCommands::addPanel()
{
    QFETCH(std::optional<QString>, name);
    QFETCH(std::optional<QString>, screenID);
    QFETCH(QString, expectedName);

    StoreFixture f(twoPanels());
    QSignalSpy changed(f.store.get(), &AppStore::panelsChanged);
    f.store->addPanel(name, screenID);

    QCOMPARE(f.store->panels().size(), 3);
    const Panel &added = f.panel(2);
    QCOMPARE(added.name, expectedName);
    QCOMPARE(added.windowLevel(), PanelWindowLevel::AboveAll);
    QCOMPARE(added.placement(), PanelPlacement{.screenID = screenID});
    QCOMPARE(added.tabs().size(), 1);
    QCOMPARE(added.activeTab().name, DefaultName::firstTab());
    QVERIFY(added.activeTab().items.isEmpty());
    QVERIFY(!added.didRevealTabBar());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(f.saves(), 1);
    QCOMPARE(*f.services.storage->lastSaved, f.store->panels());
}

void TestPanelCommands::removePanel_data()
{
    QTest::addColumn<QList<Panel>>("panels");
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<bool>("knownPanel");
    QTest::addColumn<AppStore::RemovePanelResult>("expected");
    QTest::addColumn<QStringList>("expectedRemovedIcons");

    const Panel empty = panelWith(QStringLiteral("Empty"), {tabNamed(QStringLiteral("A")), tabNamed(QStringLiteral("B"))});
    const Panel holding = panelWith(QStringLiteral("Holding"),
                                    {tabNamed(QStringLiteral("A"), {linkTo(QStringLiteral("/a"), QStringLiteral("a.png"))}),
                                     tabNamed(QStringLiteral("B"),
                                              {ItemGroup{.name = QStringLiteral("G"),
                                                         .links = {linkTo(QStringLiteral("/m"), QStringLiteral("m.png"))},
                                                         .customIcon = QStringLiteral("g.png")}})});
    const Panel other = panelWith(QStringLiteral("Other"),
                                  {tabNamed(QStringLiteral("A"), {linkTo(QStringLiteral("/o"), QStringLiteral("o.png"))})});
    using R = AppStore::RemovePanelResult;

    QTest::newRow("all tabs empty: no confirmation needed") << QList<Panel>{empty, other} << false << true << R::Removed << QStringList();
    QTest::newRow("items in some tab, unconfirmed") << QList<Panel>{holding, other} << false << true << R::NeedsConfirmation << QStringList();
    QTest::newRow("items confirmed: icon files of every tab go")
        << QList<Panel>{holding, other} << true << true << R::Removed
        << QStringList{QStringLiteral("a.png"), QStringLiteral("g.png"), QStringLiteral("m.png")};
    QTest::newRow("the last panel can go") << QList<Panel>{empty} << false << true << R::Removed << QStringList();
    QTest::newRow("unknown panel") << QList<Panel>{holding, other} << true << false << R::NotFound << QStringList();
}

void TestPanelCommands::removePanel()
{
    QFETCH(QList<Panel>, panels);
    QFETCH(bool, confirmed);
    QFETCH(bool, knownPanel);
    QFETCH(AppStore::RemovePanelResult, expected);
    QFETCH(QStringList, expectedRemovedIcons);

    StoreFixture f(panels);
    const QUuid target = knownPanel ? panels.first().id() : QUuid::createUuid();
    f.store->openSettings(panels.first().id());
    StoreSpies spies(f.store.get());

    QCOMPARE(f.store->removePanel(target, confirmed), expected);

    const bool removed = expected == AppStore::RemovePanelResult::Removed;
    QCOMPARE(f.store->panels(), removed ? panels.mid(1) : panels);
    QCOMPARE(f.saves(), removed ? 1 : 0);
    QCOMPARE(spies.total(), removed ? 1 : 0);
    QCOMPARE(f.services.icons->removed, expectedRemovedIcons);
    // Windows of a removed panel are the window layer's business; transient fields stay.
    QCOMPARE(f.store->settingsPanelID(), std::optional<QUuid>(panels.first().id()));
}

void TestPanelCommands::renamePanel_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("knownPanel");
    QTest::addColumn<QString>("expectedName");
    QTest::addColumn<int>("expectedSaves");

    QTest::newRow("blanks and line breaks trimmed") << QStringLiteral(" \t Work \n") << true << QStringLiteral("Work") << 1;
    QTest::newRow("inner blanks kept") << QStringLiteral("A  B") << true << QStringLiteral("A  B") << 1;
    QTest::newRow("blanks only") << QStringLiteral(" \n\t ") << true << QStringLiteral("First") << 0;
    QTest::newRow("empty") << QString() << true << QStringLiteral("First") << 0;
    QTest::newRow("the current name, padded") << QStringLiteral("  First ") << true << QStringLiteral("First") << 0;
    QTest::newRow("unknown panel") << QStringLiteral("Work") << false << QStringLiteral("First") << 0;
}

void TestPanelCommands::renamePanel()
{
    QFETCH(QString, name);
    QFETCH(bool, knownPanel);
    QFETCH(QString, expectedName);
    QFETCH(int, expectedSaves);

    StoreFixture f(twoPanels());
    QSignalSpy changed(f.store.get(), &AppStore::panelsChanged);
    f.store->renamePanel(knownPanel ? f.panel(0).id() : QUuid::createUuid(), name);
    QCOMPARE(f.panel(0).name, expectedName);
    QCOMPARE(f.saves(), expectedSaves);
    QCOMPARE(changed.count(), expectedSaves);
}

void TestPanelCommands::requestChangesTargetThenID_data()
{
    QTest::addColumn<PanelCommand>("request");
    QTest::addColumn<std::function<std::optional<QUuid>(const AppStore &)>>("target");
    QTest::addColumn<std::function<QUuid(const AppStore &)>>("requestID");
    QTest::addColumn<QByteArray>("requestSignal");

    QTest::newRow("settings") << PanelCommand(&AppStore::openSettings)
                              << std::function<std::optional<QUuid>(const AppStore &)>(&AppStore::settingsPanelID)
                              << std::function<QUuid(const AppStore &)>(&AppStore::settingsRequestID)
                              << QByteArray(SIGNAL(settingsRequestIDChanged()));
    QTest::newRow("bring to front") << PanelCommand(&AppStore::bringToFront)
                                    << std::function<std::optional<QUuid>(const AppStore &)>(&AppStore::broughtToFrontPanelID)
                                    << std::function<QUuid(const AppStore &)>(&AppStore::bringToFrontRequestID)
                                    << QByteArray(SIGNAL(bringToFrontRequestIDChanged()));
}

void TestPanelCommands::requestChangesTargetThenID()
{
    QFETCH(PanelCommand, request);
    QFETCH(std::function<std::optional<QUuid>(const AppStore &)>, target);
    QFETCH(std::function<QUuid(const AppStore &)>, requestID);
    QFETCH(QByteArray, requestSignal);

    StoreFixture f(twoPanels());
    AppStore &store = *f.store;
    const QUuid first = f.panel(0).id();
    QList<std::optional<QUuid>> targetsSeen;
    QSignalSpy requests(&store, requestSignal.constData());
    // What an observer of the request reads: the target must already be the new one.
    const auto recordTarget = [&] { targetsSeen.append(target(store)); };
    QObject::connect(&store, &AppStore::settingsRequestIDChanged, &store, recordTarget);
    QObject::connect(&store, &AppStore::bringToFrontRequestIDChanged, &store, recordTarget);

    QList<QUuid> ids{requestID(store)};
    for (const QUuid &panelID : {first, first, f.panel(1).id()}) {
        request(store, panelID);
        QVERIFY(!ids.contains(requestID(store)));
        ids.append(requestID(store));
    }
    QCOMPARE(requests.count(), 3);
    QCOMPARE(targetsSeen, (QList<std::optional<QUuid>>{first, first, f.panel(1).id()}));

    StoreSpies spies(&store);
    request(store, QUuid::createUuid());
    QCOMPARE(spies.total(), 0);
    QCOMPARE(requestID(store), ids.last());
    QCOMPARE(f.saves(), 0);
}

void TestPanelCommands::showAllPanels()
{
    StoreFixture f(twoPanels());
    AppStore &store = *f.store;
    bool revealingWhenRequested = false;
    QObject::connect(&store, &AppStore::showAllPanelsRequestIDChanged, &store,
                     [&] { revealingWhenRequested = store.isRevealingAllPanels(); });
    QSignalSpy revealing(&store, &AppStore::isRevealingAllPanelsChanged);
    QSignalSpy requests(&store, &AppStore::showAllPanelsRequestIDChanged);

    const QUuid before = store.showAllPanelsRequestID();
    store.showAllPanels();
    const QUuid afterFirst = store.showAllPanelsRequestID();
    store.showAllPanels();
    QVERIFY(revealingWhenRequested);
    QVERIFY(store.isRevealingAllPanels());
    QCOMPARE(requests.count(), 2);
    QVERIFY(before != afterFirst && afterFirst != store.showAllPanelsRequestID());
    QCOMPARE(revealing.count(), 1);

    store.endRevealAllPanels();
    store.endRevealAllPanels();
    QVERIFY(!store.isRevealingAllPanels());
    QCOMPARE(revealing.count(), 2);
    QCOMPARE(f.saves(), 0);
}

void TestPanelCommands::showAllPanelsWithoutPanelsChangesNothing()
{
    StoreFixture f(std::nullopt);
    QVERIFY(f.store->panels().isEmpty());
    const QUuid before = f.store->showAllPanelsRequestID();
    StoreSpies spies(f.store.get());
    f.store->showAllPanels();
    QVERIFY(!f.store->isRevealingAllPanels());
    QCOMPARE(f.store->showAllPanelsRequestID(), before);
    QCOMPARE(spies.total(), 0);
}

void TestPanelCommands::setterSavesEvenWhenUnchanged_data()
{
    QTest::addColumn<PanelCommand>("command");
    QTest::addColumn<PanelCheck>("applied");

    const auto row = [](const char *name, PanelCommand command, PanelCheck applied) {
        QTest::newRow(name) << command << applied;
    };
    row("window level", [](AppStore &s, const QUuid &id) { s.setWindowLevel(PanelWindowLevel::BelowWindows, id); },
        [](const Panel &p) { return p.windowLevel() == PanelWindowLevel::BelowWindows; });
    row("item labels", [](AppStore &s, const QUuid &id) { s.setShowsItemLabels(false, id); },
        [](const Panel &p) { return !p.showsItemLabels; });
    row("hover highlight", [](AppStore &s, const QUuid &id) { s.setShowsHoverHighlight(false, id); },
        [](const Panel &p) { return !p.showsHoverHighlight; });
    row("tooltips", [](AppStore &s, const QUuid &id) { s.setShowsTooltips(false, id); },
        [](const Panel &p) { return !p.showsTooltips; });
    row("all spaces", [](AppStore &s, const QUuid &id) { s.setShowsOnAllSpaces(false, id); },
        [](const Panel &p) { return !p.showsOnAllSpaces; });
    row("icon size", [](AppStore &s, const QUuid &id) { s.setIconSize(PanelIconSize::Large, id); },
        [](const Panel &p) { return p.iconSize == PanelIconSize::Large; });
    row("icon spacing", [](AppStore &s, const QUuid &id) { s.setIconSpacing(PanelIconSpacing::Compact, id); },
        [](const Panel &p) { return p.iconSpacing == PanelIconSpacing::Compact; });
    row("tab style", [](AppStore &s, const QUuid &id) { s.setTabStyle(PanelTabStyle::Buttons, id); },
        [](const Panel &p) { return p.tabStyle == PanelTabStyle::Buttons; });
    row("whole placement", [](AppStore &s, const QUuid &id) { s.setPlacement(PanelPlacement(), id); },
        [](const Panel &p) { return p.placement() == PanelPlacement(); });
    row("placement mode only", [](AppStore &s, const QUuid &id) { s.setPlacementMode(PanelPlacementMode::Free, id); },
        [](const Panel &p) { return p.placement() == withPlacement([](PanelPlacement &q) { q.mode = PanelPlacementMode::Free; }); });
    row("placement edge only", [](AppStore &s, const QUuid &id) { s.setPlacementEdge(PanelEdge::Top, id); },
        [](const Panel &p) { return p.placement() == withPlacement([](PanelPlacement &q) { q.edge = PanelEdge::Top; }); });
    row("placement alignment only", [](AppStore &s, const QUuid &id) { s.setPlacementAlignment(PanelAlignment::Stretch, id); },
        [](const Panel &p) {
            return p.placement() == withPlacement([](PanelPlacement &q) { q.alignment = PanelAlignment::Stretch; });
        });
    row("placement inset only", [](AppStore &s, const QUuid &id) { s.setPlacementEdgeInset(20, id); },
        [](const Panel &p) { return p.placement() == withPlacement([](PanelPlacement &q) { q.edgeInset = 20; }); });
}

void TestPanelCommands::setterSavesEvenWhenUnchanged()
{
    QFETCH(PanelCommand, command);
    QFETCH(PanelCheck, applied);

    StoreFixture f(twoPanels());
    const Panel untouched = f.panel(1);
    StoreSpies spies(f.store.get());

    command(*f.store, f.panel(0).id());
    command(*f.store, f.panel(0).id()); // the same value again
    QVERIFY(applied(f.panel(0)));
    QCOMPARE(f.panel(1), untouched);
    QCOMPARE(f.saves(), 2);
    QCOMPARE(spies.panels.count(), 2);
    QCOMPARE(*f.services.storage->lastSaved, f.store->panels());

    const QList<Panel> before = f.store->panels();
    command(*f.store, QUuid::createUuid());
    QCOMPARE(f.store->panels(), before);
    QCOMPARE(f.saves(), 2);
    QCOMPARE(spies.total(), 2);
}

void TestPanelCommands::edgeInset_data()
{
    QTest::addColumn<double>("inset");
    QTest::addColumn<double>("expected");
    QTest::newRow("positive kept") << 12.5 << 12.5;
    QTest::newRow("minus 5 becomes 0") << -5.0 << 0.0;
    QTest::newRow("nan becomes 0") << std::numeric_limits<double>::quiet_NaN() << 0.0;
    // The configuration file cannot hold an infinity: every later save would fail.
    QTest::newRow("infinity becomes 0") << std::numeric_limits<double>::infinity() << 0.0;
}

void TestPanelCommands::edgeInset()
{
    QFETCH(double, inset);
    QFETCH(double, expected);
    StoreFixture f(twoPanels());
    f.store->setPlacementEdgeInset(inset, f.panel(0).id());
    QCOMPARE(f.panel(0).placement().edgeInset, expected);

    PanelPlacement whole = customPlacement;
    whole.edgeInset = inset;
    f.store->setPlacement(whole, f.panel(1).id());
    QVERIFY(std::isfinite(f.panel(1).placement().edgeInset));
}

void TestPanelCommands::setFreePosition_data()
{
    QTest::addColumn<PanelFreePosition>("position");
    QTest::addColumn<std::optional<QString>>("screenID");
    QTest::addColumn<int>("expectedSaves");

    const std::optional<QString> storedScreen = customPlacement.screenID;
    QTest::newRow("stored position and screen: nothing saved") << PanelFreePosition(0.2, 0.3) << storedScreen << 0;
    QTest::newRow("same position, another screen") << PanelFreePosition(0.2, 0.3) << std::optional<QString>(QStringLiteral("B")) << 1;
    QTest::newRow("same position, no screen") << PanelFreePosition(0.2, 0.3) << std::optional<QString>() << 1;
    QTest::newRow("another position") << PanelFreePosition(0.2, 0.31) << storedScreen << 1;
}

void TestPanelCommands::setFreePosition()
{
    QFETCH(PanelFreePosition, position);
    QFETCH(std::optional<QString>, screenID);
    QFETCH(int, expectedSaves);

    StoreFixture f(twoPanels());
    QSignalSpy changed(f.store.get(), &AppStore::panelsChanged);
    f.store->setFreePosition(position, screenID, QUuid::createUuid());
    QCOMPARE(f.saves(), 0);

    f.store->setFreePosition(position, screenID, f.panel(0).id());
    const PanelPlacement expected = withPlacement([&](PanelPlacement &q) {
        q.freePosition = position;
        q.screenID = screenID;
    });
    QCOMPARE(f.panel(0).placement(), expected);
    QCOMPARE(f.saves(), expectedSaves);
    QCOMPARE(changed.count(), expectedSaves);
}

void TestPanelCommands::failedSaveKeepsTheChange()
{
    StoreFixture f(twoPanels());
    const QList<Panel> original = f.store->panels();
    QSignalSpy changed(f.store.get(), &AppStore::panelsChanged);
    f.services.storage->failSaves = true;

    f.store->renamePanel(f.panel(0).id(), QStringLiteral("Renamed"));
    f.store->addPanel();
    QCOMPARE(f.store->removePanel(f.panel(1).id(), false), AppStore::RemovePanelResult::Removed);
    QCOMPARE(f.panel(0).name, QStringLiteral("Renamed"));
    QCOMPARE(f.store->panels().size(), 2);
    QCOMPARE(changed.count(), 3);
    QCOMPARE(f.saves(), 3);
    QVERIFY(!f.services.storage->lastSaved);

    // The next save that works writes every change made meanwhile.
    f.services.storage->failSaves = false;
    f.store->setTabStyle(PanelTabStyle::Buttons, f.panel(1).id());
    QCOMPARE(*f.services.storage->lastSaved, f.store->panels());
    QVERIFY(f.store->panels() != original);
}

QTEST_GUILESS_MAIN(TestPanelCommands)
#include "tst_panelcommands.moc"
