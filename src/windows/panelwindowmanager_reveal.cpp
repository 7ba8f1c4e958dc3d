// Raising, revealing, highlighting, settings windows and the focus a rename needs.

#include "panelwindowmanager.h"

#include "flashoverlay.h"
#include "panelwindow.h"
#include "settingswindow.h"
#include "viewfactory.h"
#include "x11desktop.h"

#include <QGuiApplication>
#include <QScreen>

void PanelWindowManager::bringToFront(const QUuid &panelID)
{
    PanelWindow *window = m_windows.value(panelID);
    if (!window)
        return;
    m_temporarilyRaisedPanelIDs.insert(panelID);
    applyWindowLevel(window, panelID);
    window->orderFront();
    X11Desktop::instance().activate(nullptr);
}

void PanelWindowManager::bringAllToFront()
{
    for (auto it = m_windows.cbegin(); it != m_windows.cend(); ++it) {
        m_revealedAllPanelIDs.insert(it.key());
        applyWindowLevel(it.value(), it.key());
        it.value()->orderFront();
    }
    X11Desktop::instance().activate(nullptr);
}

void PanelWindowManager::watchResignActiveIfNeeded()
{
    if (m_resignActiveObserver)
        return;
    m_resignActiveObserver = connect(&X11Desktop::instance(), &X11Desktop::applicationDidResignActive, this,
                                     &PanelWindowManager::applicationDidResignActive, Qt::QueuedConnection);
}

// Panel windows never take focus, so on X11 the application stopping being active and a raised
// or renaming panel's window resigning key are one event: focus went to a window not ours.
void PanelWindowManager::applicationDidResignActive()
{
    handleResignActive();
    QSet<QUuid> keyPanels = m_temporarilyRaisedPanelIDs;
    if (m_renamingPanelID)
        keyPanels.insert(*m_renamingPanelID);
    for (const QUuid &id : std::as_const(keyPanels)) {
        if (PanelWindow *window = m_windows.value(id))
            windowDidResignKey(window);
    }
}

void PanelWindowManager::handleResignActive()
{
    if (m_store)
        m_store->endRevealAllPanels();
    endRevealAll();
}

void PanelWindowManager::endRevealAll()
{
    const QSet<QUuid> revealed = std::exchange(m_revealedAllPanelIDs, {});
    for (const QUuid &id : revealed) {
        PanelWindow *window = m_windows.value(id);
        if (window && m_windowLevels.contains(id))
            applyWindowLevel(window, id);
    }
}

void PanelWindowManager::windowDidResignKey(HostWindow *window)
{
    const std::optional<QUuid> id = panelID(window);
    if (!id)
        return;
    if (m_store && m_store->renaming() && m_store->renaming()->panelID == *id)
        m_store->cancelRenamingTab();
    if (m_temporarilyRaisedPanelIDs.remove(*id))
        applyWindowLevel(m_windows.value(*id), *id);
}

void PanelWindowManager::flashNewPanel(PanelWindow *window)
{
    if (window && window->view())
        new FlashOverlay(window);
}

void PanelWindowManager::showSettings(const QUuid &panelID, AppStore &store)
{
    if (SettingsWindow *existing = m_settingsWindows.value(panelID)) {
        existing->orderFront();
        X11Desktop::instance().activate(existing->windowHandle());
        return;
    }
    auto *window = new SettingsWindow;
    adopt(window);
    window->setView(m_views->makeSettingsView(panelID, store));
    if (const Size fitting = window->fittingSize(); fitting.width > 0 && fitting.height > 0)
        window->resize(int(fitting.width), int(fitting.height));
    connect(window, &SettingsWindow::closed, this, [this, window] {
        if (const std::optional<QUuid> id = settingsWindowID(window)) {
            m_settingsWindows.remove(*id);
            window->deleteLater();
        }
    });
    // Centred on the screen of the panel it belongs to.
    const PanelWindow *panel = m_windows.value(panelID);
    if (const QScreen *screen = panel ? panel->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window->move(area.center() - window->rect().center());
    }
    m_settingsWindows.insert(panelID, window);
    window->orderFront();
    X11Desktop::instance().activate(window->windowHandle());
}

std::optional<QUuid> PanelWindowManager::settingsWindowID(const QWidget *window) const
{
    for (auto it = m_settingsWindows.cbegin(); it != m_settingsWindows.cend(); ++it) {
        if (it.value() == window)
            return it.key();
    }
    return std::nullopt;
}

void PanelWindowManager::updateRenaming(const std::optional<AppStore::TabRenaming> &renaming, AppStore &store)
{
    m_store = &store;
    if (m_renamingPanelID && (!renaming || renaming->panelID != *m_renamingPanelID)) {
        if (PanelWindow *previous = m_windows.value(*m_renamingPanelID))
            previous->setRenaming(false);
    }
    if (renaming) {
        if (PanelWindow *window = m_windows.value(renaming->panelID)) {
            m_renamingPanelID = renaming->panelID;
            window->setRenaming(true);
            window->orderFront();
            X11Desktop::instance().activate(window->windowHandle());
            return;
        }
    }
    m_renamingPanelID.reset();
    X11Desktop::instance().deactivate();
}
