#include "applicationservice.h"

#include "appidentity.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QMetaObject>

ApplicationService::ApplicationService(QObject *parent)
    : QObject(parent)
{
}

ApplicationService::~ApplicationService()
{
    if (m_bus) {
        m_bus->unregisterService(AppIdentity::applicationID());
        m_bus->unregisterObject(AppIdentity::objectPath());
    }
}

Result ApplicationService::registerOn(QDBusConnection bus)
{
    if (!bus.isConnected())
        return Result::failure(QStringLiteral("no session bus (%1)").arg(bus.lastError().message()));
    if (!bus.registerObject(AppIdentity::objectPath(), this, QDBusConnection::ExportAllSlots))
        return Result::failure(QStringLiteral("the object path %1 is taken").arg(AppIdentity::objectPath()));
    if (!bus.registerService(AppIdentity::applicationID())) {
        bus.unregisterObject(AppIdentity::objectPath());
        return Result::failure(QStringLiteral("another process owns the bus name %1").arg(AppIdentity::applicationID()));
    }
    m_bus = bus;
    return Result::success();
}

void ApplicationService::Activate(const QVariantMap &)
{
    deliver(RemoteCommand::ShowAllPanels);
}

void ApplicationService::Open(const QStringList &, const QVariantMap &)
{
    sendErrorReply(QDBusError::NotSupported, QStringLiteral("Quayrow 2 does not open files."));
}

void ApplicationService::ActivateAction(const QString &actionName, const QVariantList &parameter, const QVariantMap &)
{
    const std::optional<RemoteCommand> command = RemoteCommands::fromActionName(actionName);
    if (!command) {
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("There is no action named \"%1\".").arg(actionName));
        return;
    }
    if (!parameter.isEmpty()) {
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("The action \"%1\" takes no parameter.").arg(actionName));
        return;
    }
    deliver(*command);
}

void ApplicationService::deliver(RemoteCommand command)
{
    QMetaObject::invokeMethod(this, [this, command] { Q_EMIT commandReceived(command); }, Qt::QueuedConnection);
}
