#include "trayhostwatcher.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString watcherService = u"org.kde.StatusNotifierWatcher"_s;
const QString watcherPath = u"/StatusNotifierWatcher"_s;
const QString watcherInterface = u"org.kde.StatusNotifierWatcher"_s;

xcb_connection_t *x11Connection()
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

std::uint32_t internAtom(xcb_connection_t *connection, const QByteArray &name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, uint16_t(name.size()), name.constData());
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : std::uint32_t(XCB_ATOM_NONE);
}

// The screen number of the display, as in ":0.1"; 0 when not given.
int defaultScreenNumber()
{
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype colon = display.lastIndexOf(':');
    const qsizetype dot = display.indexOf('.', colon < 0 ? 0 : colon);
    return dot < 0 ? 0 : display.mid(dot + 1).toInt();
}

} // namespace

TrayHostWatcher::TrayHostWatcher(QDBusConnection bus, QObject *parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{
    if (xcb_connection_t *connection = x11Connection()) {
        m_trayManagerSelection = internAtom(connection, "_NET_SYSTEM_TRAY_S" + QByteArray::number(defaultScreenNumber()));
        m_managerAtom = internAtom(connection, "MANAGER");
        // A tray manager announces itself with a MANAGER message to the root window.
        QCoreApplication::instance()->installNativeEventFilter(this);
        m_filtersEvents = true;
    }
    if (m_bus.isConnected()) {
        m_serviceWatcher = new QDBusServiceWatcher(watcherService, m_bus, QDBusServiceWatcher::WatchForRegistration, this);
        connect(m_serviceWatcher, &QDBusServiceWatcher::serviceRegistered, this, &TrayHostWatcher::checkStatusNotifierHost);
        m_bus.connect(watcherService, watcherPath, watcherInterface, u"StatusNotifierHostRegistered"_s, this,
                      SLOT(checkStatusNotifierHost()));
        checkStatusNotifierHost();
    } else {
        // Answered on the next turn of the event loop, like a check of the bus.
        QMetaObject::invokeMethod(this, [this] { statusNotifierHostAnswered(false); }, Qt::QueuedConnection);
    }
}

TrayHostWatcher::~TrayHostWatcher()
{
    if (m_filtersEvents && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

void TrayHostWatcher::checkStatusNotifierHost()
{
    QDBusMessage message = QDBusMessage::createMethodCall(watcherService, watcherPath,
                                                          u"org.freedesktop.DBus.Properties"_s, u"Get"_s);
    message << watcherInterface << u"IsStatusNotifierHostRegistered"_s;
    auto *call = new QDBusPendingCallWatcher(m_bus.asyncCall(message), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *finished;
        statusNotifierHostAnswered(!reply.isError() && reply.value().variant().toBool());
    });
}

void TrayHostWatcher::statusNotifierHostAnswered(bool registered)
{
    const bool first = !m_firstCheckDone;
    m_firstCheckDone = true;
    if (registered)
        report(Host::StatusNotifier);
    else if (hasXEmbedTray())
        report(Host::XEmbed);
    else if (first)
        Q_EMIT startedWithoutTray();
}

bool TrayHostWatcher::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (m_reported || !m_firstCheckDone || eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
        return false;
    const auto *clientMessage = static_cast<const xcb_client_message_event_t *>(message);
    if (clientMessage->type == m_managerAtom && clientMessage->format == 32
        && clientMessage->data.data32[1] == m_trayManagerSelection) {
        report(Host::XEmbed);
    }
    return false;
}

void TrayHostWatcher::report(Host host)
{
    if (m_reported)
        return;
    m_reported = true;
    Q_EMIT trayAvailable(host);
}

bool TrayHostWatcher::hasXEmbedTray() const
{
    xcb_connection_t *connection = x11Connection();
    if (!connection || m_trayManagerSelection == XCB_ATOM_NONE)
        return false;
    const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> reply(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, m_trayManagerSelection), nullptr),
        &std::free);
    return reply && reply->owner != XCB_WINDOW_NONE;
}
