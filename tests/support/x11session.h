#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QImage>
#include <QList>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <xcb/xcb.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class WaylandHost;

// Polls `condition` until it holds or `milliseconds` pass, without letting the event loop run:
// where none runs yet (before the application exists), or so that what the server reports
// meanwhile reaches the code under test in one batch. Tests otherwise wait with QTRY_* and
// signal spies.
template<typename Condition>
bool waitOutsideTheEventLoop(Condition condition, int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(10);
    }
    return true;
}

// A private X display for real-window tests: Xvfb (started with -displayfd and -noreset, one
// wide screen whose root is painted a known colour), an EWMH window manager, optionally a
// compositor, and a connection of the test's own that reads the real window state back.
//
// The window manager is the one named (openbox, fluxbox, xfwm4, or "none" for none); by default
// openbox unless QUAYROW_TEST_WM names another. With QUAYROW_TEST_COMPOSITOR ("weston", "sway")
// the display is instead the XWayland of a headless Wayland compositor, which is then also the
// window manager. Window tests start their session through
// QUAYROW_X11_TEST_MAIN, which points Qt at the display before the application object exists;
// other tests and benchmarks make sessions of their own. The test's helpers end with it.
class X11Session
{
public:
    // The root's colour, so that tests can tell the desktop from a window.
    static constexpr QRgb rootColor = 0xff336699;

    explicit X11Session(QSize size = QSize(1600, 900), const QString &windowManager = {});
    X11Session(const X11Session &) = delete;
    X11Session &operator=(const X11Session &) = delete;
    ~X11Session();

    // The session of the running test executable.
    static X11Session &current();

    bool start();
    // Ends the X server the way a session ends, while the test goes on (the connection of the
    // test's own is closed first).
    void stopServer();
    QString errorString() const { return m_error; }
    QString display() const { return m_display; }
    QString windowManager() const { return m_windowManagerName; }
    // The Wayland compositor's socket when the display is its XWayland, otherwise empty.
    QString waylandDisplay() const;
    xcb_connection_t *connection() const { return m_connection; }
    xcb_window_t root() const;
    xcb_atom_t atom(const char *name) const;

    // Runs a helper program (xrandr, xdotool) on the display and waits for it; true on success.
    bool run(const QString &program, const QStringList &arguments) const;

    // Another window manager takes over while windows stay up, as when a user switches: openbox
    // after openbox with --replace (the old one leaves on its own), any other pair by ending the
    // old one (its windows are then unmanaged for a moment) and starting the new one. `meanwhile`
    // runs in between: after the old one ended, or just before the new openbox takes over. True
    // once the new one manages windows.
    bool replaceWindowManager(const QString &windowManager, const std::function<void()> &meanwhile = {});

    // picom with the xrender backend; true once it owns the compositing selection.
    bool startCompositor(const QStringList &extraArguments = {});
    bool stopCompositor();
    bool isCompositing() const;

    // Monitors on the one screen (RandR 1.5). The first monitor takes over the screen's output,
    // so that the automatic whole-screen monitor goes; delete the others, not that one. Setting a
    // monitor that is already there with that geometry does nothing.
    bool setMonitor(const QString &name, const QRect &geometry, bool primary = false);
    bool deleteMonitor(const QString &name);

    // The pointer, driven by xdotool like a user's hand.
    bool movePointer(QPoint position) const;
    bool pressButton(int button = 1) const;
    bool releaseButton(int button = 1) const;
    bool click(QPoint position, int button = 1) const;
    // Presses at `from`, moves in steps to `to`, hovers there a moment and releases, as a hand
    // would, in an xdotool process of its own: it goes on while this process sits in the event
    // loop of a drag it started. Wait for it with finishes().
    std::unique_ptr<QProcess> dragWithPointer(QPoint from, QPoint to) const;
    // Whether `process` ended well within `milliseconds`, turning the event loop meanwhile.
    static bool finishes(QProcess &process, int milliseconds = 15000);

