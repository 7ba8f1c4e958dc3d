#include "windowfixture.h"

#include "windows/settingswindow.h"
#include "windows/x11desktop.h"

#include <QApplication>

namespace {

X11Session &session()
{
    return X11Session::current();
}

// The stacking state a panel's window has on the server: -1, 0 or 3.
int levelOf(xcb_window_t window)
{
    if (session().hasState(window, "_NET_WM_STATE_ABOVE"))
        return 3;
    return session().hasState(window, "_NET_WM_STATE_BELOW") ? -1 : 0;
}

// Whether the window asks for keyboard input (WM_HINTS flags bit 0, input field).
bool acceptsInput(xcb_window_t window)
{
    const QByteArray hints = session().property(window, "WM_HINTS");
    if (hints.size() < 8)
        return true;
    const auto *values = reinterpret_cast<const quint32 *>(hints.constData());
    return (values[0] & 1) == 0 || values[1] != 0;
}

// A window of another program that has focus.
xcb_window_t focusedOtherWindow(const QRect &geometry)
{
    const xcb_window_t other = session().createWindow(geometry, u"other"_qs);
    if (!session().waitUntilManaged(other))
        return XCB_WINDOW_NONE;
    session().activate(other);
    // Until the program has seen it too, so that its reaction is over.
    if (!QTest::qWaitFor([other] { return X11Desktop::instance().activeWindow() == other; }))
        return XCB_WINDOW_NONE;
    QCoreApplication::processEvents();
    return other;
}

} // namespace

class TestRevealAndFocus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void broughtToFrontUntilFocusGoesElsewhere();
    void showAllUntilAnotherWindowIsActivated();
    void allDesktopsFollowThePanelAlsoAfterHideAndShow();
    void oneSettingsWindowPerPanel();
    void renamingGivesTheWindowFocusAndHandsItBack();
};

void TestRevealAndFocus::broughtToFrontUntilFocusGoesElsewhere()
{
    WindowFixture fixture({panelNamed(u"Below"_qs, 2, snappedTo(PanelEdge::Bottom), PanelWindowLevel::BelowWindows)});
    QVERIFY(fixture.allManaged());
    const xcb_window_t other = focusedOtherWindow(QRect(600, 700, 400, 200));
    QVERIFY(other);
    QTRY_COMPARE(levelOf(fixture.xid(0)), -1);

    fixture.store->bringToFront(fixture.id(0));
    QTRY_COMPARE(levelOf(fixture.xid(0)), 3);
    QTRY_VERIFY(session().isStackedAbove(fixture.xid(0), other));
    // It stays raised while nothing else happens.
    QTest::qWait(200);
    QCOMPARE(levelOf(fixture.xid(0)), 3);

    const xcb_window_t next = focusedOtherWindow(QRect(100, 100, 300, 200));
    QVERIFY(next);
    QTRY_COMPARE(levelOf(fixture.xid(0)), -1);
    session().destroyWindow(next);
    session().destroyWindow(other);
}

void TestRevealAndFocus::showAllUntilAnotherWindowIsActivated()
{
    WindowFixture fixture({panelNamed(u"Below"_qs, 1, snappedTo(PanelEdge::Bottom), PanelWindowLevel::BelowWindows),
                           panelNamed(u"Normal"_qs, 1, snappedTo(PanelEdge::Top), PanelWindowLevel::Normal),
                           panelNamed(u"Above"_qs, 1, snappedTo(PanelEdge::Left), PanelWindowLevel::AboveAll)});
    QVERIFY(fixture.allManaged());
    const xcb_window_t other = focusedOtherWindow(QRect(0, 0, 1600, 900));
    QVERIFY(other);

    fixture.store->showAllPanels();
    for (int i = 0; i < 3; ++i)
        QTRY_COMPARE(levelOf(fixture.xid(i)), 3);
    for (int i = 0; i < 3; ++i)
        QTRY_VERIFY(session().isStackedAbove(fixture.xid(i), other));
    QVERIFY(fixture.store->isRevealingAllPanels());

    const xcb_window_t next = focusedOtherWindow(QRect(100, 100, 300, 200));
    QVERIFY(next);
    QTRY_VERIFY(!fixture.store->isRevealingAllPanels());
    QTRY_COMPARE(levelOf(fixture.xid(0)), -1);
    QTRY_COMPARE(levelOf(fixture.xid(1)), 0);
    QTRY_COMPARE(levelOf(fixture.xid(2)), 3);
    session().destroyWindow(next);
    session().destroyWindow(other);
}

