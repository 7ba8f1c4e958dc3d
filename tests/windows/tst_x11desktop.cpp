#include "windows/panelscreens.h"
#include "windows/x11desktop.h"

#include "x11session.h"

#include <QApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <unistd.h>

Q_DECLARE_METATYPE(WindowStates)

char *toString(const Rect &rect)
{
    return QTest::toString(u"Rect(%1, %2, %3 x %4)"_qs.arg(rect.x).arg(rect.y).arg(rect.width).arg(rect.height));
}

namespace {

// A frameless window that hands its states to the window manager before every show, as the
// program's windows do.
class StatefulWindow : public QWidget
{
public:
    explicit StatefulWindow(const WindowStates &states, Qt::WindowFlags extra = {})
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | extra)
        , states(states)
    {
        setGeometry(100, 100, 200, 80);
    }

    WindowStates states;

protected:
    void showEvent(QShowEvent *event) override
    {
        X11Desktop::instance().writeBeforeMap(windowHandle(), states);
        QWidget::showEvent(event);
    }
};

X11Session &session()
{
    return X11Session::current();
}

xcb_window_t idOf(QWidget &widget)
{
    return xcb_window_t(widget.winId());
}

bool isManaged(QWidget &widget)
{
    return QTest::qWaitFor([&] { return session().clientList().contains(idOf(widget)); });
}

QList<QByteArray> stateNames(xcb_window_t window)
{
    QList<QByteArray> names;
    // Not sticky: openbox keeps a window on all desktops through _NET_WM_DESKTOP only. Not
    // skip-pager: fluxbox has no pager and leaves that state as it found it.
    for (const char *name : {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_BELOW", "_NET_WM_STATE_SKIP_TASKBAR"}) {
        if (session().hasState(window, name))
            names.append(QByteArray(name).mid(14));
    }
    return names;
}

} // namespace

class TestX11Desktop : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void statesBeforeMapAndByRequest_data();
    void statesBeforeMapAndByRequest();
    void statesSurviveHideAndShow();
    void identityIsExact();
    void compositorIsSeenComingAndGoing();
    void pressedButtonsDuringAHold();
    void focusGoesBackToThePreviousWindow();
    void dockStrutsShrinkOnlyTheirMonitor();
};

void TestX11Desktop::initTestCase()
{
    QVERIFY(X11Desktop::instance().isX11());
}

void TestX11Desktop::statesBeforeMapAndByRequest_data()
{
    QTest::addColumn<WindowStates>("initial");
    QTest::addColumn<WindowStates>("changed");
    QTest::addColumn<QList<QByteArray>>("initialNames");
    QTest::addColumn<QList<QByteArray>>("changedNames");
    QTest::addColumn<quint32>("changedDesktop");

    const QList<QByteArray> skip{"SKIP_TASKBAR"};
    const quint32 all = 0xFFFFFFFF;
    QTest::newRow("below -> floating")
        << WindowStates{WindowLevel::below, true, true} << WindowStates{WindowLevel::floating, true, true}
        << QList<QByteArray>{"BELOW"} + skip << QList<QByteArray>{"ABOVE"} + skip << all;
    QTest::newRow("floating -> normal")
        << WindowStates{WindowLevel::floating, true, true} << WindowStates{WindowLevel::normal, true, true}
        << QList<QByteArray>{"ABOVE"} + skip << skip << all;
    QTest::newRow("normal -> below")
        << WindowStates{WindowLevel::normal, true, true} << WindowStates{WindowLevel::below, true, true}
        << skip << QList<QByteArray>{"BELOW"} + skip << all;
    QTest::newRow("all desktops off")
        << WindowStates{WindowLevel::normal, true, true} << WindowStates{WindowLevel::normal, false, true}
        << skip << skip << 0u;
    QTest::newRow("all desktops on, into the taskbar")
        << WindowStates{WindowLevel::normal, false, true} << WindowStates{WindowLevel::normal, true, false}
        << skip << QList<QByteArray>{} << all;
}

