#pragma once

#include <QtGlobal>

#include <optional>

// The window of another program that was active before this program brought a window of its
// own forward, so that it can be given back the focus afterwards (X11's _NET_ACTIVE_WINDOW).
// Without an X server nothing is remembered and nothing is activated.
namespace FrontmostWindow {

// The active window when it is not one of this program's own; none otherwise.
std::optional<quint32> remember();
// Asks the window manager to activate `window` again, if it still exists.
void activate(quint32 window);

} // namespace FrontmostWindow
