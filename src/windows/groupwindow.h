#pragma once

#include "hostwindow.h"

#include "model/placement.h"

// The borderless popover that shows a group's links beside its icon. It floats above ordinary
// windows and takes keyboard focus when opened (for text entry in the popover's view).
class GroupWindow : public HostWindow
{
    Q_OBJECT

public:
    GroupWindow();

    // The gap between the popover and the icon it belongs to.
    static constexpr double gap = 8;

    // Where a popover of `size` goes beside `anchor` (y-up): on the owning panel's companion
    // side, on the opposite side when it would leave `visible` there, and then clamped into
    // `visible` (a popover larger than it keeps its right and top edges on it).
    static Rect placedFrame(const Size &size, const Rect &anchor, const Rect &visible, PanelCompanionSide side);
};