void TestX11Desktop::statesBeforeMapAndByRequest()
{
    QFETCH(WindowStates, initial);
    QFETCH(WindowStates, changed);
    QFETCH(QList<QByteArray>, initialNames);
    QFETCH(QList<QByteArray>, changedNames);
    QFETCH(quint32, changedDesktop);

    StatefulWindow window(initial);
    window.show();
    QVERIFY(isManaged(window));
    QTRY_COMPARE(stateNames(idOf(window)), initialNames);
    if (initial.onAllDesktops)
        QCOMPARE(session().cardinal(idOf(window), "_NET_WM_DESKTOP"), 0xFFFFFFFFu);

    X11Desktop::instance().requestChange(window.windowHandle(), initial, changed);
    QTRY_COMPARE(stateNames(idOf(window)), changedNames);
    QTRY_COMPARE(session().cardinal(idOf(window), "_NET_WM_DESKTOP"), changedDesktop);
}

void TestX11Desktop::statesSurviveHideAndShow()
{
    StatefulWindow window(WindowStates{WindowLevel::floating, true, true});
    window.show();
    QVERIFY(isManaged(window));
    for (int round = 0; round < 2; ++round) {
        window.hide();
        QTRY_VERIFY(!session().clientList().contains(idOf(window)));
        window.show();
        QVERIFY(isManaged(window));
        QTRY_COMPARE(stateNames(idOf(window)),
                     (QList<QByteArray>{"ABOVE", "SKIP_TASKBAR"}));
        QCOMPARE(session().cardinal(idOf(window), "_NET_WM_DESKTOP"), 0xFFFFFFFFu);
    }
}

void TestX11Desktop::identityIsExact()
{
    QGuiApplication::setApplicationDisplayName(u"Quayrow 2"_qs);
    StatefulWindow window(WindowStates{});
    window.setWindowTitle(u"Work — tools"_qs);
    window.show();
    QVERIFY(isManaged(window));
    // Qt appends the display name to the title it writes; the program's titles are exact.
    QCOMPARE(session().property(idOf(window), "_NET_WM_NAME"), QByteArray("Work — tools — Quayrow 2"));
    X11Desktop::instance().writeIdentity(window.windowHandle(), u"Work — tools"_qs);
    QTRY_COMPARE(session().property(idOf(window), "_NET_WM_NAME"), u"Work — tools"_qs.toUtf8());
    QCOMPARE(session().property(idOf(window), "WM_CLASS"), QByteArray("quayrow2\0Quayrow2\0", 18));
    QCOMPARE(session().cardinal(idOf(window), "_NET_WM_PID"), quint32(::getpid()));
    QGuiApplication::setApplicationDisplayName(QString());
}

void TestX11Desktop::compositorIsSeenComingAndGoing()
{
    X11Desktop &desktop = X11Desktop::instance();
    QVERIFY(!desktop.isCompositing());
    QSignalSpy changes(&desktop, &X11Desktop::compositingChanged);
    QVERIFY(session().startCompositor());
    QTRY_COMPARE(changes.size(), 1);
    QCOMPARE(changes.at(0).at(0).toBool(), true);
    QVERIFY(desktop.isCompositing());
    QVERIFY(session().stopCompositor());
    QTRY_COMPARE(changes.size(), 2);
    QCOMPARE(changes.at(1).at(0).toBool(), false);
    QVERIFY(!desktop.isCompositing());
}

void TestX11Desktop::pressedButtonsDuringAHold()
{
    X11Desktop &desktop = X11Desktop::instance();
    QVERIFY(session().movePointer(QPoint(700, 500)));
    QCOMPARE(desktop.pressedButtons(), Qt::NoButton);
    QVERIFY(session().pressButton(1));
    QCOMPARE(desktop.pressedButtons(), Qt::LeftButton);
    QVERIFY(session().pressButton(3));
    QCOMPARE(desktop.pressedButtons(), Qt::LeftButton | Qt::RightButton);
    QVERIFY(session().releaseButton(3));
    QVERIFY(session().releaseButton(1));
    QCOMPARE(desktop.pressedButtons(), Qt::NoButton);
}

