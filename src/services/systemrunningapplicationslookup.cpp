#include "systemrunningapplicationslookup.h"

#include "x11clientlist.h"

#include <QGuiApplication>
#include <QSocketNotifier>

SystemRunningApplicationsLookup::SystemRunningApplicationsLookup(const QString &displayName)
{
    if (displayName.isEmpty())
        return;
    m_clients = X11ClientList::connect(displayName);
    if (!m_clients)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(m_clients->fileDescriptor(), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] {
        readEvents();
        notifyIfChanged();
    });
}

SystemRunningApplicationsLookup::~SystemRunningApplicationsLookup() = default;

QString SystemRunningApplicationsLookup::defaultDisplayName()
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return {};
    return qEnvironmentVariable("DISPLAY");
}

void SystemRunningApplicationsLookup::disconnectFromServer()
{
    // Called from the notifier's own signal: it is deleted once that returns.
    if (m_notifier) {
        m_notifier->setEnabled(false);
        m_notifier.release()->deleteLater();
    }
    m_clients.reset();
    m_applications.clear();
    m_isStale = false;
}

// Reads what arrived and recomputes the list when the client list changed. Reading the list
// waits for replies, during which xcb may queue further events without the socket staying
// readable: the loop reads again until nothing is left.
void SystemRunningApplicationsLookup::readEvents()
{
    if (!m_clients)
        return;
    m_isStale = m_clients->takeClientListChanged() || m_isStale;
    while (m_isStale) {
        m_isStale = false;
        m_index.refreshIfChanged();
        QList<QUrl> applications;
        for (const WindowIdentity &window : m_clients->taskbarWindows()) {
            const QString path = m_index.applicationFor(window);
            if (path.isEmpty())
                continue;
            const QUrl location = QUrl::fromLocalFile(path);
            if (!applications.contains(location))
                applications.append(location);
        }
        m_applications = std::move(applications);
        m_isStale = m_clients->takeClientListChanged();
    }
    if (m_clients->hasFailed())
        disconnectFromServer();
}

void SystemRunningApplicationsLookup::notifyIfChanged()
{
    if (!m_handler || m_applications == m_reported)
        return;
    m_reported = m_applications;
    m_handler();
}

QList<QUrl> SystemRunningApplicationsLookup::runningApplications()
{
    readEvents();
    // A change found here was taken off the socket, so the notifier will not announce it.
    if (m_handler && m_applications != m_reported && m_notifier) {
        QMetaObject::invokeMethod(m_notifier.get(), [this] { notifyIfChanged(); }, Qt::QueuedConnection);
    }
    return m_applications;
}

void SystemRunningApplicationsLookup::observeChanges(std::function<void()> handler)
{
    readEvents();
    m_reported = m_applications;
    m_handler = std::move(handler);
}
