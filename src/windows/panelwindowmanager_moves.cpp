// A dragged free panel's position: saved once, after the mouse button is released.

#include "panelwindowmanager.h"

#include "panelscreens.h"
#include "panelwindow.h"
#include "positionsave.h"
#include "x11desktop.h"

#include <QGuiApplication>
#include <QScreen>

void PanelWindowManager::windowDidMove(PanelWindow *window)
{
    if (m_isApplyingProgrammaticFrame)
        return;
    const std::optional<QUuid> id = panelID(window);
    if (!id)
        return;
    const auto mode = m_placementModes.constFind(*id);
    if (mode == m_placementModes.constEnd() || *mode == PanelPlacementMode::Snapped)
        return;
    // A move that is neither a drag nor the tail of one is not saved.
    if (!m_pendingPositionSaves.contains(*id) && X11Desktop::instance().pressedButtons() == Qt::NoButton)
        return;
    scheduleFreePositionSave(window, *id);
}

// The window manager may keep a move to itself until the button is released (openbox reports
// only the end), so the start of a drag counts as its first move.
void PanelWindowManager::windowDidStartDrag(PanelWindow *window)
{
    const std::optional<QUuid> id = panelID(window);
    if (id && m_placementModes.value(*id, PanelPlacementMode::Snapped) == PanelPlacementMode::Free)
        scheduleFreePositionSave(window, *id);
}

void PanelWindowManager::scheduleFreePositionSave(PanelWindow *window, const QUuid &panelID)
{
    delete m_pendingPositionSaves.take(panelID);
    m_pendingPositionSaves.insert(
        panelID, new PositionSave([this, window = QPointer<PanelWindow>(window), panelID] { saveFreePosition(window, panelID); },
                                  this));
}

void PanelWindowManager::saveFreePosition(QPointer<PanelWindow> window, const QUuid &panelID)
{
    if (PositionSave *finished = m_pendingPositionSaves.take(panelID))
        finished->deleteLater();
    if (!m_store || !window)
        return;
    // Where the drag left it, and the screen it is on now, not the one its placement names: a
    // panel dragged onto another monitor moves there for good.
    const Rect frame = window->frameOnServer();
    const QScreen *screen = QGuiApplication::screenAt(PanelScreens::toQt(frame).center().toPoint());
    if (!screen)
        screen = window->screen();
    const std::optional<QString> screenID = PanelScreens::panelScreenID(screen);
    if (!screenID)
        return;
    const PanelFreePosition position = AppStore::freePosition(frame, PanelScreens::visibleFrame(screen));
    m_store->setFreePosition(position, screenID, panelID);
}
