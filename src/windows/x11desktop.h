#pragma once

#include "windowstates.h"
#include "workarea.h"

#include <QList>
#include <QObject>
#include <QRect>
#include <QSize>

#include <memory>
#include <optional>

class QWindow;

// The X11 desktop as the windows need it: window states through EWMH, the window manager's
// focus, the compositing manager, the space docks reserve and the pointer's buttons. Requests
// about the program's own windows go over Qt's connection, so they reach the server in order
// with Qt's own map and configure requests; the desktop is watched over a connection of its
// own. Nothing here polls or blocks per redraw: reads happen on a change the server reported or
// on an explicit question. Every reply is freed.
//
// Off X11 (Wayland without XWayland, the offscreen platform) it is a harmless stand-in: window
// states are left to the compositor, focus changes follow the application state, and the
// pointer's buttons are Qt's own idea of them.
//
// One instance per application, created on first use after the QGuiApplication and destroyed
// with it. Main thread only.
class X11Desktop : public QObject
{
    Q_OBJECT

public:
    static X11Desktop &instance();
    ~X11Desktop() override;

    bool isX11() const;

    // Whether a compositing manager owns the _NET_WM_CM_S<n> selection of the screen.
    bool isCompositing() const;

    // The root window's size in pixels, and the struts of the docks listed by the window
    // manager; both kept up to date from the server's notifications.
    QSize rootSize() const;
    QList<Strut> struts() const;

    // The pointer's buttons as the server sees them, also while the window manager holds the
    // pointer during a system move. One round trip.
    Qt::MouseButtons pressedButtons() const;

    // Where the server has the window now (its own area, root pixels), which is ahead of Qt's
    // idea of it while the window manager moves the window: some tell the window only when a
    // move ends. None off X11 or for a window that is gone. One round trip.
    std::optional<QRect> geometryOnServer(QWindow *window) const;

    // The window the window manager reports active; 0 for none or off X11.
    quint32 activeWindow() const;
    // Whether `window` is a top-level window of this process.
    static bool isOwnWindow(quint32 window);

    // Makes the program the active application: remembers the window that was active if it
    // belongs to another program, then asks for `window` to get focus when it accepts focus
    // (null or a window that refuses focus: only the remembering happens).
    void activate(QWindow *window);
    // Gives focus back to the remembered window when one of ours has it and the remembered
    // one still exists.
    void deactivate();

    // Window states. `writeBeforeMap` sets them as properties of a window about to be mapped
    // (the window manager reads them when it takes the window over, and some drop them when a
    // window is hidden, so call it before every show); `requestChange` asks the window manager
    // by client message to change a mapped window from `from` to `to`, sending only what differs.
    void writeBeforeMap(QWindow *window, const WindowStates &states) const;
    void requestChange(QWindow *window, const WindowStates &from, const WindowStates &to) const;
    // The title exactly as given (_NET_WM_NAME and WM_NAME, without the suffix Qt adds), the
    // class every window of the program carries (WM_CLASS "quayrow2", "Quayrow2") and
    // _NET_WM_PID. Call after the native window exists and after each title change.
    void writeIdentity(QWindow *window, const QString &title) const;
    // Whether the window manager tiles every window it may resize: wlroots' window manager for
    // XWayland clients (sway's) floats only windows whose size hints fix their size. Read from
    // the window manager's name on each call (one round trip; it may be replaced while we run).
    bool tilesResizableWindows() const;
    // Asks for the window's area (root pixels) directly, for when Qt believes it is there already.
    void requestGeometry(QWindow *window, const QRect &native) const;

Q_SIGNALS:
    void compositingChanged(bool isCompositing);
    // The active window changed to one that does not belong to this program: the application
    // stopped being active. Focus going to no window at all does not count: window managers
    // pass through it while they hand focus over (and bare ones stay there when the desktop is
    // clicked). Off X11: the application state became inactive.
    void applicationDidResignActive();
    // The struts of the docks or the root's size changed.
    void workAreaChanged();
    // Another window manager took over (a replacement, or a start after none ran) and announced
    // itself, which it does once it handles requests. What it kept of the windows' states and
    // frames when it adopted them is its own choice, so the windows state them again. Not
    // emitted off X11.
    void windowManagerChanged();

private:
    explicit X11Desktop(QObject *parent);
    void readEvents();
    // Reads the events that earlier replies left queued, on the next turn of the event loop.
    void scheduleRead();
    void refreshStruts(bool rootResized);
    void updateActiveWindow();
    void updateWindowManager();

    struct Private;
    std::unique_ptr<Private> d;
};
