#include "windowfixture.h"

#include "windows/flashoverlay.h"
#include "windows/settingswindow.h"

#include <QApplication>
#include <QScreen>
#include <QSignalSpy>

Q_DECLARE_METATYPE(PanelPlacement)

namespace {

X11Session &session()
{
    return X11Session::current();
}

// The visible area once the dock reserves 40 px at the bottom, in Qt coordinates.
const QRect visibleArea(0, 0, 1600, 860);

// A view whose size changes without the store changing, as a panel view's does when it follows
// the running applications.
class ResizingView : public HostedView
{
public:
    QSize hint{200, 60};
    QSize sizeHint() const override { return hint; }
};
// Three medium icons: 2 x 12 padding + 3 x 48 + 2 x 4 spacing along, 2 x 12 + 48 across.
constexpr int along = 176;
constexpr int across = 72;

// Qt's record of a window's frame at each of its moves and resizes while watched.
class FrameRecorder : public QObject
{
public:
    explicit FrameRecorder(QWidget *window)
        : m_window(window)
    {
        window->installEventFilter(this);
    }
    ~FrameRecorder() override { m_window->removeEventFilter(this); }

    QList<QRect> frames;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
            frames.append(m_window->geometry());
        return false;
    }

private:
    QWidget *m_window;
};

} // namespace

class TestPanelWindowPlacement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void snappedFrames_data();
    void snappedFrames();
    void freeFrames_data();
    void freeFrames();
    void quickSuccessionOfFramesEndsWhereTheLastOneSays();
    void snappedPanelPutBackRightAfterItsRequestReturns();
    void newFreePanelsCascade();
    void panelMadeFreeKeepsItsPlaceUntilDragged();
    void synchronisationReplacesOnlyChangedViews();
    void viewAskingForANewSizeIsRefitted();
    void titlesFollowRenames();
    void removingAPanelClosesItsWindows();
    void onlyPanelsAddedLaterFlash();
    void flashKeyframes();

private:
    xcb_window_t m_dock = XCB_WINDOW_NONE;
    std::unique_ptr<WindowFixture> m_fixture;
};

void TestPanelWindowPlacement::initTestCase()
{
    m_dock = session().createBottomDock(QRect(0, 860, 1600, 40));
    QTRY_COMPARE(PanelScreens::visibleFrame(QGuiApplication::primaryScreen()), PanelScreens::toYUp(QRectF(visibleArea)));
    m_fixture = std::make_unique<WindowFixture>(QList{panelNamed(u"Tools"_qs, 3, snappedTo(PanelEdge::Bottom))});
    QVERIFY(m_fixture->allManaged());
}

void TestPanelWindowPlacement::cleanupTestCase()
{
    m_fixture.reset();
    session().destroyWindow(m_dock);
}

void TestPanelWindowPlacement::snappedFrames_data()
{
    QTest::addColumn<PanelPlacement>("placement");
    QTest::addColumn<QRect>("expected");

    const int width = visibleArea.width();
    const int height = visibleArea.height();
    for (const PanelEdge edge : {PanelEdge::Left, PanelEdge::Right, PanelEdge::Top, PanelEdge::Bottom}) {
        const bool vertical = edge == PanelEdge::Left || edge == PanelEdge::Right;
        for (const PanelAlignment alignment :
             {PanelAlignment::Start, PanelAlignment::Center, PanelAlignment::End, PanelAlignment::Stretch}) {
            for (const int inset : {10, -10}) {
                const int margin = std::max(inset, 0);
                // Along the edge (x for top and bottom, y downwards for left and right; "start"
                // is the top of a side edge).
                const int extent = vertical ? height : width;
                int length = along;
                int origin = 0;
                switch (alignment) {
                case PanelAlignment::Start: origin = 0; break;
                case PanelAlignment::Center: origin = (extent - along) / 2; break;
                case PanelAlignment::End: origin = extent - along; break;
                case PanelAlignment::Stretch: length = extent; break;
                }
                QRect expected;
                switch (edge) {
                case PanelEdge::Left: expected = QRect(margin, origin, across, length); break;
                case PanelEdge::Right: expected = QRect(width - across - margin, origin, across, length); break;
                case PanelEdge::Top: expected = QRect(origin, margin, length, across); break;
                case PanelEdge::Bottom: expected = QRect(origin, height - across - margin, length, across); break;
                }
                QTest::addRow("%s %s, inset %d", qPrintable(rawValue(edge)), qPrintable(rawValue(alignment)), inset)
                    << snappedTo(edge, alignment, inset) << expected;
            }
        }
    }
}

