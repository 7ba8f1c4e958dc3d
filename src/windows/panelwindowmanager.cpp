#include "panelwindowmanager.h"

#include "groupclickmonitor.h"
#include "groupwindow.h"
#include "panelscreens.h"
#include "panelwindow.h"
#include "positionsave.h"
#include "settingswindow.h"
#include "viewfactory.h"
#include "x11desktop.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>

namespace {

constexpr int canJoinAllSpaces = 1 << 0;
constexpr int stationary = 1 << 4;
constexpr int ignoresCycle = 1 << 6;
constexpr int fullScreenAuxiliary = 1 << 8;

// Holds the manager's "applying a frame of its own" flag for a scope and restores what it was.
class ProgrammaticFrame
{
public:
    explicit ProgrammaticFrame(bool &flag)
        : m_flag(flag)
        , m_previous(std::exchange(flag, true))
    {
    }
    ~ProgrammaticFrame() { m_flag = m_previous; }
    ProgrammaticFrame(const ProgrammaticFrame &) = delete;
    ProgrammaticFrame &operator=(const ProgrammaticFrame &) = delete;

private:
    bool &m_flag;
    bool m_previous;
};

bool isUsable(const Size &size)
{
    return size.width > 0 && size.height > 0;
}

} // namespace

PanelWindowManager::PanelWindowManager(std::unique_ptr<ViewFactory> views, QObject *parent)
    : QObject(parent)
    , m_views(std::move(views))
{
    watchScreens();
}

PanelWindowManager::~PanelWindowManager()
{
    removeGroupClickMonitor();
    qDeleteAll(m_pendingPositionSaves);
    qDeleteAll(m_windows);
    qDeleteAll(m_settingsWindows);
    delete m_groupWindow;
}

int PanelWindowManager::collectionBehavior(bool forAllSpaces)
{
    return stationary | ignoresCycle | fullScreenAuxiliary | (forAllSpaces ? canJoinAllSpaces : 0);
}

void PanelWindowManager::syncWindows(const QList<Panel> &panels, AppStore &store)
{
    m_store = &store;
    watchResignActiveIfNeeded();

    QSet<QUuid> ids;
    ids.reserve(panels.size());
    for (const Panel &panel : panels)
        ids.insert(panel.id());
    const QList<QUuid> shown = m_windows.keys();
    for (const QUuid &id : shown) {
        if (!ids.contains(id))
            closeWindowOfRemovedPanel(id);
    }

    const PanelScreens::AttachedScreens screens = PanelScreens::attachedScreens();
    for (const Panel &panel : panels) {
        const QUuid id = panel.id();
        m_windowLevels.insert(id, panel.windowLevel());
        m_placementModes.insert(id, panel.placement().mode);
        PanelWindow *window = m_windows.value(id);
        if (!window) {
            window = makeWindow(panel, store, screens);
            m_windows.insert(id, window);
            window->orderFront();
            if (m_hasCompletedInitialSync)
                flashNewPanel(window);
            continue;
        }
        if (window->needsView(panel))
            window->setPanelView(m_views->makePanelView(panel, store), panel);
        window->setTitle(panel.name);
        refitAndPlace(window, panel.placement(), screens, window->isMovableByBackground());
        applyWindowLevel(window, id);
        applyWorkspaceBehavior(window, collectionBehavior(panel.showsOnAllSpaces));
    }
    m_hasCompletedInitialSync = true;

    if (m_openGroupID && m_groupWindow) {
        const Panel *owner = panelOwning(*m_openGroupID, panels);
        applyWorkspaceBehavior(m_groupWindow, collectionBehavior(owner ? owner->showsOnAllSpaces : true));
    }
    relayoutGroupWindow();
}

