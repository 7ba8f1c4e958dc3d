#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A headless Wayland compositor with XWayland, standing in for the X server of real-window tests
// so that they show what a user of a Wayland session meets. The compositor is its own window
// manager there.
//
//   weston   headless backend, its XWayland module
//   sway     headless wlroots backend with the pixman renderer; sway refuses to run as root, so a
//            root test runs it as the unprivileged user "nobody"
class WaylandHost
{
public:
    WaylandHost();
    WaylandHost(const WaylandHost &) = delete;
    WaylandHost &operator=(const WaylandHost &) = delete;
    ~WaylandHost();

    // The compositors this host knows how to start.
    static bool isKnown(const QString &compositor);
    // The programs the compositor needs that are not installed, for a clear skip.
    static QStringList missingPrograms(const QString &compositor);

    // Starts the compositor with one output of `size` and waits until its XWayland display
    // answers; false with errorString() otherwise.
    bool start(const QString &compositor, QSize size);
    QString xDisplay() const { return m_xDisplay; }
    // The compositor's socket, as a full path (a valid WAYLAND_DISPLAY).
    QString waylandDisplay() const { return m_waylandDisplay; }
    QString errorString() const { return m_error; }

private:
    bool startWeston(QSize size);
    bool startSway(QSize size);
    bool waitForXDisplay();

    QProcess m_compositor;
    QTemporaryDir m_runtime;
    QString m_xDisplay;
    QString m_waylandDisplay;
    QString m_error;
};
