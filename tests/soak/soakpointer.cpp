#include "soakpointer.h"

#include "soakdesktop.h"
#include "x11session.h"

#include "app/quayrow2app.h"
#include "store/appstore.h"
#include "ui/itemrowlayout.h"
#include "ui/panelview.h"
#include "windows/panelwindow.h"

#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTest>

#include <algorithm>

namespace {

bool isOnAScreen(QPoint point)
{
    return QGuiApplication::screenAt(point) != nullptr;
}

// The panel views shown now, with their panels' ids.
QList<std::pair<QUuid, PanelView *>> shownViews(Quayrow2App &app)
{
    QList<std::pair<QUuid, PanelView *>> views;
    for (const Panel &panel : app.store().panels()) {
        PanelWindow *window = app.windowManager().window(panel.id());
        PanelView *view = window ? window->findChild<PanelView *>() : nullptr;
        if (view && view->isVisible() && X11Session::current().isViewable(xcb_window_t(window->winId())))
            views.append({panel.id(), view});
    }
    return views;
}

} // namespace

SoakPointer::SoakPointer(Quayrow2App &app, quint32 seed)
    : m_app(app)
    , m_random(seed ^ 0x9e3779b9u)
{
}

int SoakPointer::below(int bound)
{
    return std::uniform_int_distribution<int>(0, bound - 1)(m_random);
}

bool SoakPointer::dragSomething()
{
    // Whatever was still pending is on the screen before the pointer goes there.
    SoakDesktop::settle(m_app);
    const bool tileFirst = m_drags % 2 == 0;
    std::optional<Drag> drag = tileFirst ? tileDrag() : panelMove();
    if (!drag)
        drag = tileFirst ? panelMove() : tileDrag();
    if (!drag)
        return true;
    ++m_drags;
    const QList<Panel> before = m_app.store().panels();
    // The pointer runs in its own process: a tile's drag runs an event loop of its own here.
    const std::unique_ptr<QProcess> hand = X11Session::current().dragWithPointer(drag->first, drag->second);
    if (!X11Session::finishes(*hand))
        return false;
    // A moved panel's place is saved once the poll sees the button released.
    if (QTest::qWaitFor([&] { return m_app.store().panels() != before; }, 1000))
        ++m_effectiveDrags;
    return true;
}

std::optional<SoakPointer::Drag> SoakPointer::tileDrag()
{
    QList<std::pair<QUuid, PanelView *>> views = shownViews(m_app);
    while (!views.isEmpty()) {
        PanelView *view = views.takeAt(below(int(views.size()))).second;
        const QList<QRectF> tiles = view->itemFrames().values();
        const QList<std::pair<DropInsertionZone, QRectF>> zones = view->itemLayout()->zoneFrames();
        if (tiles.size() < 2 || zones.isEmpty())
            continue;
        const QPoint from = view->mapToGlobal(tiles.at(below(int(tiles.size()))).center()).toPoint();
        const QPoint to =
            view->itemLayout()->parentWidget()->mapToGlobal(zones.at(below(int(zones.size()))).second.center()).toPoint();
        if (isOnAScreen(from) && isOnAScreen(to))
            return Drag{from, to};
    }
    return std::nullopt;
}

std::optional<SoakPointer::Drag> SoakPointer::panelMove()
{
    QList<std::pair<QUuid, PanelView *>> views = shownViews(m_app);
    while (!views.isEmpty()) {
        const auto [id, view] = views.takeAt(below(int(views.size())));
        const Panel *panel = m_app.store().panel(id);
        if (!panel || panel->placement().mode != PanelPlacementMode::Free)
            continue;
        // A press on the bare body, which the window turns into a move.
        const QRect body = view->bodyRect().toRect().adjusted(3, 3, -3, -3);
        std::optional<QPoint> grip;
        for (int y = body.top(); y <= body.bottom() && !grip; y += 3) {
            for (int x = body.left(); x <= body.right() && !grip; x += 3) {
                if (!view->childAt(QPoint(x, y)) && isOnAScreen(view->mapToGlobal(QPoint(x, y))))
                    grip = view->mapToGlobal(QPoint(x, y));
            }
        }
        if (!grip)
            continue;
        const QPoint to(std::clamp(grip->x() + below(501) - 250, 5, 1595),
                        std::clamp(grip->y() + below(401) - 200, 5, 895));
        return Drag{*grip, to};
    }
    return std::nullopt;
}
