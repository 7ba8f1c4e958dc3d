#pragma once

#include <QPoint>

#include <optional>
#include <random>
#include <utility>

class Quayrow2App;

// Real pointer drags with xdotool on the program's panels, as a hand makes them: a tile to
// another place in its row (or onto a group, or another panel), or a free panel by its body to
// another place on the screen. Targets are drawn at random from what is shown now.
class SoakPointer
{
public:
    SoakPointer(Quayrow2App &app, quint32 seed);

    // Makes one drag, alternating tiles and panels (a panel when no tile can be dragged, and the
    // reverse); false when the pointer helper failed.
    bool dragSomething();
    int drags() const { return m_drags; }
    // Drags after which the panels differed, within a second of the release.
    int effectiveDrags() const { return m_effectiveDrags; }

private:
    using Drag = std::pair<QPoint, QPoint>;
    std::optional<Drag> tileDrag();
    std::optional<Drag> panelMove();
    int below(int bound);

    Quayrow2App &m_app;
    std::mt19937 m_random;
    int m_drags = 0;
    int m_effectiveDrags = 0;
};
