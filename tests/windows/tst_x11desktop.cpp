#include "windows/x11desktop.h"

#include "x11session.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <QWindow>

Q_DECLARE_METATYPE(WindowStates)

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
    void focusGoesBackToThePreviousWindow();
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

QUAYROW_X11_TEST_MAIN(TestX11Desktop)
#include "tst_x11desktop.moc"
