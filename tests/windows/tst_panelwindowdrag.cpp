#include "windowfixture.h"

#include <QApplication>
#include <QSignalSpy>

namespace {

X11Session &session()
{
    return X11Session::current();
}

// Presses on `from`, moves the pointer in `steps` steps to `to` while holding the button for
// about a second, and stays pressed (the caller releases).
bool dragTo(QPoint from, QPoint to, int steps = 6)
{
    if (!session().movePointer(from) || !session().pressButton())
        return false;
    for (int step = 1; step <= steps; ++step) {
        // A hand moves at its own pace: the hold lasts long enough for the 150 ms poll to run.
        QTest::qWait(170);
        if (!session().movePointer(from + (to - from) * step / steps))
            return false;
    }
    return true;
}

} // namespace

class TestPanelWindowDrag : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dragOfAFreePanelSavesOnceAfterRelease();
    void snappedPanelDoesNotMove();
    void removingThePanelCancelsItsSave();
    void noTimerRunsWhileIdle();
};

void TestPanelWindowDrag::dragOfAFreePanelSavesOnceAfterRelease()
{
    WindowFixture fixture({panelNamed(u"Drag me"_qs, 3, freeAt(PanelFreePosition(0.5, 0.5)))});
    QVERIFY(fixture.allManaged());
    const QRect start = session().frame(fixture.xid(0));
    const QRect visible = PanelScreens::toQt(PanelScreens::visibleFrame(QGuiApplication::primaryScreen())).toRect();
    QCOMPARE(start, QRect(visible.center() - QPoint(87, 35), QSize(176, 72)));
    const int savesBefore = fixture.services.storage->saveCount;

    QVERIFY(dragTo(start.center(), start.center() + QPoint(-437, 213)));
    QTRY_COMPARE(session().frame(fixture.xid(0)).topLeft(), start.topLeft() + QPoint(-437, 213));
    // Held: nothing saved yet, one save waiting.
    QTest::qWait(400);
    QCOMPARE(fixture.services.storage->saveCount, savesBefore);
    QVERIFY(fixture.manager.hasPendingPositionSave(fixture.id(0)));

    QVERIFY(session().releaseButton());
    QTRY_VERIFY(!fixture.manager.hasPendingPositionSave(fixture.id(0)));
    QCOMPARE(fixture.services.storage->saveCount, savesBefore + 1);

    const QRect dropped = session().frame(fixture.xid(0));
    const PanelPlacement &saved = fixture.panel(0).placement();
    QVERIFY(saved.freePosition);
    QCOMPARE(saved.screenID, PanelScreens::panelScreenID(QGuiApplication::primaryScreen()));
    const Rect reproduced = AppStore::frame(saved, Size{176, 72},
                                           PanelScreens::visibleFrame(QGuiApplication::primaryScreen()));
    const QRectF back = PanelScreens::toQt(reproduced);
    QVERIFY2(qAbs(back.x() - dropped.x()) <= 1 && qAbs(back.y() - dropped.y()) <= 1,
             qPrintable(u"saved fractions give %1,%2 for a drop at %3,%4"_qs.arg(back.x()).arg(back.y())
                            .arg(dropped.x()).arg(dropped.y())));
    // The save's own synchronisation leaves the window where it was dropped.
    QCOMPARE(session().frame(fixture.xid(0)), dropped);
}

void TestPanelWindowDrag::snappedPanelDoesNotMove()
{
    WindowFixture fixture({panelNamed(u"Snapped"_qs, 3, snappedTo(PanelEdge::Bottom))});
    QVERIFY(fixture.allManaged());
    const QRect start = session().frame(fixture.xid(0));
    const int savesBefore = fixture.services.storage->saveCount;
    QVERIFY(dragTo(start.center(), start.center() + QPoint(-300, -200), 3));
    QVERIFY(session().releaseButton());
    QTest::qWait(300);
    QCOMPARE(session().frame(fixture.xid(0)), start);
    QCOMPARE(fixture.services.storage->saveCount, savesBefore);
    QVERIFY(!fixture.manager.hasPendingPositionSave(fixture.id(0)));
}

void TestPanelWindowDrag::removingThePanelCancelsItsSave()
{
    WindowFixture fixture({panelNamed(u"Stays"_qs, 1, snappedTo(PanelEdge::Top)),
                           panelNamed(u"Goes"_qs, 0, freeAt(PanelFreePosition(0.5, 0.5)))});
    QVERIFY(fixture.allManaged());
    const QUuid goes = fixture.id(1);
    const QRect start = session().frame(fixture.xid(1));
    QVERIFY(dragTo(start.center(), start.center() + QPoint(200, 100), 2));
    QTRY_VERIFY(fixture.manager.hasPendingPositionSave(goes));
    QCOMPARE(fixture.store->removePanel(goes, false), AppStore::RemovePanelResult::Removed);
    QVERIFY(!fixture.manager.hasPendingPositionSave(goes));
    const int saves = fixture.services.storage->saveCount;
    QVERIFY(session().releaseButton());
    QTest::qWait(300);
    QCOMPARE(fixture.services.storage->saveCount, saves);
}

void TestPanelWindowDrag::noTimerRunsWhileIdle()
{
    WindowFixture fixture({panelNamed(u"One"_qs, 3, freeAt(PanelFreePosition(0.3, 0.3))),
                           panelNamed(u"Two"_qs, 2, snappedTo(PanelEdge::Left)),
                           panelNamed(u"Three"_qs, 4, snappedTo(PanelEdge::Top, PanelAlignment::Stretch))});
    QVERIFY(fixture.allManaged());
    // A finished drag leaves no poll behind.
    const QRect start = session().frame(fixture.xid(0));
    QVERIFY(dragTo(start.center(), start.center() + QPoint(50, 50), 2));
    QVERIFY(session().releaseButton());
    QTRY_VERIFY(!fixture.manager.hasPendingPositionSave(fixture.id(0)));
    QVERIFY(session().movePointer(QPoint(1500, 800)));
    QTest::qWait(200);

    TimerEventCounter timers;
    QTest::qWait(2000);
    QVERIFY2(timers.count == 0, qPrintable(timers.receivers.join(u", "_qs)));
}

QUAYROW_X11_TEST_MAIN(TestPanelWindowDrag)
#include "tst_panelwindowdrag.moc"
