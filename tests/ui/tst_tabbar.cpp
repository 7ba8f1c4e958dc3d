// The tab bar as a whole: chip order on every side, the real layout (overflow, turned strips),
// the overflow menu, the tab menu's entries and commands, and renaming through the store.

#include "uitestsupport.h"

#include "ui/itemtooltip.h"
#include "ui/overflowchevron.h"
#include "ui/panelmenus.h"
#include "ui/tabbarview.h"
#include "ui/tabchip.h"
#include "ui/tabstriplayout.h"

#include <QAction>
#include <QMenu>
#include <QTest>

Q_DECLARE_METATYPE(PanelPlacement)

namespace {

QList<PanelTab> namedTabs(const QStringList &names)
{
    QList<PanelTab> tabs;
    for (const QString &name : names)
        tabs.append(tabWith(name, {}));
    return tabs;
}

QStringList chipNames(const TabBarView &bar)
{
    QStringList names;
    for (const TabChip *chip : bar.chips())
        names.append(chip->name());
    return names;
}

PanelPlacement freePlacement()
{
    return PanelPlacement{};
}

} // namespace

class TestTabBar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void chipOrder_data();
    void chipOrder();
    void overflowShowsTheActiveChip_data();
    void overflowShowsTheActiveChip();
    void overflowMenu();
    void tabMenu();
    void removeTabAsksWhenItHoldsItems();
    void renaming();
};

void TestTabBar::chipOrder_data()
{
    QTest::addColumn<PanelPlacement>("placement");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("activeChip");
    QTest::addColumn<double>("degrees");

    const QStringList stored{u"A"_qs, u"B"_qs, u"C"_qs};
    const QStringList reversed{u"C"_qs, u"B"_qs, u"A"_qs};
    // The first tab is active in every row.
    QTest::newRow("free") << freePlacement() << stored << 0 << 0.0;
    QTest::newRow("top edge") << snappedTo(PanelEdge::Top) << stored << 0 << 0.0;
    QTest::newRow("bottom edge") << snappedTo(PanelEdge::Bottom) << stored << 0 << 0.0;
    QTest::newRow("left edge") << snappedTo(PanelEdge::Left) << stored << 0 << 90.0;
    QTest::newRow("right edge reversed") << snappedTo(PanelEdge::Right) << reversed << 2 << -90.0;
}

void TestTabBar::chipOrder()
{
    QFETCH(PanelPlacement, placement);
    QFETCH(QStringList, expected);
    QFETCH(int, activeChip);
    QFETCH(double, degrees);

    Panel panel = panelWith(namedTabs({u"A"_qs, u"B"_qs, u"C"_qs}), placement, true);
    // Tab chips ignore the panel's tooltip setting.
    panel.showsTooltips = false;
    UiFixture f({panel});
    TabBarView bar(f.panel(), *f.store, false, std::nullopt);
    QCOMPARE(chipNames(bar), expected);
    // Only turned chips, whose names are hard to read, have a tooltip.
    for (const TabChip *chip : bar.chips()) {
        QCOMPARE(chip->tooltip() != nullptr, degrees != 0);
        if (chip->tooltip())
            QVERIFY(chip->tooltip()->isEnabled() && chip->tooltip()->text() == chip->name());
    }
    QCOMPARE(TabBarView::activeChipIndex(f.panel()), std::optional<int>(activeChip));
    QVERIFY(bar.chips().at(activeChip)->isActive());
    QCOMPARE(bar.degrees(), degrees);
}

void TestTabBar::overflowShowsTheActiveChip_data()
{
    QTest::addColumn<PanelPlacement>("placement");
    QTest::addColumn<bool>("slanted");

    QTest::newRow("top, buttons") << snappedTo(PanelEdge::Top) << false;
    QTest::newRow("bottom, tabs") << snappedTo(PanelEdge::Bottom) << true;
    QTest::newRow("left, buttons") << snappedTo(PanelEdge::Left) << false;
    QTest::newRow("right, tabs") << snappedTo(PanelEdge::Right) << true;
}