void TestPanelWindowPlacement::snappedFrames()
{
    QFETCH(PanelPlacement, placement);
    QFETCH(QRect, expected);
    {
        // Straight to the new frame: never through the old origin with the new size, a frame a
        // window manager may move elsewhere and report after the new one was asked for.
        FrameRecorder recorder(m_fixture->window(0));
        m_fixture->store->setPlacement(placement, m_fixture->id(0));
        for (const QRect &frame : std::as_const(recorder.frames))
            QCOMPARE(frame, expected);
    }
    QCOMPARE(session().settledFrame(m_fixture->xid(0), expected), expected);
}

void TestPanelWindowPlacement::freeFrames_data()
{
    QTest::addColumn<PanelFreePosition>("position");
    QTest::addColumn<QRect>("expected");

    // Fractions of the visible area place the centre, y measured upwards from its bottom.
    QTest::newRow("centre") << PanelFreePosition(0.5, 0.5) << QRect(800 - along / 2, 430 - across / 2, along, across);
    QTest::newRow("left, high") << PanelFreePosition(0.25, 0.75) << QRect(400 - along / 2, 215 - across / 2, along, across);
    QTest::newRow("bottom right corner, pushed in")
        << PanelFreePosition(1, 0) << QRect(1600 - along, 860 - across, along, across);
    QTest::newRow("top left corner, pushed in") << PanelFreePosition(0, 1) << QRect(0, 0, along, across);
}

void TestPanelWindowPlacement::freeFrames()
{
    QFETCH(PanelFreePosition, position);
    QFETCH(QRect, expected);
    m_fixture->store->setPlacement(freeAt(position), m_fixture->id(0));
    QTRY_COMPARE(session().frame(m_fixture->xid(0)), expected);
}

void TestPanelWindowPlacement::quickSuccessionOfFramesEndsWhereTheLastOneSays()
{
    // A late report of an earlier frame can update one of Qt's two records of where a window is
    // (the native window's) but not the other; asked for that frame again, Qt then sent nothing.
    // The bottom panel, wider than the screen, ends at the screen's width; small icons: 48 high.
    WindowFixture fixture(crowdedPanels(5, 100));
    QVERIFY(fixture.allManaged());
    const int across = 48;
    for (int run = 0; run < 400; ++run) {
        const int inset = run % 2 ? 0 : 10;
        fixture.store->setPlacementEdgeInset(inset, fixture.id(0));
        const QRect wanted(0, visibleArea.height() - across - inset, visibleArea.width(), across);
        QCOMPARE(fixture.window(0)->geometry(), wanted);
        // As fast as the server answers: each frame is asked for as soon as the last one is there.
        QVERIFY2(fixture.reachesServer(0, wanted), qPrintable(u"run %1"_qs.arg(run)));
    }
}

// Window managers busy taking a window over sometimes leave it where it was, answering the
// program's request with a report of the old frame; here another client puts it back instead.
void TestPanelWindowPlacement::snappedPanelPutBackRightAfterItsRequestReturns()
{
    WindowFixture fixture({panelNamed(u"Moved"_qs, 3, snappedTo(PanelEdge::Left))});
    QVERIFY(fixture.allManaged());
    const QRect before = fixture.window(0)->geometry();
    QVERIFY(fixture.reachesServer(0, before));
    fixture.store->setPlacement(snappedTo(PanelEdge::Right), fixture.id(0));
    QTRY_VERIFY(fixture.window(0)->geometry() != before);
    const QRect wanted = fixture.window(0)->geometry();
    session().moveWindow(fixture.xid(0), before.topLeft());
    // Bounded by the window's six readings, over about 6 s, and by how fast the window manager
    // answers on a loaded machine.
    QTRY_COMPARE_WITH_TIMEOUT(session().frame(fixture.xid(0)), wanted, 15000);
    QVERIFY(fixture.reachesServer(0, wanted));
}

void TestPanelWindowPlacement::newFreePanelsCascade()
{
    WindowFixture fixture({panelNamed(u"Snapped"_qs, 3, snappedTo(PanelEdge::Top))});
    // An empty panel is 120 x 72; every unsaved free panel steps 30 right and down from the
    // centre, counting every window already open, and starts over after ten.
    const auto cascaded = [](int step) { return QRect(800 - 60 + 30 * step, 430 - 36 + 30 * step, 120, 72); };
    for (int count = 1; count <= 10; ++count) {
        fixture.store->addPanel();
        QVERIFY(fixture.window(count));
        QCOMPARE(fixture.window(count)->geometry(), cascaded(count % 10));
    }
    QVERIFY(fixture.allManaged());
    QCOMPARE(session().frame(fixture.xid(1)), cascaded(1));
    QCOMPARE(session().frame(fixture.xid(2)), cascaded(2));
    QCOMPARE(session().frame(fixture.xid(10)), cascaded(0));
    // Nothing was saved: the panels still have no position.
    QVERIFY(!fixture.panel(2).placement().freePosition);
}

