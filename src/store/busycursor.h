#pragma once

#include <functional>

// Runs `work` with the busy cursor over the program's windows, then restores the cursor that was
// there before. The change reaches the window system at once, so the cursor shows even though
// `work` blocks the event loop. Without a GUI application (tests, command-line runs) it only
// runs `work`. Main thread only.
void runWithBusyCursor(const std::function<void()> &work);