PanelWindow *PanelWindowManager::makeWindow(const Panel &panel, AppStore &store,
                                            const PanelScreens::AttachedScreens &screens)
{
    const QUuid id = panel.id();
    const PanelPlacement &placement = panel.placement();
    auto *window = new PanelWindow;
    adopt(window);
    window->setTitle(panel.name);
    window->setStates(WindowStates{.skipsTaskbar = !m_showsInTaskbar});
    applyWorkspaceBehavior(window, collectionBehavior(panel.showsOnAllSpaces));
    window->setPanelView(m_views->makePanelView(panel, store), panel);
    connect(window, &HostWindow::moved, this, [this, window] { windowDidMove(window); });
    // The view changed its size on its own (the running applications changed).
    connect(window, &HostWindow::fittingSizeChanged, this, &PanelWindowManager::syncWindowSizes);
    connect(window, &PanelWindow::dragStarted, this, [this, window] { windowDidStartDrag(window); });

    m_windowLevels.insert(id, panel.windowLevel());
    m_placementModes.insert(id, placement.mode);
    applyWindowLevel(window, id);
    window->setMovableByBackground(placement.mode == PanelPlacementMode::Free);

    const Size fitting = window->fittingSize();
    if (isUsable(fitting))
        window->setContentSize(fitting);

    const qsizetype screen = screens.resolve(placement.screenID);
    if (placement.mode == PanelPlacementMode::Free && !placement.freePosition && screen >= 0) {
        // Each unsaved free panel opens 30 points right of and below the one before; the series
        // starts again at the centre after ten. Nothing is saved until the user drags it.
        const Rect &v = screens.snapshots.at(screen).visibleFrame;
        const Rect current = window->frame();
        const Size size{current.width, current.height};
        const double offset = double(m_windows.size() % 10) * 30;
        const Rect proposed{v.midX() - size.width / 2 + offset, v.midY() - size.height / 2 - offset, size.width,
                            size.height};
        const PanelPlacement cascade{.mode = PanelPlacementMode::Free,
                                     .freePosition = AppStore::freePosition(proposed, v)};
        const Rect placed = AppStore::frame(cascade, size, v);
        ProgrammaticFrame programmatic(m_isApplyingProgrammaticFrame);
        window->setFrameOrigin(placed.x, placed.y);
    } else {
        refitAndPlace(window, placement, screens, false);
    }
    return window;
}

void PanelWindowManager::closeWindowOfRemovedPanel(const QUuid &panelID)
{
    PanelWindow *window = m_windows.take(panelID);
    window->hide();
    window->deleteLater();
    m_windowLevels.remove(panelID);
    m_placementModes.remove(panelID);
    delete m_pendingPositionSaves.take(panelID);
    m_temporarilyRaisedPanelIDs.remove(panelID);
    m_revealedAllPanelIDs.remove(panelID);
    if (SettingsWindow *settings = m_settingsWindows.take(panelID)) {
        settings->close();
        settings->deleteLater();
    }
}

void PanelWindowManager::refitAndPlace(PanelWindow *window, const PanelPlacement &placement,
                                       const PanelScreens::AttachedScreens &screens, bool keepsUnsavedFreeFrame)
{
    const bool isFree = placement.mode == PanelPlacementMode::Free;
    window->setMovableByBackground(isFree);
    Rect frame = window->frame();
    // A view that reports no size keeps the window's (an X window cannot be empty).
    if (const Size fitting = window->fittingSize(); isUsable(fitting))
        frame = Rect{frame.x, frame.y, fitting.width, fitting.height};
    const bool keeps = keepsUnsavedFreeFrame && isFree && !placement.freePosition;
    if (const qsizetype screen = screens.resolve(placement.screenID); screen >= 0) {
        const Rect &visible = screens.snapshots.at(screen).visibleFrame;
        // An unsaved free panel stays where it is, but within its screen like every panel: placed
        // as if its position were saved there, so that content grown past the screen scrolls
        // instead of running off it.
        PanelPlacement placed = placement;
        if (keeps)
            placed.freePosition = AppStore::freePosition(frame, visible);
        frame = AppStore::frame(placed, Size{frame.width, frame.height}, visible);
    }
    applyFrame(window, frame);
}

void PanelWindowManager::applyFrame(HostWindow *window, const Rect &frame)
{
    ProgrammaticFrame programmatic(m_isApplyingProgrammaticFrame);
    window->setFrame(frame);
}

void PanelWindowManager::applyWindowLevel(PanelWindow *window, const QUuid &panelID)
{
    const auto configured = m_windowLevels.constFind(panelID);
    if (configured == m_windowLevels.constEnd())
        return;
    WindowStates states = window->states();
    if (m_temporarilyRaisedPanelIDs.contains(panelID) || m_revealedAllPanelIDs.contains(panelID)) {
        states.level = WindowLevel::floating;
    } else {
        switch (*configured) {
        case PanelWindowLevel::BelowWindows: states.level = WindowLevel::below; break;
        case PanelWindowLevel::Normal: states.level = WindowLevel::normal; break;
        case PanelWindowLevel::AboveAll: states.level = WindowLevel::floating; break;
        }
    }
    window->setStates(states);
}

void PanelWindowManager::applyWorkspaceBehavior(HostWindow *window, int behavior)
{
    WindowStates states = window->states();
    states.onAllDesktops = (behavior & canJoinAllSpaces) != 0;
    window->setStates(states);
}

