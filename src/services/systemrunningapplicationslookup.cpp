#include "systemrunningapplicationslookup.h"

#include "installedapplications.h"
#include "launchcontext.h"

#include <QDir>
#include <QGuiApplication>
#include <QSocketNotifier>

namespace {

// Applications are known by the clean path of their .desktop file.
QString applicationKey(const QUrl &location)
{
    return location.isLocalFile() ? QDir::cleanPath(location.toLocalFile()) : QString();
}

} // namespace

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
    m_applicationWindows.setActiveWindow(m_clients->activeWindow());
    readQueuedEventsLater();
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
    m_applicationWindows = ApplicationWindows();
}

// Reads what arrived and reads the windows again when they changed. Reading them waits for
// replies, during which xcb may queue further events without the socket staying readable: the
// loop reads again until nothing is left, so every question to the server is asked inside it.
void SystemRunningApplicationsLookup::readEvents()
{
    if (!m_clients)
        return;
    bool windowsChanged = false;
    std::optional<quint32> activeWindow;
    for (X11ClientList::Changes changes = m_clients->takeChanges(); changes.any(); changes = m_clients->takeChanges()) {
        if (changes.windows) {
            m_windows = m_clients->taskbarWindows();
            windowsChanged = true;
        }
        if (changes.activeWindow)
            activeWindow = m_clients->activeWindow();
    }
    if (m_clients->hasFailed()) {
        disconnectFromServer();
        return;
    }
    // The active window first: a request for attention read in the same batch is answered only
    // when its application is the active one now, not when it was so before the batch.
    if (activeWindow)
        m_applicationWindows.setActiveWindow(*activeWindow);
    if (windowsChanged)
        match();
}

// A question asked outside readEvents may take events off the socket into xcb's queue, where the
// notifier never sees them: they are read on the next turn of the event loop.
void SystemRunningApplicationsLookup::readQueuedEventsLater()
{
    if (!m_notifier)
        return;
    QMetaObject::invokeMethod(
        m_notifier.get(),
        [this] {
            readEvents();
            notifyIfChanged();
        },
        Qt::QueuedConnection);
}

void SystemRunningApplicationsLookup::match()
{
    if (!m_installed)
        return;
    const std::shared_ptr<const ApplicationIndex> index = m_installed->index();
    QList<QUrl> applications;
    QList<ApplicationWindows::Window> windows;
    windows.reserve(m_windows.size());
    for (const ClientWindow &window : std::as_const(m_windows)) {
        const QString path = index->applicationFor(window.identity);
        windows.append({window.id, path.isEmpty() ? QString() : QDir::cleanPath(path), window.demandsAttention});
        if (path.isEmpty())
            continue;
        const QUrl location = QUrl::fromLocalFile(path);
        if (!applications.contains(location))
            applications.append(location);
    }
    m_applications = std::move(applications);
    m_applicationWindows.setWindows(windows, ApplicationWindows::Clock::now());
}

void SystemRunningApplicationsLookup::notifyIfChanged()
{
    if (!m_handler
        || (m_applications == m_reported && m_applicationWindows.attention() == m_reportedAttention))
        return;
    m_reported = m_applications;
    m_reportedAttention = m_applicationWindows.attention();
    m_handler();
}

QList<QUrl> SystemRunningApplicationsLookup::runningApplications()
{
    return m_applications;
}

void SystemRunningApplicationsLookup::observeChanges(std::function<void()> handler)
{
    m_reported = m_applications;
    m_reportedAttention = m_applicationWindows.attention();
    m_handler = std::move(handler);
}

bool SystemRunningApplicationsLookup::bringForward(const QUrl &application, std::optional<quint32> timestamp)
{
    if (!m_clients)
        return false;
    // Whether the application is active decides between its most recent window and its next
    // one: ask the server now rather than trust a report the event loop may not have read yet.
    m_applicationWindows.setActiveWindow(m_clients->activeWindow());
    readQueuedEventsLater();
    notifyIfChanged();
    const quint32 window = m_applicationWindows.windowToActivate(applicationKey(application));
    if (window == 0)
        return false;
    m_clients->activate(window, timestamp.value_or(lastUserInputTime()));
    m_applicationWindows.noteActivationRequest(window);
    return true;
}

std::optional<std::chrono::steady_clock::time_point> SystemRunningApplicationsLookup::attentionSince(const QUrl &application)
{
    const auto found = m_applicationWindows.attention().constFind(applicationKey(application));
    if (found == m_applicationWindows.attention().cend())
        return std::nullopt;
    return *found;
}
