#pragma once

#include "hostedview.h"
#include "windowstates.h"

#include "model/geometry.h"

#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <optional>

// A top-level window of the program hosting one view: a panel, the group popover or a panel's
// settings. It owns the view and measures it, keeps its states and its identity (exact title,
// class, process id) with the window manager across hides and shows, and follows the
// compositor: a translucent body while one runs, otherwise an opaque one clipped to the view's
// outline, so that no corner shows black.
//
// Frames are y-up global rectangles as the store computes them; the window rounds them to whole
// pixels and asks the server unless it is there already and was last asked for that very frame.
class HostWindow : public QWidget
{
    Q_OBJECT

public:
    enum class Body {
        // Frameless, translucent under a compositor: panels and the group popover.
        Shaped,
        // A standard, decorated, opaque window.
        Standard,
    };

    HostWindow(Body body, Qt::WindowFlags flags);
    ~HostWindow() override;

    HostedView *view() const { return m_view; }
    // Installs `view` (taking ownership) over the whole window; the previous view is released
    // with deleteLater().
    void setView(HostedView *view);
    // The view's size hint; empty without a view or when the view reports none.
    Size fittingSize() const;

    Rect frame() const;
    // The frame where the server has the window now; frame() where it cannot tell.
    Rect frameOnServer() const;
    void setFrame(const Rect &frame);
    void setFrameOrigin(double x, double y);
    // Resizes the window keeping its y-up origin (the bottom left corner).
    void setContentSize(const Size &size);

    // Whether the program alone decides where the window is (a snapped panel, the popover).
    // Window managers now and then leave such a window where it was (answering with a report of
    // the old frame) when the request reaches them while they are still taking the window over;
    // so after each request the window reads its frame back from the server until it is there,
    // asking again each time it is not, at growing intervals, and soon again whenever a report
    // puts it elsewhere; six requests at most. After that a window manager that insists on
    // another frame keeps it.
    bool holdsFrame() const { return m_holdsFrame; }
    void setHoldsFrame(bool holds);

    QString title() const { return m_title; }
    void setTitle(const QString &title);

    const WindowStates &states() const { return m_states; }
    void setStates(const WindowStates &states);

    // Shows the window when hidden and raises it above the other windows of its level.
    void orderFront();
    // After another window manager took over: asks it for every state again, and makes the next
    // setFrame ask the server even for the frame the window already has.
    void restateToWindowManager();

Q_SIGNALS:
    // The window's position changed (by the window manager, a drag, or the program itself).
    void moved();
    // The view asked for a new size (QWidget::updateGeometry) and its fitting size is no longer
    // the window's size.
    void fittingSizeChanged();

protected:
    // Changes Qt's focus flag on the native window without unmapping it (QWidget's own
    // setWindowFlags would), then asserts the level again: Qt resets the stacking states
    // whenever it rewrites the window's flags.
    void setAcceptsFocus(bool accepts);

    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void updateTranslucency();
    void updateMask();
    void askForFrame(const QRect &frame);
    void frameReported();
    void checkFrameOnServer();

    Body m_body;
    bool m_fixesSizeForTiling = false;
    QPointer<HostedView> m_view;
    QString m_title;
    WindowStates m_states;
    // The frame setFrame last asked the server for, while no other request of the program can
    // have followed it; none when unknown.
    std::optional<QRect> m_askedFrame;
    bool m_isMapped = false;
    bool m_isTranslucent = false;
    bool m_holdsFrame = false;
    // Reads the frame back after a request while the window holds its frame; single shot.
    QTimer m_frameCheck;
    int m_frameChecksDone = 0;
};