void TestPanelWindowPlacement::panelMadeFreeKeepsItsPlaceUntilDragged()
{
    WindowFixture fixture({panelNamed(u"Tools"_qs, 3, snappedTo(PanelEdge::Bottom, PanelAlignment::Start))});
    QVERIFY(fixture.allManaged());
    fixture.store->setPlacementMode(PanelPlacementMode::Free, fixture.id(0));
    const QRect centred(800 - along / 2, 430 - across / 2, along, across);
    QTRY_COMPARE(session().frame(fixture.xid(0)), centred);

    // Moved by something else than a drag (no button held): not saved, and later
    // synchronisations leave it there.
    fixture.window(0)->move(200, 300);
    // Until Qt has it there too: a late report of the centred frame would otherwise move Qt's
    // record back, and the window would grow from there.
    QVERIFY(fixture.reachesServer(0, QRect(QPoint(200, 300), centred.size()), 5000));
    fixture.store->renamePanel(fixture.id(0), u"Renamed"_qs);
    fixture.store->setIconSize(PanelIconSize::Large, fixture.id(0));
    // Large icons sit without spacing at the normal setting; the window grows from its bottom
    // left corner. The whole frame is waited for: a window manager may resize a window before it
    // moves it, and the size alone can be there before the place is.
    const QSize large(2 * 16 + 3 * 64, 2 * 16 + 64);
    QTRY_COMPARE(session().frame(fixture.xid(0)), QRect(QPoint(200, 300 + across - large.height()), large));
    // Grown wider than the screen it is no wider than the screen, and on it: the row scrolls.
    // (Its place is kept from Qt's record of the frame, which may lag the server's a moment.)
    QVERIFY(fixture.reachesServer(0, QRect(QPoint(200, 300 + across - large.height()), large)));
    fixture.store->addItems(QList<QUrl>(40, QUrl::fromLocalFile(u"/usr/bin/more"_qs)), std::nullopt,
                            fixture.panel(0).activeTabID(), fixture.id(0));
    QTRY_COMPARE(session().frame(fixture.xid(0)),
                 QRect(0, 300 + across - large.height(), visibleArea.width(), large.height()));
    QVERIFY(!fixture.panel(0).placement().freePosition);
    QVERIFY(!fixture.manager.hasPendingPositionSave(fixture.id(0)));
}

void TestPanelWindowPlacement::synchronisationReplacesOnlyChangedViews()
{
    WindowFixture fixture({panelNamed(u"A"_qs, 2, snappedTo(PanelEdge::Left)),
                           panelNamed(u"B"_qs, 2, snappedTo(PanelEdge::Right))});
    const HostedView *viewA = fixture.window(0)->view();
    const HostedView *viewB = fixture.window(1)->view();
    fixture.store->addItems({QUrl::fromLocalFile(u"/usr/bin/env"_qs)}, std::nullopt,
                            fixture.panel(0).activeTab().id, fixture.id(0));
    QVERIFY(fixture.window(0)->view() != viewA);
    QCOMPARE(fixture.window(1)->view(), viewB);
    QCOMPARE(fixture.window(0)->fittingSize(), (Size{across, 2 * 12 + 3 * 48 + 2 * 4}));

    // A tab showing running applications: its view follows them and the window its view.
    fixture.store->setShowsRunningApps(true, fixture.panel(1).activeTab().id, fixture.id(1));
    viewB = fixture.window(1)->view();
    fixture.services.runningApps->running = {QUrl::fromLocalFile(u"/usr/share/applications/a.desktop"_qs)};
    fixture.services.runningApps->notifyChange();
    QTRY_COMPARE(fixture.window(1)->geometry().height(), 2 * 12 + 3 * 48 + 2 * 4);
    QCOMPARE(fixture.window(1)->view(), viewB);
    const HostedView *viewAAfter = fixture.window(0)->view();
    fixture.services.runningApps->running.clear();
    fixture.services.runningApps->notifyChange();
    QTRY_COMPARE(fixture.window(1)->geometry().height(), 2 * 12 + 2 * 48 + 4);
    QCOMPARE(fixture.window(0)->view(), viewAAfter);
}

void TestPanelWindowPlacement::viewAskingForANewSizeIsRefitted()
{
    m_fixture->store->setPlacement(snappedTo(PanelEdge::Bottom), m_fixture->id(0));
    auto *view = new ResizingView;
    m_fixture->window(0)->setPanelView(view, m_fixture->panel(0));
    view->hint = QSize(300, 50);
    view->updateGeometry();
    // Still centred on its edge.
    QTRY_COMPARE(session().frame(m_fixture->xid(0)), QRect((1600 - 300) / 2, 860 - 50, 300, 50));
}

