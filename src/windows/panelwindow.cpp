#include "panelwindow.h"

#include <QMouseEvent>
#include <QWindow>

PanelWindow::PanelWindow()
    : HostWindow(Body::Shaped, Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    // Mapping a panel never takes focus from the application the user works in.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFrame(Rect{0, 0, 300, 100});
}

void PanelWindow::setRenaming(bool renaming)
{
    m_isRenaming = renaming;
    setAcceptsFocus(renaming);
}

bool PanelWindow::needsView(const Panel &panel) const
{
    return !view() || !m_viewPanel || *m_viewPanel != panel;
}

void PanelWindow::setPanelView(HostedView *view, const Panel &panel)
{
    m_viewPanel = panel;
    setView(view);
}

void PanelWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_isMovableByBackground) {
        event->ignore();
        return;
    }
    event->accept();
    if (!windowHandle()->startSystemMove())
        m_dragOffset = event->globalPosition().toPoint() - pos();
    Q_EMIT dragStarted();
}

void PanelWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragOffset) {
        event->ignore();
        return;
    }
    move(event->globalPosition().toPoint() - *m_dragOffset);
}

void PanelWindow::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_dragOffset) {
        event->ignore();
        return;
    }
    m_dragOffset.reset();
}
