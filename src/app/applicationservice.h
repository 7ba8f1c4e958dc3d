#pragma once

#include "remotecommand.h"

#include "model/result.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

// The running instance on the session bus: org.freedesktop.Application at the application id's
// object path, under the application id as bus name. Activate shows all panels; the actions are
// those of RemoteCommand. Opening files is not something this program does.
class ApplicationService : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    explicit ApplicationService(QObject *parent = nullptr);
    ~ApplicationService() override;

    // Exports the object and claims the bus name on `bus`. Fails when the bus is not connected
    // or another process owns the name; the object is then not exported.
    Result registerOn(QDBusConnection bus);

Q_SIGNALS:
    // A command arrived. Delivered on a later turn of the event loop, after the caller was
    // answered, so that even "quit" is answered before the process ends.
    void commandReceived(RemoteCommand command);

public Q_SLOTS:
    void Activate(const QVariantMap &platformData);
    void Open(const QStringList &uris, const QVariantMap &platformData);
    void ActivateAction(const QString &actionName, const QVariantList &parameter, const QVariantMap &platformData);

private:
    void deliver(RemoteCommand command);

    std::optional<QDBusConnection> m_bus;
};