void TestPanelWindowPlacement::titlesFollowRenames()
{
    QGuiApplication::setApplicationDisplayName(u"Quayrow 2"_qs);
    WindowFixture fixture({panelNamed(u"Work"_qs, 1, snappedTo(PanelEdge::Top))});
    QVERIFY(fixture.allManaged());
    QCOMPARE(session().property(fixture.xid(0), "_NET_WM_NAME"), QByteArray("Work"));
    fixture.store->renamePanel(fixture.id(0), u"Ünterhaltung"_qs);
    QTRY_COMPARE(session().property(fixture.xid(0), "_NET_WM_NAME"), u"Ünterhaltung"_qs.toUtf8());
    QCOMPARE(session().property(fixture.xid(0), "WM_CLASS"), QByteArray("quayrow2\0Quayrow2\0", 18));
    QVERIFY(session().cardinal(fixture.xid(0), "_NET_WM_PID"));

    fixture.store->openSettings(fixture.id(0));
    SettingsWindow *settings = fixture.manager.settingsWindow(fixture.id(0));
    QVERIFY(settings);
    QVERIFY(session().waitUntilManaged(xcb_window_t(settings->winId())));
    QCOMPARE(session().property(xcb_window_t(settings->winId()), "_NET_WM_NAME"), QByteArray("Panel Settings"));
    QGuiApplication::setApplicationDisplayName(QString());
}

void TestPanelWindowPlacement::removingAPanelClosesItsWindows()
{
    WindowFixture fixture({panelNamed(u"Keep"_qs, 1, snappedTo(PanelEdge::Top)),
                           panelNamed(u"Drop"_qs, 0, freeAt(PanelFreePosition(0.5, 0.5)))});
    QVERIFY(fixture.allManaged());
    const QUuid dropped = fixture.id(1);
    const xcb_window_t droppedWindow = fixture.xid(1);
    fixture.store->openSettings(dropped);
    QVERIFY(fixture.manager.settingsWindow(dropped));
    QPointer<SettingsWindow> settings = fixture.manager.settingsWindow(dropped);

    QCOMPARE(fixture.store->removePanel(dropped, false), AppStore::RemovePanelResult::Removed);
    QVERIFY(!fixture.manager.window(dropped));
    QVERIFY(!fixture.manager.settingsWindow(dropped));
    QTRY_VERIFY(!session().clientList().contains(droppedWindow));
    QTRY_VERIFY(!settings);
    QVERIFY(fixture.window(0));
}

void TestPanelWindowPlacement::onlyPanelsAddedLaterFlash()
{
    WindowFixture fixture({panelNamed(u"First"_qs, 1, snappedTo(PanelEdge::Top)),
                           panelNamed(u"Second"_qs, 1, snappedTo(PanelEdge::Bottom))});
    QVERIFY(!fixture.window(0)->findChild<FlashOverlay *>());
    QVERIFY(!fixture.window(1)->findChild<FlashOverlay *>());
    fixture.store->addPanel();
    QPointer<FlashOverlay> flash = fixture.window(2)->findChild<FlashOverlay *>();
    QVERIFY(flash);
    QCOMPARE(flash->geometry(), fixture.window(2)->rect());
    // The overlay removes itself when the animation ends.
    QTRY_VERIFY(!flash);
}

void TestPanelWindowPlacement::flashKeyframes()
{
    WindowFixture fixture({panelNamed(u"First"_qs, 1, snappedTo(PanelEdge::Top))});
    fixture.store->addPanel();
    FlashOverlay *flash = fixture.window(1)->findChild<FlashOverlay *>();
    QVERIFY(flash);
    QVariantAnimation &animation = flash->animation();
    animation.pause();
    QCOMPARE(animation.duration(), 550);
    const auto at = [&](int milliseconds) {
        animation.setCurrentTime(milliseconds);
        return flash->opacity();
    };
    QCOMPARE(at(0), 0.0);
    // Eased out: past half way at half the rise.
    QVERIFY(at(33) > 0.6 && at(33) < 1.0);
    QCOMPARE(at(66), 1.0);
    QCOMPARE(at(150), 1.0);
    QCOMPARE(at(275), 1.0);
    // Eased in: still mostly visible half way through the fade.
    QVERIFY(at(412) > 0.6 && at(412) < 1.0);
    QCOMPARE(at(550), 0.0);
}

QUAYROW_X11_TEST_MAIN(TestPanelWindowPlacement)
#include "tst_panelwindowplacement.moc"