    // Read-back.
    // The window's own area in root coordinates (without the window manager's frame).
    QRect frame(xcb_window_t window) const;
    // Turns the event loop until the window's frame has stayed `expected` for `steady`
    // milliseconds, at most `milliseconds` in all, and returns the frame last read. A window
    // manager may still act on an earlier request after the frame first reads right, and a
    // window that holds its frame puts it back a moment later: one matching reading says
    // nothing about where the window stays.
    QRect settledFrame(xcb_window_t window, const QRect &expected, int steady = 300, int milliseconds = 10000) const;
    QList<xcb_atom_t> atoms(xcb_window_t window, const char *property) const;
    bool hasState(xcb_window_t window, const char *state) const;
    std::optional<quint32> cardinal(xcb_window_t window, const char *property) const;
    QByteArray property(xcb_window_t window, const char *property) const;
    xcb_window_t activeWindow() const;
    QList<xcb_window_t> clientList() const;
    // Whether `upper` is drawn above `lower`: their frames' order among the root's children
    // (what the screen shows, whatever the window manager's lists say).
    bool isStackedAbove(xcb_window_t upper, xcb_window_t lower) const;
    bool isViewable(xcb_window_t window) const;
    QImage grab(const QRect &area) const;
    QRgb pixel(QPoint position) const { return grab(QRect(position, QSize(1, 1))).pixel(0, 0); }

    // Windows of the test's own: a plain managed window, and a dock window reserving space at
    // the bottom of `geometry`'s span (its height) through _NET_WM_STRUT_PARTIAL.
    xcb_window_t createWindow(const QRect &geometry, const QString &title);
    xcb_window_t createBottomDock(const QRect &geometry);
    void destroyWindow(xcb_window_t window);
    // Asks for `window` at `position` as any client may (the window manager decides).
    void moveWindow(xcb_window_t window, QPoint position);
    // Sends a client message about `window` to the root window, as a pager sends its requests
    // to the window manager.
    void askWindowManager(xcb_window_t window, const char *type, std::array<quint32, 5> data);
    // Gives a window focus the way a pager or a click would.
    void activate(xcb_window_t window);
    bool waitUntilManaged(xcb_window_t window) const;

private:
    xcb_window_t createUnmapped(const QRect &geometry, quint32 colour);
    bool startWindowManager();
    // Starts the requested window manager's process, without waiting until it manages windows.
    bool launchWindowManager(const QStringList &extraArguments = {});
    bool startUnderWayland(const QString &compositor);
    bool waitForWindowManager();
    xcb_window_t selectionOwner(const char *selection) const;

    QSize m_size;
    QString m_requestedWindowManager;
    QString m_error;
    QString m_display;
    QString m_windowManagerName;
    QProcess m_server;
    std::unique_ptr<QProcess> m_windowManager = std::make_unique<QProcess>();
    QProcess m_compositor;
    QTemporaryDir m_home;
    QString m_outputMonitor;
    QHash<QString, QRect> m_monitors;
    std::unique_ptr<WaylandHost> m_waylandHost;
    xcb_connection_t *m_connection = nullptr;
    mutable QHash<QByteArray, xcb_atom_t> m_atoms;
};

namespace X11SessionMain {
// Starts the session, points Qt at it and makes the application; the exit status of a test
// run that cannot have its session (77 = skipped when Xvfb is not installed), or none.
std::optional<int> prepare(int argc, char *argv[]);
} // namespace X11SessionMain

#define QUAYROW_X11_TEST_MAIN(TestObject)                                                     \
    int main(int argc, char *argv[])                                                          \
    {                                                                                         \
        if (const std::optional<int> status = X11SessionMain::prepare(argc, argv))            \
            return *status;                                                                   \
        QApplication app(argc, argv);                                                         \
        TestObject test;                                                                      \
        return QTest::qExec(&test, argc, argv);                                               \
    }
