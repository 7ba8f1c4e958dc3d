#include "model/panel.h"
#include "panelnotation.h"

#include <QTest>

using namespace PanelNotation;

namespace {

std::optional<QUuid> optionalID(const QString &token)
{
    return token == u"-" ? std::nullopt : std::optional<QUuid>(idFor(token));
}

template<typename T, typename Make>
QList<T> listOf(const QString &token, Make make)
{
    QList<T> values;
    if (token != u"-") {
        for (const QString &part : token.split(u'+'))
            values.append(make(part));
    }
    return values;
}

// Runs one editing operation written as "name arg...": names stand for their ids, "-" for an
// absent optional or an empty list, "x+y" for a list. Operations without a result report true.
bool apply(Panel &panel, const QString &operation)
{
    const QStringList a = operation.split(u' ');
    const QString &op = a.at(0);
    const auto id = [&a](int i) { return idFor(a.at(i)); };
    if (op == u"addTab")
        panel.addTab(tab(a.at(1)));
    else if (op == u"selectTab")
        panel.selectTab(id(1));
    else if (op == u"renameTab")
        panel.renameTab(id(1), a.at(2));
    else if (op == u"setColor")
        panel.setColor(enumFromRawValue<TabColor>(a.at(1)), id(2));
    else if (op == u"setShowsRunningApps")
        panel.setShowsRunningApps(a.at(1) == u"true", id(2));
    else if (op == u"removeTab")
        return panel.removeTab(id(1));
    else if (op == u"append" && a.size() == 2)
        panel.append(item(a.at(1)));
    else if (op == u"append")
        panel.append(item(a.at(1)), id(2));
    else if (op == u"insert")
        panel.insert(listOf<Item>(a.at(1), item), optionalID(a.at(2)), id(3));
    else if (op == u"removeItem")
        return panel.removeItem(id(1), id(2));
    else if (op == u"moveItem")
        return panel.moveItem(id(1), optionalID(a.at(2)), id(3));
    else if (op == u"moveLinkIntoGroup")
        return panel.moveLinkIntoGroup(id(1), id(2), id(3));
    else if (op == u"renameGroup")
        return panel.renameGroup(id(1), a.at(2));
    else if (op == u"appendLink")
        return panel.appendLink(PanelNotation::link(a.at(1)), id(2));
    else if (op == u"insertLinks")
        return panel.insertLinks(listOf<ItemLink>(a.at(1), PanelNotation::link), optionalID(a.at(2)), id(3));
    else if (op == u"moveLink")
        return panel.moveLink(id(1), optionalID(a.at(2)), id(3));
    else if (op == u"removeLink")
        return panel.removeLink(id(1), id(2));
    else if (op == u"setCustomIcon")
        return panel.setCustomIcon(a.at(1) == u"-" ? std::nullopt : std::optional<QString>(a.at(1)), id(2));
    else
        qFatal("unknown operation in test table");
    return true;
}

} // namespace

class TestPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initialiserDefaults();
    void initialActiveTab_data();
    void initialActiveTab();
    void derivedProperties();
    void itemCustomIconFileNames_data();
    void itemCustomIconFileNames();
    void edit_data();
    void edit();
    void resetToEmptyState();
    void queries_data();
    void queries();
};

void TestPanel::initialiserDefaults()
{
    const Panel panel(PanelInit{.name = QStringLiteral("P"), .tab = tab(QStringLiteral("A"))});
    QCOMPARE(panel.tabs().size(), 1);
    QCOMPARE(panel.activeTabID(), idFor(QStringLiteral("A")));
    QVERIFY(!panel.isTabBarVisible());
    QVERIFY(panel.showsItemLabels && panel.showsHoverHighlight && panel.showsTooltips && panel.showsOnAllSpaces);
    QCOMPARE(panel.chrome(), (IconChrome{PanelIconSize::Medium, PanelIconSpacing::Normal}));
    QCOMPARE(panel.tabStyle, PanelTabStyle::Slanted);
    QCOMPARE(panel.placement(), PanelPlacement());
    QCOMPARE(panel.windowLevel(), PanelWindowLevel::Normal);

    // The flag is taken as given, not derived from the number of tabs.
    const Panel revealed(PanelInit{.name = QStringLiteral("P"), .tab = tab(QStringLiteral("A")),
                                   .didRevealTabBar = true});
    QVERIFY(revealed.isTabBarVisible());
    QCOMPARE(render(revealed), u"^*A:");
}

