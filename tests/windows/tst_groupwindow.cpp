#include "windowfixture.h"

#include "windows/groupwindow.h"
#include "windows/x11desktop.h"

#include <QApplication>

Q_DECLARE_METATYPE(PanelPlacement)

namespace {

X11Session &session()
{
    return X11Session::current();
}

// A panel holding one link and two groups of three links each.
Panel panelWithGroups(const PanelPlacement &placement, bool showsOnAllSpaces = true)
{
    Panel panel = panelNamed(u"Groups"_qs, 1, placement);
    panel.showsOnAllSpaces = showsOnAllSpaces;
    for (const QString &name : {u"G"_qs, u"H"_qs}) {
        ItemGroup group{.name = name};
        for (int i = 0; i < 3; ++i)
            group.links.append(ItemLink{.location = QUrl::fromLocalFile(u"/usr/bin/%1%2"_qs.arg(name).arg(i))});
        panel.append(group);
    }
    return panel;
}

QUuid groupID(const WindowFixture &fixture, int index)
{
    return fixture.panel(0).activeTab().items.at(1 + index).id();
}

xcb_window_t popoverID(const WindowFixture &fixture)
{
    const GroupWindow *window = fixture.manager.groupWindow();
    return window ? xcb_window_t(window->winId()) : xcb_window_t(XCB_WINDOW_NONE);
}

QRect visibleArea()
{
    return PanelScreens::toQt(PanelScreens::visibleFrame(QGuiApplication::primaryScreen())).toRect();
}

// The popover of three medium icons is 176 x 72.
constexpr QSize popover(176, 72);

} // namespace

class TestGroupWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void besideItsIconOnTheCompanionSide_data();
    void besideItsIconOnTheCompanionSide();
    void takesFocusAndGivesItBack();
    void outsideClicksCollapse();
    void anotherGroupReplacesThePopover();
    void followsTheOwningPanelsWorkspaces();

private:
    // One panel and open popover for all rows of the side test.
    std::unique_ptr<WindowFixture> m_sides;
};

void TestGroupWindow::init()
{
    if (qstrcmp(QTest::currentTestFunction(), "besideItsIconOnTheCompanionSide") != 0)
        m_sides.reset();
}

void TestGroupWindow::besideItsIconOnTheCompanionSide_data()
{
    QTest::addColumn<PanelPlacement>("placement");
    QTest::addColumn<QRect>("icon");
    QTest::addColumn<QRect>("expected");

    const QRect v = visibleArea();
    const QSize s = popover;
    const PanelPlacement bottom = snappedTo(PanelEdge::Bottom);
    const PanelPlacement top = snappedTo(PanelEdge::Top);
    const PanelPlacement left = snappedTo(PanelEdge::Left);
    const PanelPlacement right = snappedTo(PanelEdge::Right);
    // Gap 8; "above" and "below" align left edges, the sides top edges.
    QTest::newRow("above") << bottom << QRect(700, 600, 48, 48) << QRect(QPoint(700, 600 - 8 - 72), s);
    QTest::newRow("above, near the top: below") << bottom << QRect(700, 30, 48, 48) << QRect(QPoint(700, 30 + 48 + 8), s);
    QTest::newRow("below") << top << QRect(700, 100, 48, 48) << QRect(QPoint(700, 100 + 48 + 8), s);
    QTest::newRow("below, near the bottom: above")
        << top << QRect(700, v.bottom() - 60, 48, 48) << QRect(QPoint(700, v.bottom() - 60 - 8 - 72), s);
    QTest::newRow("right of") << left << QRect(20, 300, 48, 48) << QRect(QPoint(20 + 48 + 8, 300), s);
    QTest::newRow("right of, near the right edge: left of")
        << left << QRect(1560, 300, 40, 48) << QRect(QPoint(1560 - 8 - 176, 300), s);
    QTest::newRow("left of") << right << QRect(1500, 300, 48, 48) << QRect(QPoint(1500 - 8 - 176, 300), s);
    QTest::newRow("left of, near the left edge: right of")
        << right << QRect(30, 300, 48, 48) << QRect(QPoint(30 + 48 + 8, 300), s);
    QTest::newRow("free panel: above") << freeAt(PanelFreePosition(0.5, 0.5)) << QRect(400, 500, 48, 48)
                                       << QRect(QPoint(400, 500 - 8 - 72), s);
    QTest::newRow("pushed back inside the screen") << bottom << QRect(1550, 600, 48, 48)
                                                   << QRect(QPoint(1600 - 176, 600 - 8 - 72), s);
}

void TestGroupWindow::besideItsIconOnTheCompanionSide()
{
    QFETCH(PanelPlacement, placement);
    QFETCH(QRect, icon);
    QFETCH(QRect, expected);
    if (!m_sides) {
        m_sides = std::make_unique<WindowFixture>(QList{panelWithGroups(snappedTo(PanelEdge::Bottom))});
        QVERIFY(m_sides->allManaged());
        m_sides->store->expandGroup(groupID(*m_sides, 0));
        QVERIFY(m_sides->manager.groupWindow());
    }
    WindowFixture *fixture = m_sides.get();
    fixture->store->setPlacement(placement, fixture->id(0));
    fixture->store->updateGroupIconFrame(PanelScreens::toYUp(QRectF(icon)), groupID(*fixture, 0));
    QVERIFY(session().waitUntilManaged(popoverID(*fixture)));
    QTRY_COMPARE(session().frame(popoverID(*fixture)), expected);
    QVERIFY(session().hasState(popoverID(*fixture), "_NET_WM_STATE_ABOVE"));
}