void TestTabBar::overflowShowsTheActiveChip()
{
    QFETCH(PanelPlacement, placement);
    QFETCH(bool, slanted);

    QStringList names;
    for (int i = 0; i < 12; ++i)
        names.append(u"Tab number %1"_qs.arg(i));
    Panel panel = panelWith(namedTabs(names), placement, true);
    panel.selectTab(panel.tabs().at(9).id);
    UiFixture f({panel});
    TabBarView bar(f.panel(), *f.store, slanted, 200);
    const QSize hint = bar.sizeHint();
    const bool sideways = bar.degrees() != 0;
    bar.resize(hint);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));

    // The bar is no longer than the maximum plus its padding at both ends, and it is turned.
    const int padding = int(std::lround(f.panel().chrome().bodyCornerRadius()));
    QVERIFY((sideways ? hint.height() : hint.width()) <= 200 + 2 * padding + 1);
    QVERIFY(sideways ? hint.height() > hint.width() : hint.width() > hint.height());

    const QRect inside = bar.rect();
    // The chevron's frame may stand 3 points out of a thin bar; its glyph, in the middle, does not.
    QVERIFY(inside.contains(bar.chevron()->geometry().center()));
    const TabStripPlan plan = bar.stripLayout()->plan();
    QVERIFY(plan.showsChevron);
    const int active = *TabBarView::activeChipIndex(f.panel());
    QVERIFY(plan.start <= active && active < plan.start + plan.count);
    for (int i = 0; i < bar.chips().size(); ++i) {
        const bool visible = i >= plan.start && i < plan.start + plan.count;
        // Parked chips keep their size (within rounding), out of sight.
        const QSize size = bar.chips().at(i)->size();
        const QSize wanted = bar.chips().at(i)->sizeHint();
        QVERIFY(std::abs(size.width() - wanted.width()) <= 1 && std::abs(size.height() - wanted.height()) <= 1);
        QCOMPARE(inside.intersects(bar.chips().at(i)->geometry()), visible);
    }
    // Visible chips follow each other down (or along) the bar, before the chevron.
    const QRect first = bar.chips().at(plan.start)->geometry();
    const QRect last = bar.chips().at(plan.start + plan.count - 1)->geometry();
    const QRect chevron = bar.chevron()->geometry();
    if (!sideways) {
        QVERIFY(first.left() <= last.left() && last.right() < chevron.right());
    } else if (bar.degrees() > 0) {
        QVERIFY(first.top() <= last.top() && last.bottom() < chevron.bottom());
    } else {
        QVERIFY(first.bottom() >= last.bottom() && last.top() > chevron.top());
    }
}

void TestTabBar::overflowMenu()
{
    // On a right-edge panel the chips are reversed, the menu is not.
    Panel panel = panelWith(namedTabs({u"A"_qs, u"B"_qs, u"C"_qs}), snappedTo(PanelEdge::Right), true);
    panel.selectTab(panel.tabs().at(2).id);
    UiFixture f({panel});
    TabBarView bar(f.panel(), *f.store, false, 10);
    QMenu menu;
    bar.fillOverflowMenu(menu);
    QCOMPARE(titlesOf(menu), (QStringList{u"A"_qs, u"B"_qs, u"C"_qs}));
    QList<bool> checked;
    for (const QAction *action : menu.actions())
        checked.append(action->isChecked());
    QCOMPARE(checked, (QList<bool>{false, false, true}));
    entry(menu, u"A"_qs)->trigger();
    QCOMPARE(f.panel().activeTabID(), f.panel().tabs().first().id);
}

void TestTabBar::tabMenu()
{
    UiFixture f({panelWith(namedTabs({u"A"_qs, u"B"_qs}), freePlacement(), true)});
    const QUuid panelID = f.panel().id();
    const PanelTab tab = f.panel().tabs().at(1);
    QMenu menu;
    PanelMenus::addTabEntries(menu, tab, panelID, *f.store);
    QCOMPARE(titlesOf(menu), (QStringList{u"New Tab"_qs, QString(), u"Rename"_qs, u"Color"_qs, QString(),
                                          u"Show Running Applications"_qs, QString(), u"Remove Tab"_qs}));
    QVERIFY(PanelMenus::isDestructive(entry(menu, u"Remove Tab"_qs)));

    // Every colour in order, with a swatch, after "No Color".
    const QMenu *colors = entry(menu, u"Color"_qs)->menu();
    QVERIFY(colors);
    QStringList expected{u"No Color"_qs, QString()};
    for (const auto &[color, caseName] : EnumTraits<TabColor>::table)
        expected.append(TabColors::menuTitle(color));
    QCOMPARE(titlesOf(*colors), expected);
    QVERIFY(!colors->actions().last()->icon().isNull());
    colors->actions().at(2)->trigger();
    QCOMPARE(f.panel().tabs().at(1).color, std::optional<TabColor>(TabColor::SystemRed));
    entry(*colors, u"No Color"_qs)->trigger();
    QCOMPARE(f.panel().tabs().at(1).color, std::optional<TabColor>());

    QAction *running = entry(menu, u"Show Running Applications"_qs);
    QVERIFY(running->isCheckable() && !running->isChecked());
    running->trigger();
    QVERIFY(f.panel().tabs().at(1).showsRunningApps);

    entry(menu, u"Rename"_qs)->trigger();
    QCOMPARE(f.store->renaming(), std::optional(AppStore::TabRenaming{panelID, tab.id}));
    entry(menu, u"New Tab"_qs)->trigger();
    QCOMPARE(f.panel().tabs().size(), 3);

    // An empty tab goes without asking.
    AlertAnswerer answerer(u"Cancel"_qs);
    entry(menu, u"Remove Tab"_qs)->trigger();
    QCOMPARE(answerer.answered, 0);
    QCOMPARE(f.panel().tabs().size(), 2);
}