void TestRevealAndFocus::allDesktopsFollowThePanelAlsoAfterHideAndShow()
{
    WindowFixture fixture({panelNamed(u"Everywhere"_qs, 1, snappedTo(PanelEdge::Top))});
    QVERIFY(fixture.allManaged());
    const xcb_window_t id = fixture.xid(0);
    QTRY_COMPARE(session().cardinal(id, "_NET_WM_DESKTOP"), 0xFFFFFFFFu);
    QVERIFY(session().hasState(id, "_NET_WM_STATE_SKIP_TASKBAR"));

    for (const bool everywhere : {false, true}) {
        const quint32 desktop = everywhere ? 0xFFFFFFFF : 0;
        fixture.store->setShowsOnAllSpaces(everywhere, fixture.id(0));
        QTRY_COMPARE(session().cardinal(id, "_NET_WM_DESKTOP"), desktop);
        fixture.window(0)->hide();
        QTRY_VERIFY(!session().clientList().contains(id));
        fixture.window(0)->show();
        QVERIFY(session().waitUntilManaged(id));
        QTRY_COMPARE(session().cardinal(id, "_NET_WM_DESKTOP"), desktop);
        QVERIFY(session().hasState(id, "_NET_WM_STATE_SKIP_TASKBAR"));
    }

    fixture.manager.setShowsInTaskbar(true);
    QTRY_VERIFY(!session().hasState(id, "_NET_WM_STATE_SKIP_TASKBAR"));
}

void TestRevealAndFocus::oneSettingsWindowPerPanel()
{
    WindowFixture fixture({panelNamed(u"Tools"_qs, 2, snappedTo(PanelEdge::Bottom))});
    QVERIFY(fixture.allManaged());
    const xcb_window_t other = focusedOtherWindow(QRect(100, 100, 300, 200));
    QVERIFY(other);

    fixture.store->openSettings(fixture.id(0));
    QPointer<SettingsWindow> first = fixture.manager.settingsWindow(fixture.id(0));
    QVERIFY(first);
    const auto firstID = xcb_window_t(first->winId());
    QVERIFY(session().waitUntilManaged(firstID));
    QTRY_COMPARE(session().activeWindow(), firstID);
    // Centred on the panel's screen, at the view's size (a window manager may shift the content
    // by its decoration's border).
    QCOMPARE(first->size(), QSize(320, 240));
    QVERIFY(qAbs(first->geometry().center().x() - 800) <= 8);

    session().activate(other);
    QTRY_COMPARE(session().activeWindow(), other);
    fixture.store->openSettings(fixture.id(0));
    QCOMPARE(fixture.manager.settingsWindow(fixture.id(0)), first.data());
    QTRY_COMPARE(session().activeWindow(), firstID);

    // Escape closes it.
    QTest::keyClick(first.data(), Qt::Key_Escape);
    QVERIFY(!fixture.manager.settingsWindow(fixture.id(0)));
    QTRY_VERIFY(!first);
    fixture.store->openSettings(fixture.id(0));
    QVERIFY(fixture.manager.settingsWindow(fixture.id(0)));
    session().destroyWindow(other);
}

void TestRevealAndFocus::renamingGivesTheWindowFocusAndHandsItBack()
{
    WindowFixture fixture({panelNamed(u"A"_qs, 1, snappedTo(PanelEdge::Bottom), PanelWindowLevel::AboveAll),
                           panelNamed(u"B"_qs, 1, snappedTo(PanelEdge::Top))});
    QVERIFY(fixture.allManaged());
    QVERIFY(!acceptsInput(fixture.xid(0)));
    const xcb_window_t other = focusedOtherWindow(QRect(600, 300, 300, 200));
    QVERIFY(other);

    fixture.store->beginRenamingTab(fixture.panel(0).activeTab().id, fixture.id(0));
    QVERIFY(fixture.window(0)->isRenaming());
    QTRY_VERIFY(acceptsInput(fixture.xid(0)));
    QTRY_COMPARE(session().activeWindow(), fixture.xid(0));
    // Qt rewrites the stacking states with the focus flag; the level holds.
    QTRY_COMPARE(levelOf(fixture.xid(0)), 3);

    fixture.store->beginRenamingTab(fixture.panel(1).activeTab().id, fixture.id(1));
    QVERIFY(!fixture.window(0)->isRenaming());
    QVERIFY(fixture.window(1)->isRenaming());
    QTRY_COMPARE(session().activeWindow(), fixture.xid(1));
    QTRY_VERIFY(!acceptsInput(fixture.xid(0)));
    QCOMPARE(levelOf(fixture.xid(0)), 3);

    // Ending the rename gives focus back to the program the user came from.
    fixture.store->cancelRenamingTab();
    QVERIFY(!fixture.window(1)->isRenaming());
    QTRY_COMPARE(session().activeWindow(), other);
    QTRY_COMPARE(X11Desktop::instance().activeWindow(), other);
    QCoreApplication::processEvents();

    // Focus leaving a renaming panel ends the rename.
    fixture.store->beginRenamingTab(fixture.panel(0).activeTab().id, fixture.id(0));
    QTRY_COMPARE(session().activeWindow(), fixture.xid(0));
    session().activate(other);
    QTRY_VERIFY(!fixture.store->renaming());
    QVERIFY(!fixture.window(0)->isRenaming());
    session().destroyWindow(other);
}

QUAYROW_X11_TEST_MAIN(TestRevealAndFocus)
#include "tst_revealandfocus.moc"