void TestGroupWindow::takesFocusAndGivesItBack()
{
    WindowFixture fixture({panelWithGroups(snappedTo(PanelEdge::Bottom))});
    QVERIFY(fixture.allManaged());
    const xcb_window_t other = session().createWindow(QRect(100, 100, 300, 200), u"other"_qs);
    QVERIFY(session().waitUntilManaged(other));
    session().activate(other);
    QTRY_COMPARE(X11Desktop::instance().activeWindow(), other);

    fixture.store->expandGroup(groupID(fixture, 0));
    QVERIFY(fixture.manager.groupWindow());
    QTRY_COMPARE(session().activeWindow(), popoverID(fixture));
    // Another group's popover replaces it (focus passes back and forth in between).
    fixture.store->expandGroup(groupID(fixture, 1));
    QTRY_COMPARE(session().activeWindow(), popoverID(fixture));
    fixture.store->collapseGroup();
    QVERIFY(!fixture.manager.groupWindow());
    QTRY_COMPARE(session().activeWindow(), other);
    session().destroyWindow(other);
}

void TestGroupWindow::outsideClicksCollapse()
{
    WindowFixture fixture({panelWithGroups(snappedTo(PanelEdge::Bottom))});
    QVERIFY(fixture.allManaged());
    const QRect panel = session().frame(fixture.xid(0));
    // The group's icon: the middle tile of the panel.
    const QRect icon(panel.x() + 12 + 52, panel.y() + 12, 48, 48);
    fixture.store->updateGroupIconFrame(PanelScreens::toYUp(QRectF(icon)), groupID(fixture, 0));
    fixture.store->beginRenamingGroup(groupID(fixture, 0));
    QVERIFY(fixture.manager.groupWindow());
    const xcb_window_t popoverWindow = popoverID(fixture);
    QVERIFY(session().waitUntilManaged(popoverWindow));

    QVERIFY(session().click(session().frame(popoverWindow).center()));
    QVERIFY(session().click(icon.center()));
    QTest::qWait(200);
    QCOMPARE(fixture.store->expandedGroupID(), groupID(fixture, 0));
    QCOMPARE(fixture.store->editingGroupID(), groupID(fixture, 0));

    // Elsewhere in the panel: the group collapses and its editing ends.
    QVERIFY(session().click(QPoint(panel.right() - 10, panel.center().y()), 3));
    QTRY_VERIFY(!fixture.store->expandedGroupID());
    QVERIFY(!fixture.store->editingGroupID());
    QVERIFY(!fixture.manager.groupWindow());
    QTRY_VERIFY(!session().clientList().contains(popoverWindow));
}

void TestGroupWindow::anotherGroupReplacesThePopover()
{
    WindowFixture fixture({panelWithGroups(snappedTo(PanelEdge::Bottom))});
    QVERIFY(fixture.allManaged());
    fixture.store->expandGroup(groupID(fixture, 0));
    QPointer<GroupWindow> first = fixture.manager.groupWindow();
    QVERIFY(first);
    fixture.store->expandGroup(groupID(fixture, 1));
    QVERIFY(fixture.manager.groupWindow());
    QVERIFY(fixture.manager.groupWindow() != first);
    QCOMPARE(fixture.manager.openGroupID(), groupID(fixture, 1));
    QTRY_VERIFY(!first);

    // A group no panel owns opens nothing.
    fixture.store->expandGroup(QUuid::createUuid());
    QVERIFY(!fixture.manager.groupWindow());
    QVERIFY(!fixture.manager.openGroupID());
}

void TestGroupWindow::followsTheOwningPanelsWorkspaces()
{
    WindowFixture fixture({panelWithGroups(snappedTo(PanelEdge::Bottom), false)});
    QVERIFY(fixture.allManaged());
    fixture.store->expandGroup(groupID(fixture, 0));
    QVERIFY(session().waitUntilManaged(popoverID(fixture)));
    QTRY_COMPARE(session().cardinal(popoverID(fixture), "_NET_WM_DESKTOP"), 0u);
    fixture.store->setShowsOnAllSpaces(true, fixture.id(0));
    QTRY_COMPARE(session().cardinal(popoverID(fixture), "_NET_WM_DESKTOP"), 0xFFFFFFFFu);
    // Edits to the group show at once: the popover is rebuilt with every synchronisation.
    const HostedView *before = fixture.manager.groupWindow()->view();
    fixture.store->addItemsToGroup({QUrl::fromLocalFile(u"/usr/bin/env"_qs)}, std::nullopt, groupID(fixture, 0),
                                   fixture.id(0));
    QVERIFY(fixture.manager.groupWindow()->view() != before);
    QTRY_COMPARE(session().frame(popoverID(fixture)).width(), 2 * 12 + 4 * 48 + 3 * 4);
}

QUAYROW_X11_TEST_MAIN(TestGroupWindow)
#include "tst_groupwindow.moc"