void TestPanel::initialActiveTab_data()
{
    QTest::addColumn<std::optional<QString>>("requested");
    QTest::addColumn<QString>("expected");
    QTest::newRow("absent: first tab") << std::optional<QString>() << QStringLiteral("*A: | B: | C:");
    QTest::newRow("a later tab") << std::optional<QString>(QStringLiteral("C")) << QStringLiteral("A: | B: | *C:");
    QTest::newRow("unknown id: first tab") << std::optional<QString>(QStringLiteral("Z"))
                                           << QStringLiteral("*A: | B: | C:");
}

void TestPanel::initialActiveTab()
{
    QFETCH(std::optional<QString>, requested);
    const Panel panel(PanelInit{.name = QStringLiteral("P"),
                                .tab = tab(QStringLiteral("A")),
                                .moreTabs = {tab(QStringLiteral("B")), tab(QStringLiteral("C"))},
                                .activeTabID = requested ? std::optional<QUuid>(idFor(*requested)) : std::nullopt});
    QTEST(render(panel), "expected");
    QCOMPARE(panel.activeTab().id, panel.activeTabID());
}

void TestPanel::derivedProperties()
{
    Panel panel = parse(QStringLiteral("*A: a | B: G[x,y] b H[] | C: K[z]"));
    // Groups in tabs other than the active one count; their members never do.
    QCOMPARE(panel.groupCount(), 3);
    QCOMPARE(panel.group(idFor(QStringLiteral("H")))->name, u"H");
    QVERIFY(!panel.group(idFor(QStringLiteral("b"))));

    panel.iconSize = PanelIconSize::Large;
    panel.iconSpacing = PanelIconSpacing::Compact;
    QCOMPARE(panel.chrome(), (IconChrome{PanelIconSize::Large, PanelIconSpacing::Compact}));

    PanelPlacement placement;
    placement.edge = PanelEdge::Left;
    panel.setPlacement(placement);
    QCOMPARE(panel.contentOrientation(), PanelOrientation::Horizontal); // free, whatever the edge
    placement.mode = PanelPlacementMode::Snapped;
    panel.setPlacement(placement);
    QCOMPARE(panel.contentOrientation(), PanelOrientation::Vertical);
    placement.edge = PanelEdge::Top;
    panel.setPlacement(placement);
    QCOMPARE(panel.contentOrientation(), PanelOrientation::Horizontal);
}

void TestPanel::itemCustomIconFileNames_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("link without icon") << QStringLiteral("a") << QStringList();
    QTest::newRow("link with icon") << QStringLiteral("a@i") << QStringList{QStringLiteral("i")};
    QTest::newRow("group without icon, iconed members in order")
        << QStringLiteral("G[x@m2,y,z@m1]") << QStringList{QStringLiteral("m2"), QStringLiteral("m1")};
    QTest::newRow("group's own icon first") << QStringLiteral("G[x@m]@g")
                                            << QStringList{QStringLiteral("g"), QStringLiteral("m")};
}

void TestPanel::itemCustomIconFileNames()
{
    QFETCH(QString, item);
    QTEST(PanelNotation::item(item).customIconFileNames(), "expected");
}

