#include "displaychoice.h"

#include <xcb/xcb.h>

using namespace Qt::StringLiterals;

namespace DisplayChoice {

Decision decide(const std::function<QByteArray(const char *)> &variable,
                const std::function<bool(const QByteArray &display)> &reachable)
{
    const QByteArray chosen = variable("QT_QPA_PLATFORM");
    const QByteArray wayland = variable("WAYLAND_DISPLAY");
    const QByteArray x = variable("DISPLAY");

    // An explicit platform is the user's: only an X display it names must answer.
    if (!chosen.isEmpty() && !chosen.startsWith("xcb"))
        return {};
    const bool onX = !chosen.isEmpty() || !x.isEmpty() || !wayland.isEmpty();
    if (!onX)
        return {{}, u"Quayrow 2 needs a graphical session: neither DISPLAY nor WAYLAND_DISPLAY is set."_s};
    if (x.isEmpty()) {
        if (!wayland.isEmpty() && chosen.isEmpty()) {
            return {{}, u"Quayrow 2 runs on Wayland through XWayland, which this session does not offer "
                         "(DISPLAY is not set): panels cannot be placed on a native Wayland desktop."_s};
        }
        return {{}, u"Quayrow 2 needs an X display: QT_QPA_PLATFORM is xcb but DISPLAY is not set."_s};
    }
    if (!reachable(x)) {
        return {{}, u"Quayrow 2 cannot reach the X display \"%1\"%2."_s.arg(
                        QString::fromLocal8Bit(x),
                        wayland.isEmpty() ? QString() : u" (XWayland of this Wayland session)"_s)};
    }
    // Qt would pick the Wayland platform where WAYLAND_DISPLAY is set.
    return {chosen.isEmpty() && !wayland.isEmpty() ? "xcb"_ba : QByteArray(), {}};
}

Decision decide()
{
    return decide([](const char *name) { return qgetenv(name); },
                  [](const QByteArray &display) {
                      xcb_connection_t *connection = xcb_connect(display.constData(), nullptr);
                      const bool ok = xcb_connection_has_error(connection) == 0;
                      xcb_disconnect(connection);
                      return ok;
                  });
}

} // namespace DisplayChoice
