#include "storefixture.h"

#include "model/defaultname.h"

#include <QTest>

#include <functional>
#include <limits>

using PanelCommand = std::function<void(AppStore &, const QUuid &)>;
using PanelCheck = std::function<bool(const Panel &)>;
using TargetOf = std::function<std::optional<QUuid>(const AppStore &)>;
using RequestOf = std::function<QUuid(const AppStore &)>;

class TestPanelCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void addPanel();
    void removePanel_data();
    void removePanel();
    void renamePanel_data();
    void renamePanel();
    void requestChangesTargetThenID_data();
    void requestChangesTargetThenID();
    void showAllPanels();
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

bool placementIs(const Panel &panel, const std::function<void(PanelPlacement &)> &change)
{
    PanelPlacement expected = customPlacement;
    change(expected);
    return panel.placement() == expected;
}

} // namespace

void TestPanelCommands::addPanel()
{
    StoreFixture f(twoPanels());
    f.store->addPanel(std::nullopt, QStringLiteral("screen-B"));
    f.store->addPanel(QStringLiteral(" Mine "));

    const Panel &added = f.panel(2);
    QCOMPARE(added.name, QStringLiteral("Panel 3"));
    QCOMPARE(f.panel(3).name, QStringLiteral(" Mine ")); // a given name is taken as it is
    QCOMPARE(added.windowLevel(), PanelWindowLevel::AboveAll);
    QCOMPARE(added.placement(), PanelPlacement{.screenID = QStringLiteral("screen-B")});
    QCOMPARE(added.tabs().size(), 1);
    QCOMPARE(added.activeTab().name, DefaultName::firstTab());
    QVERIFY(added.activeTab().items.isEmpty() && !added.didRevealTabBar());
    QCOMPARE(f.saves(), 2);
    QCOMPARE(*f.services.storage->lastSaved, f.store->panels());
}

void TestPanelCommands::removePanel_data()
{
    QTest::addColumn<QList<Panel>>("panels");
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<bool>("knownPanel");
    QTest::addColumn<AppStore::RemovePanelResult>("expected");
    QTest::addColumn<QStringList>("expectedRemovedIcons");

    const Panel empty = panelWith(QStringLiteral("E"), {tabNamed(QStringLiteral("A")), tabNamed(QStringLiteral("B"))});
    const ItemGroup group{.links = {linkTo(QStringLiteral("/m"), QStringLiteral("m.png"))}, .customIcon = QStringLiteral("g.png")};
    const Panel holding = panelWith(QStringLiteral("H"), {tabNamed(QStringLiteral("A")), tabNamed(QStringLiteral("B"), {group})});
    const Panel other = panelWith(QStringLiteral("O"), {tabNamed(QStringLiteral("A"), {linkTo(QStringLiteral("/o"), QStringLiteral("o.png"))})});
    using R = AppStore::RemovePanelResult;

    QTest::newRow("all tabs empty: no confirmation") << QList<Panel>{empty, other} << false << true << R::Removed << QStringList();
    QTest::newRow("an item in a later tab, unconfirmed") << QList<Panel>{holding, other} << false << true << R::NeedsConfirmation << QStringList();
    QTest::newRow("confirmed: the panel's icon files go") << QList<Panel>{holding, other} << true << true << R::Removed
                                                          << QStringList{QStringLiteral("g.png"), QStringLiteral("m.png")};
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
    f.store->openSettings(panels.first().id());
    NotificationCounter notifications(f.store.get());
    QCOMPARE(f.store->removePanel(knownPanel ? panels.first().id() : QUuid::createUuid(), confirmed), expected);

    const bool removed = expected == AppStore::RemovePanelResult::Removed;
    QCOMPARE(f.store->panels(), removed ? panels.mid(1) : panels);
    QCOMPARE(f.saves(), removed ? 1 : 0);
    QCOMPARE(notifications.total(), removed ? 1 : 0);
    QCOMPARE(f.services.icons->removed, expectedRemovedIcons);
    QCOMPARE(f.store->settingsPanelID(), std::optional<QUuid>(panels.first().id())); // transient fields stay
}

void TestPanelCommands::renamePanel_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("knownPanel");
    QTest::addColumn<QString>("expectedName");

    QTest::newRow("blanks and line breaks trimmed") << QStringLiteral(" \t Work \n") << true << QStringLiteral("Work");
    QTest::newRow("inner blanks kept") << QStringLiteral("A  B") << true << QStringLiteral("A  B");
    QTest::newRow("blanks only") << QStringLiteral(" \n\t ") << true << QStringLiteral("First");
    QTest::newRow("the current name, padded") << QStringLiteral("  First ") << true << QStringLiteral("First");
    QTest::newRow("unknown panel") << QStringLiteral("Work") << false << QStringLiteral("First");
}

void TestPanelCommands::renamePanel()
{
    QFETCH(QString, name);
    QFETCH(bool, knownPanel);
    QFETCH(QString, expectedName);

    StoreFixture f(twoPanels());
    NotificationCounter notifications(f.store.get());
    f.store->renamePanel(knownPanel ? f.panel(0).id() : QUuid::createUuid(), name);
    QCOMPARE(f.panel(0).name, expectedName);
    const int changes = expectedName == QLatin1String("First") ? 0 : 1; // an equal name saves nothing
    QCOMPARE(f.saves(), changes);
    QCOMPARE(notifications.total(), changes);
}

void TestPanelCommands::requestChangesTargetThenID_data()
{
    QTest::addColumn<PanelCommand>("request");
    QTest::addColumn<TargetOf>("target");
    QTest::addColumn<RequestOf>("requestID");
    QTest::newRow("settings") << PanelCommand(&AppStore::openSettings) << TargetOf(&AppStore::settingsPanelID)
                              << RequestOf(&AppStore::settingsRequestID);
    QTest::newRow("bring to front") << PanelCommand(&AppStore::bringToFront) << TargetOf(&AppStore::broughtToFrontPanelID)
                                    << RequestOf(&AppStore::bringToFrontRequestID);
}