void TestPanel::edit_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("after");
    const auto row = [](const char *name, const char *before, const char *operation, bool result, const char *after) {
        QTest::newRow(name) << QString::fromUtf8(before) << QString::fromUtf8(operation) << result
                            << QString::fromUtf8(after);
    };
    // Tabs.
    row("addTab appends, selects, reveals", "*A: a", "addTab B", true, "^A: a | *B:");
    row("selectTab", "*A: | B:", "selectTab B", true, "A: | *B:");
    row("selectTab unknown", "*A: | B:", "selectTab Z", true, "*A: | B:");
    row("renameTab", "*A: | B:", "renameTab B Work", true, "*A: | B=Work:");
    row("renameTab unknown", "*A:", "renameTab Z Work", true, "*A:");
    row("setColor", "*A: | B:", "setColor systemPink B", true, "*A: | B~systemPink:");
    row("setColor clears", "*A~systemRed:", "setColor - A", true, "*A:");
    row("setShowsRunningApps", "*A: | B:", "setShowsRunningApps true B", true, "*A: | B+run:");
    row("removeTab last one", "^*A: a", "removeTab A", false, "^*A: a");
    row("removeTab unknown of two", "*A: | B:", "removeTab Z", false, "*A: | B:");
    row("removeTab active middle", "A: | *B: | C:", "removeTab B", true, "A: | *C:");
    row("removeTab active last", "A: | B: | *C:", "removeTab C", true, "A: | *B:");
    row("removeTab inactive", "A: | B: | *C:", "removeTab A", true, "B: | *C:");
    row("removeTab keeps tab bar", "^A: | *B:", "removeTab B", true, "^*A:");
    // Top-level items.
    row("append to active tab", "A: a | *B: b", "append x", true, "A: a | *B: b x");
    row("append to given tab", "A: a | *B: b", "append x A", true, "A: a x | *B: b");
    row("append to gone tab", "A: a | *B: b", "append x Z", true, "A: a | *B: b x");
    row("insert three before first", "*A: a b", "insert x+y+z a A", true, "*A: x y z a b");
    row("insert before middle", "*A: a b", "insert x+G[m] b A", true, "*A: a x G[m] b");
    row("insert without before", "*A: a b", "insert x - A", true, "*A: a b x");
    row("insert before group member", "*A: a G[m] b", "insert x m A", true, "*A: a G[m] b x");
    row("insert before item of other tab", "*A: a | B: b", "insert x b A", true, "*A: a x | B: b");
    row("insert into gone tab", "A: a | *B: b", "insert x a Z", true, "A: a | *B: b x");
    row("insert nothing", "*A: a", "insert - - A", true, "*A: a");
    row("removeItem", "*A: a G[m] b", "removeItem G A", true, "*A: a b");
    row("removeItem from wrong tab", "*A: a | B: b", "removeItem b A", false, "*A: a | B: b");
    row("removeItem member", "*A: G[m]", "removeItem m A", false, "*A: G[m]");
    row("removeItem unknown tab", "*A: a", "removeItem a Z", false, "*A: a");
    row("moveItem forward", "*A: a b c", "moveItem a c A", true, "*A: b a c");
    row("moveItem back", "*A: a b c", "moveItem c a A", true, "*A: c a b");
    row("moveItem to end", "*A: a b c", "moveItem a - A", true, "*A: b c a");
    row("moveItem before itself", "*A: a b", "moveItem a a A", false, "*A: a b");
    row("moveItem before item of other tab", "*A: a b | B: c", "moveItem a c A", true, "*A: b a | B: c");
    row("moveItem before member", "*A: a G[m] b", "moveItem a m A", true, "*A: G[m] b a");
    row("moveItem not in tab", "*A: a | B: b", "moveItem b a A", false, "*A: a | B: b");
    row("moveLinkIntoGroup", "*A: a G[m] b", "moveLinkIntoGroup b G A", true, "*A: a G[m,b]");
    row("moveLinkIntoGroup other tab", "*A: a b | B: G[m]", "moveLinkIntoGroup a G A", true, "*A: b | B: G[m,a]");
    row("moveLinkIntoGroup unknown group", "*A: a b c G[]", "moveLinkIntoGroup b Z A", false, "*A: a b c G[]");
    row("moveLinkIntoGroup a link id", "*A: a b c", "moveLinkIntoGroup b c A", false, "*A: a b c");
    row("moveLinkIntoGroup a group", "*A: G[] H[]", "moveLinkIntoGroup G H A", false, "*A: G[] H[]");
    row("moveLinkIntoGroup member", "*A: G[m] H[]", "moveLinkIntoGroup m H A", false, "*A: G[m] H[]");
    row("moveLinkIntoGroup wrong tab", "*A: G[] | B: b", "moveLinkIntoGroup b G A", false, "*A: G[] | B: b");
    // Groups, wherever they lie.
    row("renameGroup in other tab", "*A: | B: G[]", "renameGroup G Tools", true, "*A: | B: G=Tools[]");
    row("renameGroup of a link", "*A: a", "renameGroup a Tools", false, "*A: a");
    row("appendLink", "*A: | B: G[m]", "appendLink x G", true, "*A: | B: G[m,x]");
    row("appendLink unknown group", "*A: a", "appendLink x a", false, "*A: a");
    row("insertLinks before member", "*A: G[m,n]", "insertLinks x+y n G", true, "*A: G[m,x,y,n]");
    row("insertLinks unknown before", "*A: G[m]", "insertLinks x a G", true, "*A: G[m,x]");
    row("insertLinks nothing", "*A: G[m]", "insertLinks - - G", false, "*A: G[m]");
    row("insertLinks unknown group", "*A: G[m]", "insertLinks x - Z", false, "*A: G[m]");
    row("moveLink to end", "*A: G[m,n,o]", "moveLink m - G", true, "*A: G[n,o,m]");
    row("moveLink back", "*A: G[m,n,o]", "moveLink o m G", true, "*A: G[o,m,n]");
    row("moveLink before itself", "*A: G[m,n]", "moveLink m m G", false, "*A: G[m,n]");
    row("moveLink not a member", "*A: a G[m] H[n]", "moveLink n - G", false, "*A: a G[m] H[n]");
    row("removeLink only member", "*A: G[m]", "removeLink m G", true, "*A: G[]");
    row("removeLink not a member", "*A: G[m] H[n]", "removeLink n G", false, "*A: G[m] H[n]");
    // Custom icons.
    row("setCustomIcon member link", "*A: G[m,n]", "setCustomIcon i n", true, "*A: G[m,n@i]");
    row("setCustomIcon group", "*A: G[m]", "setCustomIcon i G", true, "*A: G[m]@i");
    row("setCustomIcon link in other tab", "*A: | B: b@old", "setCustomIcon new b", true, "*A: | B: b@new");
    row("setCustomIcon clears", "*A: a@i", "setCustomIcon - a", true, "*A: a");
    row("setCustomIcon unknown", "*A: a", "setCustomIcon i Z", false, "*A: a");
}

