#pragma once

#include "glibptr.h"

// The context of every launch. On X11 it announces the launch to the desktop (startup
// notification): a "new:" message on the root window and DESKTOP_STARTUP_ID for the started
// program, whose first window then ends the busy feedback and may take the focus. Without an X
// display it is GIO's plain context.
GObjectPtr<GAppLaunchContext> makeLaunchContext();
