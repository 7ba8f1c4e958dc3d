#pragma once

#include "glibptr.h"

#include <QtGlobal>

#include <optional>

// The context of every launch, made on the main thread. When the program draws on X11 the context
// announces each launch to the desktop (startup notification) over Qt's own connection: a "new:"
// message and DESKTOP_STARTUP_ID for the started program, whose first window then ends the busy
// feedback and may take the focus; a launch that fails is withdrawn with "remove:". `timestamp`
// is the X server time of the user's action that caused the launch; without one, the time of the
// last user input Qt saw (or of its last event) stands in, which needs no round trip. Without an
// X connection (offscreen, Wayland) it is GIO's plain context and nothing is announced.
GObjectPtr<GAppLaunchContext> makeLaunchContext(std::optional<quint32> timestamp);

// The X server time of the last user input Qt handled, else of the last event it saw; 0 (the
// server's "current time") before any, and off X11.
quint32 lastUserInputTime();
