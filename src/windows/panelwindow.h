#pragma once

#include "hostwindow.h"

#include "model/panel.h"

#include <optional>

// The borderless window of one panel. It never takes keyboard focus except while a tab of its
// panel is being renamed, and a free panel is dragged by any part of its body that does not
// handle the press itself (the window manager moves it; snapped panels do not move).
class PanelWindow : public HostWindow
{
    Q_OBJECT

public:
    PanelWindow();

    // True while the store's tab renaming names this panel: only then may the window take focus.
    bool isRenaming() const { return m_isRenaming; }
    void setRenaming(bool renaming);

    bool isMovableByBackground() const { return m_isMovableByBackground; }
    // A free panel is where the user dragged it; any other stays where the program puts it.
    void setMovableByBackground(bool movable)
    {
        m_isMovableByBackground = movable;
        setHoldsFrame(!movable);
    }

    // Whether the hosted view was built from another panel value. (A view follows the running
    // applications on its own and asks for a new size when they change it.)
    bool needsView(const Panel &panel) const;
    // Installs a view built from `panel`.
    void setPanelView(HostedView *view, const Panel &panel);

Q_SIGNALS:
    // A press on the body started moving the window with the pointer. The window manager may not
    // report the move until it ends.
    void dragStarted();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_isRenaming = false;
    bool m_isMovableByBackground = false;
    std::optional<Panel> m_viewPanel;
    // Where the pointer grabbed the window, while the program moves it itself (a window
    // manager without _NET_WM_MOVERESIZE).
    std::optional<QPoint> m_dragOffset;
};
