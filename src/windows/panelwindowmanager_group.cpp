// The group popover: shown beside its icon, rebuilt with every synchronisation, closed by an
// outside click in any of the program's windows.

#include "panelwindowmanager.h"

#include "groupclickmonitor.h"
#include "groupwindow.h"
#include "panelscreens.h"
#include "panelwindow.h"
#include "viewfactory.h"
#include "x11desktop.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

const Panel *PanelWindowManager::panelOwning(const QUuid &groupID, const QList<Panel> &panels)
{
    for (const Panel &panel : panels) {
        for (const PanelTab &tab : panel.tabs()) {
            for (const Item &item : tab.items) {
                if (item.id() == groupID)
                    return &panel;
            }
        }
    }
    return nullptr;
}

void PanelWindowManager::updateExpandedGroup(const std::optional<QUuid> &groupID, AppStore &store)
{
    m_store = &store;
    if (!groupID) {
        closeGroupWindow();
        return;
    }
    if (m_openGroupID != groupID)
        closeGroupWindow();
    const Panel *owner = panelOwning(*groupID, store.panels());
    if (!owner || !m_windows.contains(owner->id()))
        return;
    m_openGroupID = groupID;
    if (!m_groupWindow) {
        m_groupWindow = new GroupWindow;
        adopt(m_groupWindow);
    }
    applyWorkspaceBehavior(m_groupWindow, collectionBehavior(owner->showsOnAllSpaces));
    relayoutGroupWindow();
    m_groupWindow->orderFront();
    X11Desktop::instance().activate(m_groupWindow->windowHandle());
    if (!m_groupClickMonitor)
        installGroupClickMonitor();
}

void PanelWindowManager::relayoutGroupWindow()
{
    if (!m_groupWindow || !m_openGroupID || !m_store)
        return;
    const Panel *owner = panelOwning(*m_openGroupID, m_store->panels());
    if (!owner || !m_windows.contains(owner->id()))
        return;
    m_groupWindow->setView(m_views->makeGroupPopoverView(*m_openGroupID, owner->id(), *m_store));
    if (const Size fitting = m_groupWindow->fittingSize(); fitting.width > 0 && fitting.height > 0)
        m_groupWindow->setContentSize(fitting);
    repositionGroupWindow();
}

void PanelWindowManager::repositionGroupWindow()
{
    if (!m_groupWindow || !m_openGroupID || !m_store)
        return;
    const Panel *owner = panelOwning(*m_openGroupID, m_store->panels());
    const PanelWindow *panelWindow = owner ? m_windows.value(owner->id()) : nullptr;
    if (!panelWindow)
        return;
    const Rect anchor = m_store->groupIconScreenFrames().value(*m_openGroupID, panelWindow->frame());
    const QScreen *screen = panelWindow->screen() ? panelWindow->screen() : QGuiApplication::primaryScreen();
    const Rect visible = screen ? PanelScreens::visibleFrame(screen) : Rect{};
    positionGroupWindow(m_groupWindow, anchor, visible, owner->placement());
}

void PanelWindowManager::positionGroupWindow(HostWindow *window, const Rect &anchor, const Rect &visible,
                                             const PanelPlacement &placement)
{
    const Rect current = window->frame();
    const Rect placed =
        GroupWindow::placedFrame(Size{current.width, current.height}, anchor, visible, placement.companionSide());
    window->setFrameOrigin(placed.x, placed.y);
}

void PanelWindowManager::closeGroupWindow()
{
    removeGroupClickMonitor();
    if (GroupWindow *window = m_groupWindow) {
        window->hide();
        window->deleteLater();
        m_groupWindow = nullptr;
    }
    m_openGroupID.reset();
    // While a rename is in progress the program stays active.
    if (!m_renamingPanelID)
        X11Desktop::instance().deactivate();
}

void PanelWindowManager::installGroupClickMonitor()
{
    m_groupClickMonitor = new GroupClickMonitor(
        [this](QWindow *window, QPointF position) { groupClickMonitorSawPress(window, position); }, this);
}

void PanelWindowManager::removeGroupClickMonitor()
{
    // Usually removed from inside its own handler (a press collapses the group): it stops
    // watching at once and goes when the event loop is back.
    if (GroupClickMonitor *monitor = m_groupClickMonitor) {
        monitor->stop();
        monitor->deleteLater();
        m_groupClickMonitor = nullptr;
    }
}

void PanelWindowManager::groupClickMonitorSawPress(QWindow *window, QPointF globalPosition)
{
    if (!m_openGroupID)
        return;
    if (m_groupWindow && window == m_groupWindow->windowHandle())
        return;
    if (window && m_store) {
        const auto icon = m_store->groupIconScreenFrames().constFind(*m_openGroupID);
        if (icon != m_store->groupIconScreenFrames().constEnd()) {
            // The icon's own click toggles the group.
            const Rect point = PanelScreens::toYUp(QRectF(globalPosition, QSizeF(0, 0)));
            if (point.x >= icon->minX() && point.x < icon->maxX() && point.y >= icon->minY() && point.y < icon->maxY())
                return;
        }
    }
    if (m_store)
        m_store->collapseGroup();
}
