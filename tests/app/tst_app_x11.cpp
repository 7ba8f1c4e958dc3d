// The application on a real X server with openbox: its panel windows follow the store, an
// XEmbed tray (trayer) shows its icon, Ctrl+Q reaches "Quit Quayrow" from a panel window, and
// at rest no timer runs.

#include "inmemoryservices.h"
#include "privatebus.h"
#include "timereventcounter.h"
#include "x11session.h"

#include "app/quayrow2app.h"
#include "store/appstore.h"
#include "ui/itemiconview.h"
#include "ui/itemtooltip.h"
#include "ui/tooltipwindow.h"
#include "windows/panelwindow.h"

#include <QApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTest>

#include <cstdlib>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

X11Session &session()
{
    return X11Session::current();
}

Panel panelNamed(const QString &name, PanelEdge edge, int items = 1,
                 PanelAlignment alignment = PanelAlignment::Center)
{
    static const QString programs[] = {u"/usr/bin/true"_s, u"/usr/bin/false"_s, u"/usr/bin/env"_s};
    PanelTab tab{.name = u"Main"_s};
    for (int i = 0; i < items; ++i)
        tab.items.append(ItemLink{.location = QUrl::fromLocalFile(programs[i % 3])});
    return Panel(PanelInit{.name = name,
                           .tab = tab,
                           .placement = PanelPlacement{.mode = PanelPlacementMode::Snapped, .edge = edge,
                                                       .alignment = alignment}});
}

std::unique_ptr<AppStore> storeWith(InMemoryServices &services, const QList<Panel> &panels)
{
    return std::make_unique<AppStore>(services.take(), panels);
}

xcb_window_t xid(const QWidget *window)
{
    return xcb_window_t(window->winId());
}

xcb_window_t parentOf(xcb_window_t window)
{
    xcb_connection_t *c = session().connection();
    xcb_query_tree_reply_t *tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
    const xcb_window_t parent = tree ? tree->parent : xcb_window_t(XCB_WINDOW_NONE);
    std::free(tree);
    return parent;
}

bool hasSelectionOwner(const char *selection)
{
    xcb_connection_t *c = session().connection();
    xcb_get_selection_owner_reply_t *owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, session().atom(selection)), nullptr);
    const bool owned = owner && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    return owned;
}

} // namespace

class TestAppX11 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void panelWindowsFollowTheStore();
    void xembedTrayShowsTheIcon();
    // Before the Ctrl+Q test: after it, Qt runs one more 100 ms single-shot timer of its own some
    // seconds later, which would be counted here.
    void noTimerRunsAtRest();
    void ctrlQFromAPanelWindowAsksToQuit();

private:
    // A bus without a StatusNotifierWatcher: the tray item goes to an XEmbed tray.
    PrivateSessionBus m_bus;
};

void TestAppX11::panelWindowsFollowTheStore()
{
    InMemoryServices services;
    Quayrow2App app(storeWith(services, {panelNamed(u"Dock"_s, PanelEdge::Bottom), panelNamed(u"Side"_s, PanelEdge::Left)}),
                    QDBusConnection::sessionBus());
    AppStore &store = app.store();
    const auto windowOf = [&](qsizetype index) { return app.windowManager().window(store.panels().at(index).id()); };

    // Shown at once, out of taskbars and pagers while the dock visibility is hidden.
    for (qsizetype i = 0; i < 2; ++i) {
        QVERIFY(windowOf(i));
        QVERIFY(session().waitUntilManaged(xid(windowOf(i))));
        QCOMPARE(session().property(xid(windowOf(i)), "_NET_WM_NAME"), store.panels().at(i).name.toUtf8());
        QVERIFY(session().hasState(xid(windowOf(i)), "_NET_WM_STATE_SKIP_TASKBAR"));
        QVERIFY(session().hasState(xid(windowOf(i)), "_NET_WM_STATE_SKIP_PAGER"));
    }

    store.setDockVisibility(DockVisibility::Visible);
    QTRY_VERIFY(!session().hasState(xid(windowOf(0)), "_NET_WM_STATE_SKIP_TASKBAR"));
    QTRY_VERIFY(!session().hasState(xid(windowOf(1)), "_NET_WM_STATE_SKIP_PAGER"));
    // A panel made while visible is mapped that way too.
    store.addPanel(u"Third"_s);
    QVERIFY(windowOf(2));
    QVERIFY(session().waitUntilManaged(xid(windowOf(2))));
    QVERIFY(!session().hasState(xid(windowOf(2)), "_NET_WM_STATE_SKIP_TASKBAR"));
    store.setDockVisibility(DockVisibility::Hidden);
    QTRY_VERIFY(session().hasState(xid(windowOf(2)), "_NET_WM_STATE_SKIP_TASKBAR"));

    const xcb_window_t removed = xid(windowOf(0));
    QCOMPARE(store.removePanel(store.panels().at(0).id(), true), AppStore::RemovePanelResult::Removed);
    QTRY_VERIFY(!session().clientList().contains(removed));
}

