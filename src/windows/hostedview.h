#pragma once

#include <QPainterPath>
#include <QWidget>

// The content a window hosts: a panel view, a group popover view or a settings view.
//
// The window takes ownership of the view, measures it with sizeHint() (its fitting size) and
// gives it the window's whole area. A view is built afresh from the store's current values and
// holds no state that must outlive the synchronisation that replaces it: a replaced view is
// released with deleteLater(), so code running in a nested event loop (a menu, a dialog, a drag)
// must not touch the view's members after that loop returns.
//
// Unaccepted left presses travel up to the window, which starts moving a free panel.
class HostedView : public QWidget
{
    Q_OBJECT

public:
    explicit HostedView(QWidget *parent = nullptr);

    // The outline the view paints, in its own coordinates. When no compositor draws
    // translucency, the window is clipped to it so that nothing around it shows black. The
    // default is the whole rectangle.
    virtual QPainterPath bodyShape() const;

    // Whether the window behind the view is translucent (a compositor runs); without one a view
    // fills its body opaquely. Set by the window before the view is shown and again whenever a
    // compositor starts or stops; a change repaints the view.
    bool isTranslucent() const { return m_isTranslucent; }
    void setTranslucent(bool translucent);

private:
    bool m_isTranslucent = false;
};
