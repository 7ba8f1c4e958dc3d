#include "panelscreens.h"

#include "workarea.h"
#include "x11desktop.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QUuid>

namespace {

// The program's own namespace for screen ids. Never change it: configuration files store ids
// derived from it.
const QUuid screenIDNamespace(QStringLiteral("d22f13c6-1f37-4fa5-b253-5ded2cf4d156"));

QString monitorText(const PanelScreens::MonitorIdentity &monitor)
{
    return monitor.manufacturer + u'|' + monitor.model + u'|' + monitor.serialNumber;
}

PanelScreens::MonitorIdentity identityOf(const QScreen *screen)
{
    return {screen->name(), screen->manufacturer(), screen->model(), screen->serialNumber()};
}

double primaryBottomEdge()
{
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary)
        return 0;
    const QRect geometry = primary->geometry();
    return geometry.y() + geometry.height();
}

// The screen's area less the struts of the docks that overlap it.
QRect geometryWithoutStruts(const QScreen *screen, const X11Desktop &desktop)
{
    const QRect native = PanelScreens::toNative(screen->geometry(), screen);
    const QRect area = WorkArea::available(native, desktop.rootSize(), desktop.struts());
    return PanelScreens::fromNative(QRectF(area), screen).toRect();
}

// With one screen Qt's available geometry is the window manager's work area, which also knows
// space reserved without struts (a shell's own bar). With several, Qt cuts the one work-area
// rectangle out of every screen, so a dock on one monitor would shrink its neighbours: there
// the docks' struts decide alone.
QRect availableGeometry(const QScreen *screen)
{
    const X11Desktop &desktop = X11Desktop::instance();
    if (!desktop.isX11())
        return screen->availableGeometry();
    if (QGuiApplication::screens().size() == 1)
        return screen->availableGeometry() & geometryWithoutStruts(screen, desktop);
    return geometryWithoutStruts(screen, desktop);
}

} // namespace

namespace PanelScreens {

QString identityText(const MonitorIdentity &monitor, const QList<MonitorIdentity> &attached)
{
    if (monitor.serialNumber.isEmpty())
        return monitor.connector;
    const QString text = monitorText(monitor);
    const auto sameMonitor = [&text](const MonitorIdentity &other) {
        return !other.serialNumber.isEmpty() && monitorText(other) == text;
    };
    if (std::count_if(attached.cbegin(), attached.cend(), sameMonitor) > 1)
        return text + u'|' + monitor.connector;
    return text;
}

QString screenID(const QString &identityText)
{
    return QUuid::createUuidV5(screenIDNamespace, identityText).toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QString> panelScreenID(const QScreen *screen)
{
    if (!screen)
        return std::nullopt;
    QList<MonitorIdentity> attached;
    for (const QScreen *other : QGuiApplication::screens())
        attached.append(identityOf(other));
    return screenID(identityText(identityOf(screen), attached));
}

Rect visibleFrame(const QScreen *screen)
{
    if (!screen)
        return Rect{};
    return toYUp(availableGeometry(screen));
}

ScreenSnapshot panelScreenSnapshot(const QScreen *screen)
{
    return ScreenSnapshot{
        .id = panelScreenID(screen),
        .visibleFrame = visibleFrame(screen),
        .isPrimary = screen != nullptr && screen == QGuiApplication::primaryScreen(),
    };
}

qsizetype AttachedScreens::resolve(const std::optional<QString> &screenID) const
{
    const std::optional<ScreenSnapshot> chosen = PanelScreen::resolve(screenID, snapshots);
    return chosen ? snapshots.indexOf(*chosen) : -1;
}

AttachedScreens attachedScreens()
{
    AttachedScreens attached{.screens = QGuiApplication::screens()};
    attached.snapshots.reserve(attached.screens.size());
    for (const QScreen *screen : std::as_const(attached.screens))
        attached.snapshots.append(panelScreenSnapshot(screen));
    return attached;
}

QScreen *forPanel(const std::optional<QString> &screenID)
{
    const AttachedScreens attached = attachedScreens();
    const qsizetype index = attached.resolve(screenID);
    return index >= 0 ? attached.screens.at(index) : nullptr;
}

QScreen *screenContainingCursor()
{
    const QPoint pointer = QCursor::pos();
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen->geometry().contains(pointer))
            return screen;
    }
    return nullptr;
}

std::optional<QString> screenIDUnderPointer()
{
    return panelScreenID(screenContainingCursor());
}

QRectF fromNative(const QRectF &native, const QScreen *screen)
{
    const double ratio = screen ? screen->devicePixelRatio() : 1;
    const QPointF origin = screen ? QPointF(screen->geometry().topLeft()) : QPointF();
    return QRectF(origin + (native.topLeft() - origin) / ratio, native.size() / ratio);
}

QRect toNative(const QRect &logical, const QScreen *screen)
{
    const double ratio = screen ? screen->devicePixelRatio() : 1;
    const QPointF origin = screen ? QPointF(screen->geometry().topLeft()) : QPointF();
    const QPointF topLeft = origin + (QPointF(logical.topLeft()) - origin) * ratio;
    return QRect(topLeft.toPoint(), (QSizeF(logical.size()) * ratio).toSize());
}

Rect toYUp(const QRectF &qtRect)
{
    return Rect{qtRect.x(), primaryBottomEdge() - (qtRect.y() + qtRect.height()), qtRect.width(), qtRect.height()};
}

QRectF toQt(const Rect &yUpRect)
{
    return QRectF(yUpRect.x, primaryBottomEdge() - (yUpRect.y + yUpRect.height), yUpRect.width, yUpRect.height);
}

} // namespace PanelScreens