void TestTabBar::removeTabAsksWhenItHoldsItems()
{
    UiFixture f({panelWith({tabWith(u"A"_qs, {}), tabWith(u"Work"_qs, {linkTo(u"/bin/ls"_qs)})}, freePlacement(),
                           true)});
    for (const QString &answer : {u"Cancel"_qs, u"Remove Tab"_qs}) {
        QMenu menu;
        PanelMenus::addTabEntries(menu, f.panel().tabs().at(1), f.panel().id(), *f.store);
        AlertAnswerer answerer(answer);
        entry(menu, u"Remove Tab"_qs)->trigger();
        QCOMPARE(answerer.answered, 1);
        QCOMPARE(answerer.message, u"Remove Tab"_qs);
        QCOMPARE(answerer.informativeText, u"Work"_qs);
        QCOMPARE(f.panel().tabs().size(), answer == u"Cancel"_qs ? 2 : 1);
    }
}

void TestTabBar::renaming()
{
    UiFixture f({panelWith(namedTabs({u"A"_qs, u"B"_qs}), freePlacement(), true)});
    const QUuid panelID = f.panel().id();
    TabBarView bar(f.panel(), *f.store, true, std::nullopt);
    bar.resize(bar.sizeHint());
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    TabChip *chip = bar.chips().at(1);

    // A double click selects, then starts renaming this tab; the field takes the focus.
    const QPoint inside(6, chip->height() / 2);
    // What a window system delivers for a double click.
    QTest::mousePress(chip, Qt::LeftButton, {}, inside);
    QTest::mouseRelease(chip, Qt::LeftButton, {}, inside);
    QTest::mousePress(chip, Qt::LeftButton, {}, inside);
    QTest::mouseDClick(chip, Qt::LeftButton, {}, inside);
    QTest::mouseRelease(chip, Qt::LeftButton, {}, inside);
    QCOMPARE(f.panel().activeTabID(), f.panel().tabs().at(1).id);
    QCOMPARE(f.store->renaming(), std::optional(AppStore::TabRenaming{panelID, f.panel().tabs().at(1).id}));
    QVERIFY(chip->isRenaming());
    QVERIFY(!bar.chips().at(0)->isRenaming());
    QTRY_VERIFY(chip->nameField() && chip->nameField()->hasFocus());
    QCOMPARE(chip->nameField()->objectName(), u"tabNameField"_qs);
    QCOMPARE(chip->nameField()->text(), u"B"_qs);

    // Escape cancels.
    QTest::keyClick(chip->nameField(), Qt::Key_Escape);
    QVERIFY(!f.store->renaming());
    QVERIFY(!chip->isRenaming());
    QCOMPARE(f.panel().tabs().at(1).name, u"B"_qs);

    // Typing and Return rename through the store (the bar is rebuilt by its owner afterwards).
    f.store->beginRenamingTab(f.panel().tabs().at(1).id, panelID);
    QTRY_VERIFY(chip->nameField() && chip->nameField()->hasFocus());
    QTest::keyClicks(chip->nameField(), u"Mail"_qs);
    QTest::keyClick(chip->nameField(), Qt::Key_Return);
    QVERIFY(!f.store->renaming());
    QCOMPARE(f.panel().tabs().at(1).name, u"Mail"_qs);

    // A rename started on another tab ends this one; a commit after the renaming was cleared
    // changes nothing.
    f.store->beginRenamingTab(f.panel().tabs().at(1).id, panelID);
    QTRY_VERIFY(chip->nameField());
    TabNameField *field = chip->nameField();
    f.store->beginRenamingTab(f.panel().tabs().at(0).id, panelID);
    QVERIFY(!chip->isRenaming());
    QVERIFY(bar.chips().at(0)->isRenaming());
    f.store->cancelRenamingTab();
    Q_EMIT field->committed(u"Late"_qs);
    QCOMPARE(f.panel().tabs().at(1).name, u"Mail"_qs);
}

QTEST_MAIN(TestTabBar)
#include "tst_tabbar.moc"
