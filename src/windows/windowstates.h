#pragma once

// What the window manager is asked to keep for one of the program's top-level windows.
struct WindowStates
{
    // Stacking level: -1 below ordinary windows, 0 normal, 3 floating above them.
    int level = 0;
    // On every workspace (and sticky), or on the current one only.
    bool onAllDesktops = false;
    // Left out of taskbars and pagers.
    bool skipsTaskbar = true;

    bool operator==(const WindowStates &) const = default;
};

namespace WindowLevel {
constexpr int below = -1;
constexpr int normal = 0;
constexpr int floating = 3;
} // namespace WindowLevel