void TestX11Desktop::focusGoesBackToThePreviousWindow()
{
    X11Desktop &desktop = X11Desktop::instance();
    const xcb_window_t other = session().createWindow(QRect(600, 300, 300, 200), u"other"_qs);
    QVERIFY(session().waitUntilManaged(other));
    session().activate(other);
    QTRY_COMPARE(session().activeWindow(), other);
    QTRY_COMPARE(desktop.activeWindow(), other);

    QSignalSpy resigned(&desktop, &X11Desktop::applicationDidResignActive);
    StatefulWindow panel(WindowStates{}, Qt::WindowDoesNotAcceptFocus);
    panel.show();
    QVERIFY(isManaged(panel));
    // A window that refuses focus stays without it.
    desktop.activate(panel.windowHandle());
    StatefulWindow dialog(WindowStates{});
    dialog.show();
    QVERIFY(isManaged(dialog));
    desktop.activate(dialog.windowHandle());
    QTRY_COMPARE(session().activeWindow(), idOf(dialog));
    QTRY_COMPARE(desktop.activeWindow(), idOf(dialog));
    // Some window managers pass focus around while windows map; only what follows counts.
    resigned.clear();

    desktop.deactivate();
    QTRY_COMPARE(session().activeWindow(), other);
    QTRY_COMPARE(resigned.size(), 1);

    // Nothing is given back when the program does not hold focus.
    const xcb_window_t third = session().createWindow(QRect(200, 300, 300, 200), u"third"_qs);
    QVERIFY(session().waitUntilManaged(third));
    session().activate(third);
    QTRY_COMPARE(session().activeWindow(), third);
    QTRY_COMPARE(resigned.size(), 2);
    desktop.deactivate();
    QTest::qWait(100);
    QCOMPARE(session().activeWindow(), third);
    session().destroyWindow(third);
    session().destroyWindow(other);
}

void TestX11Desktop::dockStrutsShrinkOnlyTheirMonitor()
{
    QSignalSpy screensAdded(qApp, &QGuiApplication::screenAdded);
    QVERIFY(session().setMonitor(u"LEFT"_qs, QRect(0, 0, 800, 900), true));
    QVERIFY(session().setMonitor(u"RIGHT"_qs, QRect(800, 0, 800, 900)));
    QTRY_COMPARE(QGuiApplication::screens().size(), 2);
    QScreen *left = QGuiApplication::screenAt(QPoint(10, 10));
    QScreen *right = QGuiApplication::screenAt(QPoint(810, 10));
    QVERIFY(left && right && left != right);
    const Rect rightBefore = PanelScreens::visibleFrame(right);

    QSignalSpy workArea(&X11Desktop::instance(), &X11Desktop::workAreaChanged);
    const xcb_window_t dock = session().createBottomDock(QRect(0, 860, 800, 40));
    QTRY_VERIFY(workArea.size() >= 1);
    QCOMPARE(PanelScreens::visibleFrame(left), PanelScreens::toYUp(QRectF(0, 0, 800, 860)));
    QCOMPARE(PanelScreens::visibleFrame(right), rightBefore);
    QCOMPARE(PanelScreens::visibleFrame(right), PanelScreens::toYUp(QRectF(800, 0, 800, 900)));

    session().destroyWindow(dock);
    QTRY_COMPARE(PanelScreens::visibleFrame(left), PanelScreens::toYUp(QRectF(0, 0, 800, 900)));
    QVERIFY(session().deleteMonitor(u"RIGHT"_qs));
    QTRY_COMPARE(QGuiApplication::screens().size(), 1);
}

QUAYROW_X11_TEST_MAIN(TestX11Desktop)
#include "tst_x11desktop.moc"
