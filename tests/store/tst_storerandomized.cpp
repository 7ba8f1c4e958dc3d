#include "storefixture.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include <functional>
#include <limits>

// Long random sequences of panel and tab commands, with valid and unknown ids, blank names and
// out-of-range values, checking after every command what must always hold.
class TestStoreRandomized : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void randomCommandsKeepTheStoreConsistent();
};

namespace {

class Driver
{
public:
    explicit Driver(AppStore &store) : m_store(store) {}

    // An existing panel most of the time, otherwise an id no panel has.
    QUuid panelID()
    {
        const QList<Panel> &panels = m_store.panels();
        if (panels.isEmpty() || m_random.bounded(10) == 0)
            return QUuid::createUuid();
        return panels.at(m_random.bounded(int(panels.size()))).id();
    }

    // A tab of the panel (or of any panel) most of the time, otherwise an unknown id.
    QUuid tabID(const QUuid &panelID)
    {
        const Panel *owner = m_store.panel(panelID);
        if (!owner && !m_store.panels().isEmpty() && m_random.bounded(2) == 0)
            owner = &m_store.panels().at(m_random.bounded(int(m_store.panels().size())));
        if (!owner || m_random.bounded(8) == 0)
            return QUuid::createUuid();
        return owner->tabs().at(m_random.bounded(int(owner->tabs().size()))).id;
    }

    QString name()
    {
        static const QStringList names{QString(), QStringLiteral("   "), QStringLiteral("\n\t "), QStringLiteral(" Work "),
                                       QStringLiteral("Tools"), QStringLiteral("A\nB")};
        return names.at(m_random.bounded(int(names.size())));
    }

    double inset()
    {
        static const double insets[] = {-5, -0.0, 0, 8, 48, 2000, std::numeric_limits<double>::infinity(),
                                        std::numeric_limits<double>::quiet_NaN()};
        return insets[m_random.bounded(int(std::size(insets)))];
    }

    // Few distinct values, so that setting the stored one happens often.
    PanelFreePosition position() { return PanelFreePosition(m_random.bounded(3) / 2.0, m_random.bounded(3) / 2.0); }
    std::optional<QString> screenID() { return coin() ? std::nullopt : std::optional<QString>(QStringLiteral("screen-%1").arg(bounded(2))); }

    template<typename E>
    E pick()
    {
        const QList<E> cases = allCases<E>();
        return cases.at(m_random.bounded(int(cases.size())));
    }

    bool coin() { return m_random.bounded(2) == 0; }
    int bounded(int limit) { return m_random.bounded(limit); }