void TestAppX11::xembedTrayShowsTheIcon()
{
    if (QStandardPaths::findExecutable(u"trayer"_s).isEmpty())
        QSKIP("trayer is not installed: no XEmbed tray to show the icon in");
    QProcess trayer;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DISPLAY"_s, session().display());
    trayer.setProcessEnvironment(environment);
    trayer.start(u"trayer"_s, {u"--edge"_s, u"top"_s, u"--align"_s, u"right"_s, u"--height"_s, u"32"_s,
                               u"--widthtype"_s, u"request"_s, u"--transparent"_s, u"false"_s});
    QVERIFY(trayer.waitForStarted());
    QTRY_VERIFY(hasSelectionOwner("_NET_SYSTEM_TRAY_S0"));

    InMemoryServices services;
    Quayrow2App app(storeWith(services, {panelNamed(u"Dock"_s, PanelEdge::Bottom)}), QDBusConnection::sessionBus());
    QTRY_VERIFY(app.tray().icon());
    QCOMPARE(app.tray().icon()->toolTip(), u"Quayrow 2"_s);

    // Qt's XEmbed icon is a small top-level widget that the tray takes into its own window.
    QWidget *embedded = nullptr;
    QTRY_VERIFY([&] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (qstrcmp(widget->metaObject()->className(), "QSystemTrayIconSys") == 0)
                embedded = widget;
        }
        return embedded != nullptr;
    }());
    QTRY_VERIFY(session().isViewable(xid(embedded)));
    QTRY_VERIFY(parentOf(xid(embedded)) != session().root());
    // The grid is drawn: the icon's area is not one flat colour. Read where the icon is now: the
    // tray moves its icons while it grows to hold them.
    QTRY_VERIFY([&] {
        const QRect frame = session().frame(xid(embedded));
        if (frame.width() < 16 || frame.height() < 16)
            return false;
        const QImage shown = session().grab(frame);
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                if (shown.pixel(x, y) != shown.pixel(0, 0))
                    return true;
            }
        }
        return false;
    }());

    trayer.terminate();
    trayer.waitForFinished();
}

void TestAppX11::ctrlQFromAPanelWindowAsksToQuit()
{
    InMemoryServices services;
    Quayrow2App app(storeWith(services, {panelNamed(u"Dock"_s, PanelEdge::Bottom)}), QDBusConnection::sessionBus());
    // The request is what is checked: quitting would end the test's own event loops.
    QObject::disconnect(&app.tray().menu(), &TrayMenu::quitRequested, &app, nullptr);
    QSignalSpy quitRequested(&app.tray().menu(), &TrayMenu::quitRequested);
    const Panel &panel = app.store().panels().constFirst();
    PanelWindow *window = app.windowManager().window(panel.id());
    QVERIFY(session().waitUntilManaged(xid(window)));

    // A panel window has the keyboard while one of its tabs is renamed.
    app.store().beginRenamingTab(panel.activeTabID(), panel.id());
    QTRY_COMPARE(session().activeWindow(), xid(window));
    QVERIFY(session().run(u"xdotool"_s, {u"key"_s, u"ctrl+q"_s}));
    QTRY_COMPARE(quitRequested.count(), 1);
}

void TestAppX11::noTimerRunsAtRest()
{
    // Any timer that fires at least every few seconds shows within this time, whatever its phase.
    constexpr int quietMs = 5000;
    // Away from every snapped panel: the middle of the screen.
    const QPoint elsewhere(800, 450);
    QVERIFY(session().movePointer(elsewhere));
    // Nothing left of earlier tests (a tray's strut going away moves snapped panels).
    QTRY_VERIFY(session().clientList().isEmpty());
    InMemoryServices services;
    Quayrow2App app(storeWith(services, {panelNamed(u"Bottom"_s, PanelEdge::Bottom, 12),
                                         panelNamed(u"Top"_s, PanelEdge::Top, 12, PanelAlignment::Start),
                                         panelNamed(u"Top end"_s, PanelEdge::Top, 12, PanelAlignment::End),
                                         panelNamed(u"Left"_s, PanelEdge::Left, 12),
                                         panelNamed(u"Right"_s, PanelEdge::Right, 12, PanelAlignment::End)}),
                    QDBusConnection::sessionBus());
    const QList<Panel> panels = app.store().panels();
    for (const Panel &panel : panels) {
        PanelWindow *window = app.windowManager().window(panel.id());
        QVERIFY(session().waitUntilManaged(xid(window)));
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    // Settled: windows are fitted again as their content arrives, and each frame asked for is read
    // back from the server a moment later (single-shot checks); until a second passes without a
    // timer.
    QVERIFY(QTest::qWaitFor(
        [] {
            TimerEventCounter settling;
            QTest::qWait(1000);
            return settling.count == 0;
        },
        20000));

    {
        TimerEventCounter timers;
        QTest::qWait(quietMs);
        QVERIFY2(timers.count == 0, qPrintable(timers.receivers.join(u", "_s)));
    }

    // Hovering a tile runs its bubble's delay (a QTimer) and at most Qt's own tooltip wake-up
    // (the application's); leaving it stops both.
    const auto *tile = app.windowManager().window(panels.first().id())->findChild<ItemIconView *>();
    QVERIFY(tile);
    {
        TimerEventCounter timers;
        QVERIFY(session().movePointer(tile->mapToGlobal(tile->rect().center())));
        QTRY_VERIFY(TooltipWindow::existing() && TooltipWindow::existing()->isVisible());
        QCOMPARE(TooltipWindow::existing()->owner(), tile->tooltip());
        QVERIFY(session().movePointer(elsewhere));
        QTRY_VERIFY(!TooltipWindow::existing()->isVisible());
        QVERIFY(!tile->tooltip()->isPending());
        QVERIFY2(timers.receivers.contains(u"QTimer"_s), qPrintable(timers.receivers.join(u", "_s)));
        for (const QString &receiver : std::as_const(timers.receivers))
            QVERIFY2(receiver == u"QTimer"_s || receiver == u"QApplication"_s, qPrintable(receiver));
    }
    TimerEventCounter timers;
    QTest::qWait(quietMs);
    QVERIFY2(timers.count == 0, qPrintable(timers.receivers.join(u", "_s)));
}

QUAYROW_X11_TEST_MAIN(TestAppX11)
#include "tst_app_x11.moc"
