#pragma once

#include "applicationindex.h"
#include "store/services.h"

#include <QList>
#include <QString>
#include <QUrl>

#include <memory>

class InstalledApplications;
class QSocketNotifier;
class X11ClientList;

// The applications behind the windows a taskbar shows, read from the X11 window manager's client
// list and matched to installed .desktop files; the locations are those files, each once, in the
// order of their first window. The list is kept, not computed when asked: it is refreshed when
// the client list changes (PropertyNotify of _NET_CLIENT_LIST) and when the index of installed
// applications, built off the main thread, changes. Without an X server (offscreen and minimal
// platforms, a session without DISPLAY) the list is empty and nothing is ever reported. Main
// thread only; the handler is called on the main thread.
class SystemRunningApplicationsLookup final : public RunningApplicationsLookup
{
public:
    // `displayName` names the X server; by default the one of the session ($DISPLAY) unless Qt
    // runs on a platform without windows.
    explicit SystemRunningApplicationsLookup(const QString &displayName = defaultDisplayName());
    ~SystemRunningApplicationsLookup() override;

    // The kept list; reads nothing, so views may ask while they paint.
    QList<QUrl> runningApplications() override;
    // Calls the handler whenever the list of running applications changes; a further window of
    // an application already listed, or a window change that moves no application, does not.
    void observeChanges(std::function<void()> handler) override;

    static QString defaultDisplayName();

private:
    void readEvents();
    void match();
    void notifyIfChanged();
    void disconnectFromServer();

    std::unique_ptr<X11ClientList> m_clients;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::unique_ptr<InstalledApplications> m_installed;
    QList<WindowIdentity> m_windows;
    QList<QUrl> m_applications;
    QList<QUrl> m_reported;
    std::function<void()> m_handler;
};
