#pragma once

#include "applicationwindows.h"
#include "x11clientlist.h"

#include "store/services.h"

#include <QList>
#include <QString>
#include <QUrl>

#include <memory>

class InstalledApplications;
class QSocketNotifier;

// The applications behind the windows a taskbar shows, read from the X11 window manager's client
// list and matched to installed .desktop files; the locations are those files, each once, in the
// order of their first window. The list is kept, not computed when asked: it is refreshed when
// the client list changes (PropertyNotify of _NET_CLIENT_LIST) and when the index of installed
// applications, built off the main thread, changes. It also follows the active window and the
// windows' requests for attention, and brings an application's windows forward as a pager
// would. Without an X server (offscreen and minimal platforms, a session without DISPLAY) the
// list is empty, nothing is ever reported and nothing is brought forward. Main thread only; the
// handler is called on the main thread.
class SystemRunningApplicationsLookup final : public RunningApplicationsLookup
{
public:
    // `displayName` names the X server; by default the one of the session ($DISPLAY) unless Qt
    // runs on a platform without windows.
    explicit SystemRunningApplicationsLookup(const QString &displayName = defaultDisplayName());
    ~SystemRunningApplicationsLookup() override;

    // The kept list; reads nothing, so views may ask while they paint.
    QList<QUrl> runningApplications() override;
    // Calls the handler whenever the list of running applications changes, or an application
    // starts or stops asking for attention; a further window of an application already listed,
    // or a window change that moves no application, does not.
    void observeChanges(std::function<void()> handler) override;
    // Without a timestamp, the time of the last user input Qt saw stands in.
    bool bringForward(const QUrl &application, std::optional<quint32> timestamp) override;
    std::optional<std::chrono::steady_clock::time_point> attentionSince(const QUrl &application) override;

    static QString defaultDisplayName();

private:
    void readEvents();
    void readQueuedEventsLater();
    void match();
    void notifyIfChanged();
    void disconnectFromServer();

    std::unique_ptr<X11ClientList> m_clients;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::unique_ptr<InstalledApplications> m_installed;
    QList<ClientWindow> m_windows;
    QList<QUrl> m_applications;
    ApplicationWindows m_applicationWindows;
    QList<QUrl> m_reported;
    QHash<QString, ApplicationWindows::Clock::time_point> m_reportedAttention;
    std::function<void()> m_handler;
};