    PanelPlacement placement()
    {
        return PanelPlacement{.mode = coin() ? PanelPlacementMode::Free : PanelPlacementMode::Snapped,
                              .edge = pick<PanelEdge>(), .alignment = pick<PanelAlignment>(),
                              .freePosition = coin() ? std::optional<PanelFreePosition>(position()) : std::nullopt,
                              .screenID = screenID(), .edgeInset = inset()};
    }

private:
    AppStore &m_store;
    QRandomGenerator m_random{0x5eed2024};
};

struct Command
{
    const char *name;
    bool transientOnly;
    std::function<void(AppStore &, Driver &, const QUuid &panelID)> run;
};

QList<Command> commands()
{
    using S = AppStore;
    using D = Driver;
    using Id = const QUuid &;
    return {
        {"addPanel", false, [](S &s, D &d, Id) {
             s.addPanel(d.coin() ? std::optional<QString>(d.name()) : std::nullopt, d.screenID());
         }},
        {"removePanel", false, [](S &s, D &d, Id p) { s.removePanel(p, d.coin()); }},
        {"renamePanel", false, [](S &s, D &d, Id p) { s.renamePanel(p, d.name()); }},
        {"openSettings", true, [](S &s, D &, Id p) { s.openSettings(p); }},
        {"bringToFront", true, [](S &s, D &, Id p) { s.bringToFront(p); }},
        {"showAllPanels", true, [](S &s, D &, Id) { s.showAllPanels(); }},
        {"endRevealAllPanels", true, [](S &s, D &, Id) { s.endRevealAllPanels(); }},
        {"setPlacement", false, [](S &s, D &d, Id p) { s.setPlacement(d.placement(), p); }},
        {"setPlacementMode", false, [](S &s, D &d, Id p) { s.setPlacementMode(d.pick<PanelPlacementMode>(), p); }},
        {"setPlacementEdge", false, [](S &s, D &d, Id p) { s.setPlacementEdge(d.pick<PanelEdge>(), p); }},
        {"setPlacementAlignment", false, [](S &s, D &d, Id p) { s.setPlacementAlignment(d.pick<PanelAlignment>(), p); }},
        {"setPlacementEdgeInset", false, [](S &s, D &d, Id p) { s.setPlacementEdgeInset(d.inset(), p); }},
        {"setFreePosition", false, [](S &s, D &d, Id p) { s.setFreePosition(d.position(), d.screenID(), p); }},
        {"setWindowLevel", false, [](S &s, D &d, Id p) { s.setWindowLevel(d.pick<PanelWindowLevel>(), p); }},
        {"setShowsItemLabels", false, [](S &s, D &d, Id p) { s.setShowsItemLabels(d.coin(), p); }},
        {"setShowsHoverHighlight", false, [](S &s, D &d, Id p) { s.setShowsHoverHighlight(d.coin(), p); }},
        {"setShowsTooltips", false, [](S &s, D &d, Id p) { s.setShowsTooltips(d.coin(), p); }},
        {"setShowsOnAllSpaces", false, [](S &s, D &d, Id p) { s.setShowsOnAllSpaces(d.coin(), p); }},
        {"setIconSize", false, [](S &s, D &d, Id p) { s.setIconSize(d.pick<PanelIconSize>(), p); }},
        {"setIconSpacing", false, [](S &s, D &d, Id p) { s.setIconSpacing(d.pick<PanelIconSpacing>(), p); }},
        {"setTabStyle", false, [](S &s, D &d, Id p) { s.setTabStyle(d.pick<PanelTabStyle>(), p); }},
        {"addTab", false, [](S &s, D &, Id p) { s.addTab(p); }},
        {"renameTab", false, [](S &s, D &d, Id p) { s.renameTab(d.tabID(p), d.name(), p); }},
        {"setTabColor", false, [](S &s, D &d, Id p) {
             s.setTabColor(d.coin() ? std::optional<TabColor>(d.pick<TabColor>()) : std::nullopt, d.tabID(p), p);
         }},
        {"setShowsRunningApps", false, [](S &s, D &d, Id p) { s.setShowsRunningApps(d.coin(), d.tabID(p), p); }},
        {"removeTab", false, [](S &s, D &d, Id p) { s.removeTab(d.tabID(p), p, d.coin()); }},
        {"selectTab", false, [](S &s, D &d, Id p) { s.selectTab(d.tabID(p), p); }},
        {"beginRenamingTab", true, [](S &s, D &d, Id p) { s.beginRenamingTab(d.tabID(p), p); }},
        {"cancelRenamingTab", true, [](S &s, D &, Id) { s.cancelRenamingTab(); }},
        {"commitRenamingTab", false, [](S &s, D &d, Id) { s.commitRenamingTab(d.name()); }},
    };
}

QList<Panel> startingPanels()
{
    // Tabs with a link and a group, so that removals without confirmation are refused.
    const auto holding = [](const QString &name) {
        return tabNamed(name, {linkTo(QStringLiteral("/a"), name + QStringLiteral(".png")),
                               ItemGroup{.name = name, .links = {linkTo(QStringLiteral("/g"))}}});
    };
    return {panelWith(QStringLiteral("One"), {holding(QStringLiteral("A")), tabNamed(QStringLiteral("B"))}),
            panelWith(QStringLiteral("Two"), {holding(QStringLiteral("C"))}),
            panelWith(QStringLiteral("Three"), {tabNamed(QStringLiteral("D"))})};
}

// Empty when every panel has a valid active tab and no id occurs twice in the store.
QString structuralFault(const QList<Panel> &panels)
{
    QList<QUuid> ids;
    for (const Panel &panel : panels) {
        if (!panel.tab(panel.activeTabID()))
            return QStringLiteral("panel %1 has no valid active tab").arg(panel.name);
        ids.append(panel.id());
        for (const PanelTab &tab : panel.tabs()) {
            ids.append(tab.id);
            for (const Item &item : tab.items) {
                ids.append(item.id());
                for (const ItemLink &link : item.group() ? item.group()->links : QList<ItemLink>())
                    ids.append(link.id);
            }
        }
    }
    return QSet<QUuid>(ids.cbegin(), ids.cend()).size() == ids.size() ? QString() : QStringLiteral("an id occurs twice");
}

} // namespace

void TestStoreRandomized::randomCommandsKeepTheStoreConsistent()
{
    StoreFixture f(startingPanels());
    AppStore &store = *f.store;
    Driver driver(store);
    const QList<Command> all = commands();
    QSignalSpy panelsChanged(&store, &AppStore::panelsChanged);
    QHash<QByteArray, int> runs;

    for (int step = 0; step < 10000; ++step) {
        const Command &command = all.at(driver.bounded(int(all.size())));
        const QUuid panelID = driver.panelID();
        const bool panelExisted = store.panel(panelID) != nullptr;
        const QList<Panel> before = store.panels();
        const int savesBefore = f.saves();
        const qsizetype notificationsBefore = panelsChanged.count();

        command.run(store, driver, panelID);
        ++runs[command.name];

        const QString where = QStringLiteral("step %1, %2: ").arg(step).arg(QLatin1String(command.name));
        const int saves = f.saves() - savesBefore;
        const QString fault = structuralFault(store.panels());
        QVERIFY2(fault.isEmpty(), qPrintable(where + fault));
        if (f.saves() > 0)
            QVERIFY2(*f.services.storage->lastSaved == store.panels(), qPrintable(where + QStringLiteral("saved list differs")));
        if (store.panels() != before)
            QVERIFY2(saves > 0, qPrintable(where + QStringLiteral("panels changed without a save")));
        QVERIFY2(saves <= 1, qPrintable(where + QStringLiteral("saved more than once")));
        QVERIFY2(panelsChanged.count() - notificationsBefore == saves,
                 qPrintable(where + QStringLiteral("notifications of panels differ from saves")));
        if (command.transientOnly)
            QVERIFY2(saves == 0, qPrintable(where + QStringLiteral("a transient command saved")));
        const bool addressesPanel = qstrcmp(command.name, "addPanel") != 0 && qstrcmp(command.name, "commitRenamingTab") != 0;
        if (addressesPanel && !panelExisted)
            QVERIFY2(saves == 0, qPrintable(where + QStringLiteral("a command on a missing panel saved")));
    }

    // Every command must actually have been exercised.
    for (const Command &command : all)
        QVERIFY2(runs.value(command.name) > 100, command.name);
}

QTEST_GUILESS_MAIN(TestStoreRandomized)
#include "tst_storerandomized.moc"
