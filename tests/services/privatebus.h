#pragma once

#include <QProcess>
#include <QString>

// A private D-Bus session bus for one test process (its own dbus-daemon), set as the session bus
// in the environment. Needs a QCoreApplication; create it before the first use of the session
// bus. When dbus-daemon is missing, no bus is set and `isRunning()` is false.
class PrivateSessionBus
{
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus &) = delete;
    PrivateSessionBus &operator=(const PrivateSessionBus &) = delete;

    bool isRunning() const { return !m_address.isEmpty(); }
    QString address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};
