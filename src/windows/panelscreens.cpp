#include "panelscreens.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QUuid>

namespace {

// The program's own namespace for screen ids. Never change it: configuration files store ids
// derived from it.
const QUuid screenIDNamespace(QStringLiteral("d22f13c6-1f37-4fa5-b253-5ded2cf4d156"));

QString monitorIdentity(const QScreen *screen)
{
    return screen->manufacturer() + u'|' + screen->model() + u'|' + screen->serialNumber();
}

// The text a screen's id is derived from.
QString identityText(const QScreen *screen)
{
    if (screen->serialNumber().isEmpty())
        return screen->name();
    const QString identity = monitorIdentity(screen);
    for (const QScreen *other : QGuiApplication::screens()) {
        if (other != screen && !other->serialNumber().isEmpty() && monitorIdentity(other) == identity)
            return identity + u'|' + screen->name();
    }
    return identity;
}

double primaryBottomEdge()
{
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary)
        return 0;
    const QRect geometry = primary->geometry();
    return geometry.y() + geometry.height();
}

} // namespace

namespace PanelScreens {

std::optional<QString> panelScreenID(const QScreen *screen)
{
    if (!screen)
        return std::nullopt;
    const QUuid id = QUuid::createUuidV5(screenIDNamespace, identityText(screen));
    return id.toString(QUuid::WithoutBraces).toUpper();
}

Rect visibleFrame(const QScreen *screen)
{
    return screen ? toYUp(screen->availableGeometry()) : Rect{};
}

ScreenSnapshot panelScreenSnapshot(const QScreen *screen)
{
    return ScreenSnapshot{
        .id = panelScreenID(screen),
        .visibleFrame = visibleFrame(screen),
        .isPrimary = screen != nullptr && screen == QGuiApplication::primaryScreen(),
    };
}

QScreen *forPanel(const std::optional<QString> &screenID)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    QList<ScreenSnapshot> snapshots;
    snapshots.reserve(screens.size());
    for (const QScreen *screen : screens)
        snapshots.append(panelScreenSnapshot(screen));
    const std::optional<ScreenSnapshot> chosen = PanelScreen::resolve(screenID, snapshots);
    if (!chosen)
        return nullptr;
    const qsizetype index = snapshots.indexOf(*chosen);
    return index >= 0 ? screens.at(index) : nullptr;
}

QScreen *screenContainingCursor()
{
    const QPoint pointer = QCursor::pos();
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen->geometry().contains(pointer))
            return screen;
    }
    return QGuiApplication::primaryScreen();
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
