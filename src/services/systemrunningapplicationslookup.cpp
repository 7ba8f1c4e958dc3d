#include "systemrunningapplicationslookup.h"

#include "installedapplications.h"
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
    m_installed = std::make_unique<InstalledApplications>();
    QObject::connect(m_installed.get(), &InstalledApplications::indexChanged, m_installed.get(), [this] {
        match();
        notifyIfChanged();
    });
    m_notifier = std::make_unique<QSocketNotifier>(m_clients->fileDescriptor(), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] {
        readEvents();
        notifyIfChanged();
    });
    m_windows = m_clients->taskbarWindows();
    match();
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
    m_windows.clear();
    m_applications.clear();
}

// Reads what arrived and reads the windows again when the client list changed. Reading them waits
// for replies, during which xcb may queue further events without the socket staying readable: the
// loop reads again until nothing is left.
void SystemRunningApplicationsLookup::readEvents()
{
    if (!m_clients)
        return;
    bool changed = false;
    while (m_clients->takeClientListChanged()) {
        m_windows = m_clients->taskbarWindows();
        changed = true;
    }
    if (m_clients->hasFailed())
        disconnectFromServer();
    else if (changed)
        match();
}

void SystemRunningApplicationsLookup::match()
{
    if (!m_installed)
        return;
    const std::shared_ptr<const ApplicationIndex> index = m_installed->index();
    QList<QUrl> applications;
    for (const WindowIdentity &window : std::as_const(m_windows)) {
        const QString path = index->applicationFor(window);
        if (path.isEmpty())
            continue;
        const QUrl location = QUrl::fromLocalFile(path);
        if (!applications.contains(location))
            applications.append(location);
    }
    m_applications = std::move(applications);
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
    return m_applications;
}

void SystemRunningApplicationsLookup::observeChanges(std::function<void()> handler)
{
    m_reported = m_applications;
    m_handler = std::move(handler);
}