void TestPanelCommands::requestChangesTargetThenID()
{
    QFETCH(PanelCommand, request);
    QFETCH(TargetOf, target);
    QFETCH(RequestOf, requestID);

    StoreFixture f(twoPanels());
    AppStore &store = *f.store;
    // What an observer of the request reads: the target must already be the new one.
    QList<std::optional<QUuid>> targetsSeen;
    const auto recordTarget = [&] { targetsSeen.append(target(store)); };
    connect(&store, &AppStore::settingsRequestIDChanged, &store, recordTarget);
    connect(&store, &AppStore::bringToFrontRequestIDChanged, &store, recordTarget);

    const QList<QUuid> panelIDs{f.panel(0).id(), f.panel(0).id(), f.panel(1).id()};
    QList<QUuid> ids{requestID(store)};
    for (const QUuid &panelID : panelIDs) {
        request(store, panelID);
        QVERIFY(!ids.contains(requestID(store))); // a repeated request is a new request
        ids.append(requestID(store));
    }
    QCOMPARE(targetsSeen, QList<std::optional<QUuid>>(panelIDs.cbegin(), panelIDs.cend()));

    NotificationCounter notifications(&store);
    request(store, QUuid::createUuid());
    QCOMPARE(notifications.total(), 0);
    QCOMPARE(f.saves(), 0);
}

void TestPanelCommands::showAllPanels()
{
    StoreFixture f(twoPanels());
    AppStore &store = *f.store;
    bool revealingWhenRequested = false;
    connect(&store, &AppStore::showAllPanelsRequestIDChanged, &store, [&] { revealingWhenRequested = store.isRevealingAllPanels(); });
    QSignalSpy requests(&store, &AppStore::showAllPanelsRequestIDChanged);
    QSignalSpy revealing(&store, &AppStore::isRevealingAllPanelsChanged);

    store.showAllPanels();
    store.showAllPanels();
    QVERIFY(revealingWhenRequested);
    QCOMPARE(requests.count(), 2);
    store.endRevealAllPanels();
    store.endRevealAllPanels();
    QVERIFY(!store.isRevealingAllPanels());
    QCOMPARE(revealing.count(), 2);
    QCOMPARE(f.saves(), 0);

    StoreFixture none(std::nullopt);
    const QUuid before = none.store->showAllPanelsRequestID();
    NotificationCounter notifications(none.store.get());
    none.store->showAllPanels();
    QVERIFY(!none.store->isRevealingAllPanels());
    QCOMPARE(none.store->showAllPanelsRequestID(), before);
    QCOMPARE(notifications.total(), 0);
}

void TestPanelCommands::setterSavesEvenWhenUnchanged_data()
{
    QTest::addColumn<PanelCommand>("command");
    QTest::addColumn<PanelCheck>("applied");
    const auto row = [](const char *name, PanelCommand command, PanelCheck applied) { QTest::newRow(name) << command << applied; };

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
    row("placement mode only", [](AppStore &s, const QUuid &id) { s.setPlacementMode(PanelPlacementMode::Free, id); },
        [](const Panel &p) { return placementIs(p, [](PanelPlacement &q) { q.mode = PanelPlacementMode::Free; }); });
    row("placement edge only", [](AppStore &s, const QUuid &id) { s.setPlacementEdge(PanelEdge::Top, id); },
        [](const Panel &p) { return placementIs(p, [](PanelPlacement &q) { q.edge = PanelEdge::Top; }); });
    row("placement alignment only", [](AppStore &s, const QUuid &id) { s.setPlacementAlignment(PanelAlignment::Stretch, id); },
        [](const Panel &p) { return placementIs(p, [](PanelPlacement &q) { q.alignment = PanelAlignment::Stretch; }); });
    row("placement inset only", [](AppStore &s, const QUuid &id) { s.setPlacementEdgeInset(20, id); },
        [](const Panel &p) { return placementIs(p, [](PanelPlacement &q) { q.edgeInset = 20; }); });
}

void TestPanelCommands::setterSavesEvenWhenUnchanged()
{
    QFETCH(PanelCommand, command);
    QFETCH(PanelCheck, applied);

    StoreFixture f(twoPanels());
    const Panel untouched = f.panel(1);
    NotificationCounter notifications(f.store.get());
    command(*f.store, f.panel(0).id());
    command(*f.store, f.panel(0).id()); // the same value again
    QVERIFY(applied(f.panel(0)));
    QCOMPARE(f.panel(1), untouched);
    QCOMPARE(f.saves(), 2);
    QCOMPARE(notifications.total(), 2);
    QCOMPARE(*f.services.storage->lastSaved, f.store->panels());

    command(*f.store, QUuid::createUuid());
    QCOMPARE(f.saves(), 2);
    QCOMPARE(notifications.total(), 2);
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
    f.store->setFreePosition(position, screenID, QUuid::createUuid());
    QCOMPARE(f.saves(), 0);
    f.store->setFreePosition(position, screenID, f.panel(0).id());
    QVERIFY(placementIs(f.panel(0), [&](PanelPlacement &q) {
        q.freePosition = position;
        q.screenID = screenID;
    }));
    QCOMPARE(f.saves(), expectedSaves);
}

void TestPanelCommands::failedSaveKeepsTheChange()
{
    StoreFixture f(twoPanels());
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
}

QTEST_GUILESS_MAIN(TestPanelCommands)
#include "tst_panelcommands.moc"