void PanelWindowManager::setShowsInTaskbar(bool shows)
{
    m_showsInTaskbar = shows;
    for (PanelWindow *window : std::as_const(m_windows)) {
        WindowStates states = window->states();
        states.skipsTaskbar = !shows;
        window->setStates(states);
    }
}

void PanelWindowManager::addWindowAction(QAction *action)
{
    m_windowActions.append(action);
    for (PanelWindow *window : std::as_const(m_windows))
        window->addAction(action);
    for (SettingsWindow *window : std::as_const(m_settingsWindows))
        window->addAction(action);
    if (m_groupWindow)
        m_groupWindow->addAction(action);
}

void PanelWindowManager::adopt(HostWindow *window) const
{
    for (QAction *action : m_windowActions) {
        if (action)
            window->addAction(action);
    }
}

void PanelWindowManager::syncWindowSizes()
{
    postOnce(m_isSizeSyncScheduled, &PanelWindowManager::refitWindows);
}

void PanelWindowManager::refitWindows()
{
    if (!m_store)
        return;
    const PanelScreens::AttachedScreens screens = PanelScreens::attachedScreens();
    for (const Panel &panel : m_store->panels()) {
        PanelWindow *window = m_windows.value(panel.id());
        if (!window)
            continue;
        if (isUsable(window->fittingSize()))
            refitAndPlace(window, panel.placement(), screens, window->isMovableByBackground());
    }
}

void PanelWindowManager::postOnce(bool &scheduled, void (PanelWindowManager::*work)())
{
    if (scheduled)
        return;
    scheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this, &scheduled, work] {
            scheduled = false;
            (this->*work)();
        },
        Qt::QueuedConnection);
}

void PanelWindowManager::watchScreens()
{
    const auto watch = [this](QScreen *screen) {
        connect(screen, &QScreen::geometryChanged, this, &PanelWindowManager::scheduleScreenParametersChange);
        connect(screen, &QScreen::availableGeometryChanged, this,
                &PanelWindowManager::scheduleScreenParametersChange);
    };
    for (QScreen *screen : QGuiApplication::screens())
        watch(screen);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this, watch](QScreen *screen) {
        watch(screen);
        scheduleScreenParametersChange();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &PanelWindowManager::scheduleScreenParametersChange);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this,
            &PanelWindowManager::scheduleScreenParametersChange);
    connect(&X11Desktop::instance(), &X11Desktop::workAreaChanged, this,
            &PanelWindowManager::scheduleScreenParametersChange);
    connect(&X11Desktop::instance(), &X11Desktop::windowManagerChanged, this,
            &PanelWindowManager::windowManagerDidChange);
}

void PanelWindowManager::scheduleScreenParametersChange()
{
    postOnce(m_isScreenChangeScheduled, &PanelWindowManager::screenParametersDidChange);
}

void PanelWindowManager::screenParametersDidChange()
{
    if (!m_store)
        return;
    // A drag in progress while screens change is not saved.
    qDeleteAll(m_pendingPositionSaves);
    m_pendingPositionSaves.clear();
    const PanelScreens::AttachedScreens screens = PanelScreens::attachedScreens();
    for (const Panel &panel : m_store->panels()) {
        PanelWindow *window = m_windows.value(panel.id());
        const qsizetype screen = screens.resolve(panel.placement().screenID);
        if (!window || screen < 0)
            continue;
        if (!PanelScreen::needsReposition(panel.placement(), window->frame(), screens.snapshots.at(screen).visibleFrame))
            continue;
        refitAndPlace(window, panel.placement(), screens, false);
    }
}

void PanelWindowManager::windowManagerDidChange()
{
    for (HostWindow *window : std::as_const(m_windows))
        window->restateToWindowManager();
    for (HostWindow *window : std::as_const(m_settingsWindows))
        window->restateToWindowManager();
    if (m_groupWindow)
        m_groupWindow->restateToWindowManager();
    if (!m_store)
        return;
    const PanelScreens::AttachedScreens screens = PanelScreens::attachedScreens();
    for (const Panel &panel : m_store->panels()) {
        if (PanelWindow *window = m_windows.value(panel.id()))
            refitAndPlace(window, panel.placement(), screens, true);
    }
    repositionGroupWindow();
}

std::optional<QUuid> PanelWindowManager::panelID(const QWidget *window) const
{
    for (auto it = m_windows.cbegin(); it != m_windows.cend(); ++it) {
        if (it.value() == window)
            return it.key();
    }
    return std::nullopt;
}
