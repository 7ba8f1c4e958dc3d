// Renaming a tab in real panel windows on a private X server with a window manager: a double
// click with the real pointer starts it and the panel's window takes the keyboard, typed text and
// Return rename through the store, Escape cancels, and a rename begun in another panel ends it.

#include "windowfixture.h"

#include "ui/panelview.h"
#include "ui/tabbarview.h"
#include "ui/tabchip.h"
#include "ui/uiviewfactory.h"

#include <QApplication>
#include <QTest>

namespace {

X11Session &session()
{
    return X11Session::current();
}

Panel panelOfTabs(const QString &name, const PanelPlacement &placement)
{
    PanelTab first;
    first.name = u"Home"_qs;
    // Items enough for a body long enough for both chips.
    for (int i = 0; i < 4; ++i)
        first.items.append(ItemLink{.location = QUrl::fromLocalFile(u"/usr/bin/tool%1"_qs.arg(i))});
    PanelTab second;
    second.name = u"Work"_qs;
    return Panel(PanelInit{.name = name, .tab = first, .moreTabs = {second}, .didRevealTabBar = true,
                           .placement = placement});
}

// The chip of the tab at `index` in the panel's current view.
TabChip *chipOf(const WindowFixture &fixture, qsizetype panel, int index)
{
    HostedView *view = fixture.window(panel)->view();
    TabBarView *bar = view ? view->findChild<TabBarView *>() : nullptr;
    return bar && index < bar->chips().size() ? bar->chips().at(index) : nullptr;
}

TabNameField *fieldIn(const WindowFixture &fixture, qsizetype panel)
{
    return fixture.window(panel)->findChild<TabNameField *>();
}

// A double click of the real pointer in the leading padding of the chip.
bool doubleClick(TabChip *chip)
{
    const QPoint at = chip->mapToGlobal(QPoint(5, chip->height() / 2));
    return session().movePointer(at) &&
           session().run(u"xdotool"_qs, {u"click"_qs, u"--repeat"_qs, u"2"_qs, u"--delay"_qs, u"60"_qs, u"1"_qs});
}

bool type(const QStringList &arguments)
{
    return session().run(u"xdotool"_qs, arguments);
}

} // namespace

class TestTabBarX11 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void renamingInRealWindows();
};

void TestTabBarX11::renamingInRealWindows()
{
    WindowFixture fixture({panelOfTabs(u"A"_qs, snappedTo(PanelEdge::Bottom)),
                           panelOfTabs(u"B"_qs, snappedTo(PanelEdge::Top))},
                          std::make_unique<UiViewFactory>());
    QVERIFY(fixture.allManaged());
    QTRY_VERIFY(chipOf(fixture, 0, 1) && chipOf(fixture, 0, 1)->isVisible());

    // A double click on the second tab selects it, then renames it in a window that takes focus.
    // Its leading edge lies under the bounds of the first (active, raised) slanted chip: only the
    // drawn outline of that chip takes the press.
    QVERIFY(doubleClick(chipOf(fixture, 0, 1)));
    QTRY_VERIFY(fixture.store->renaming());
    const QUuid workID = fixture.panel(0).tabs().at(1).id;
    QCOMPARE(fixture.panel(0).activeTabID(), workID);
    QCOMPARE(fixture.store->renaming()->tabID, workID);
    QTRY_COMPARE(session().activeWindow(), fixture.xid(0));
    QTRY_VERIFY(fieldIn(fixture, 0) && fieldIn(fixture, 0)->hasFocus());
    QCOMPARE(fieldIn(fixture, 0)->text(), u"Work"_qs);

    // Typed text replaces the selected name; Return renames.
    QVERIFY(type({u"type"_qs, u"--delay"_qs, u"20"_qs, u"Mail"_qs}));
    QTRY_COMPARE(fieldIn(fixture, 0)->text(), u"Mail"_qs);
    QVERIFY(type({u"key"_qs, u"Return"_qs}));
    QTRY_VERIFY(!fixture.store->renaming());
    QCOMPARE(fixture.panel(0).tabs().at(1).name, u"Mail"_qs);
    QTRY_VERIFY(!fieldIn(fixture, 0));

    // Escape cancels.
    QTRY_VERIFY(chipOf(fixture, 0, 1) && chipOf(fixture, 0, 1)->isVisible());
    QVERIFY(doubleClick(chipOf(fixture, 0, 1)));
    QTRY_VERIFY(fieldIn(fixture, 0) && fieldIn(fixture, 0)->hasFocus());
    QVERIFY(type({u"type"_qs, u"Oops"_qs}));
    QTRY_COMPARE(fieldIn(fixture, 0)->text(), u"Oops"_qs);
    QVERIFY(type({u"key"_qs, u"Escape"_qs}));
    QTRY_VERIFY(!fixture.store->renaming());
    QCOMPARE(fixture.panel(0).tabs().at(1).name, u"Mail"_qs);

    // A rename begun in the other panel ends this one; its field goes.
    QVERIFY(doubleClick(chipOf(fixture, 0, 0)));
    QTRY_VERIFY(fieldIn(fixture, 0) && fieldIn(fixture, 0)->hasFocus());
    QVERIFY(doubleClick(chipOf(fixture, 1, 0)));
    QTRY_VERIFY(fixture.store->renaming() && fixture.store->renaming()->panelID == fixture.id(1));
    QTRY_COMPARE(session().activeWindow(), fixture.xid(1));
    QTRY_VERIFY(fieldIn(fixture, 1) && fieldIn(fixture, 1)->hasFocus());
    QTRY_VERIFY(!fieldIn(fixture, 0) || !fieldIn(fixture, 0)->isVisible());
    QVERIFY(!chipOf(fixture, 0, 0)->isRenaming());
    fixture.store->cancelRenamingTab();
}

QUAYROW_X11_TEST_MAIN(TestTabBarX11)
#include "tst_tabbar_x11.moc"