void TestPanel::edit()
{
    QFETCH(QString, before);
    QFETCH(QString, operation);
    Panel panel = parse(before);
    QCOMPARE(render(panel), before); // the table itself is well formed
    QTEST(apply(panel, operation), "result");
    QTEST(render(panel), "after");
}

void TestPanel::resetToEmptyState()
{
    Panel panel = parse(QStringLiteral("^A~systemRed+run: a | B: G[m] | *C: | D: | E: e"));
    const QList<PanelTab> oldTabs = panel.tabs();
    panel.resetToEmptyState(QStringLiteral("Main"));
    QCOMPARE(panel.tabs().size(), 1);
    const PanelTab &fresh = panel.tabs().first();
    for (const PanelTab &old : oldTabs)
        QVERIFY(fresh.id != old.id);
    QCOMPARE(fresh, (PanelTab{fresh.id, QStringLiteral("Main"), std::nullopt, {}, false}));
    QCOMPARE(panel.activeTabID(), fresh.id);
    QVERIFY(!panel.isTabBarVisible());
}

void TestPanel::queries_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("expected");
    // Layout: "A: a@i1 G[x@i2,y]@g b | *B: c@i3 H[z@i4] | C:"
    QTest::newRow("all tabs, tab by tab") << QStringLiteral("names -") << QStringLiteral("i1 g i2 i3 i4");
    QTest::newRow("one tab") << QStringLiteral("names B") << QStringLiteral("i3 i4");
    QTest::newRow("tab without icons") << QStringLiteral("names C") << QString();
    QTest::newRow("unknown tab") << QStringLiteral("names Z") << QString();
    QTest::newRow("icon of member") << QStringLiteral("icon x") << QStringLiteral("i2");
    QTest::newRow("icon of group") << QStringLiteral("icon G") << QStringLiteral("g");
    QTest::newRow("group without icon, iconed member") << QStringLiteral("icon H") << QStringLiteral("-");
    QTest::newRow("icon of unknown") << QStringLiteral("icon Z") << QStringLiteral("-");
    QTest::newRow("contains member") << QStringLiteral("contains y") << QStringLiteral("true");
    QTest::newRow("contains group in other tab") << QStringLiteral("contains G") << QStringLiteral("true");
    QTest::newRow("contains a tab id") << QStringLiteral("contains B") << QStringLiteral("false");
}

void TestPanel::queries()
{
    QFETCH(QString, query);
    const Panel panel = parse(QStringLiteral("A: a@i1 G[x@i2,y]@g b | *B: c@i3 H[z@i4] | C:"));
    const QString kind = query.section(u' ', 0, 0);
    const QString arg = query.section(u' ', 1);
    QString answer;
    if (kind == u"names") {
        answer = panel.customIconFileNames(arg == u"-" ? std::nullopt : std::optional<QUuid>(idFor(arg))).join(u' ');
    } else if (kind == u"icon") {
        answer = panel.customIconFileName(idFor(arg)).value_or(QStringLiteral("-"));
    } else {
        answer = panel.containsItem(idFor(arg)) ? QStringLiteral("true") : QStringLiteral("false");
    }
    QTEST(answer, "expected");
}

QTEST_APPLESS_MAIN(TestPanel)
#include "tst_panel.moc"
