#pragma once

#include "applicationservice.h"
#include "remotecommand.h"
#include "terminationsignals.h"
#include "tray.h"

#include "windows/panelwindowmanager.h"

#include <QDBusConnection>
#include <QObject>

#include <memory>
#include <optional>

class AppStore;
class UpdateManager;

// The running program: the one store, the one window manager that shows its panels and follows
// its changes, its tray item, its place on the session bus for the commands of later starts,
// the update check, and the clean way out.
class Quayrow2App : public QObject
{
    Q_OBJECT

public:
    // Takes the instance lock (or hands `command` to the instance that holds it), builds the
    // program over the desktop's services and runs until it quits. Returns the exit status.
    static int exec(const std::optional<RemoteCommand> &command);

    // The program over `store`, reachable on `bus`: shows a window per panel at once. Needs a
    // QApplication.
    Quayrow2App(std::unique_ptr<AppStore> store, QDBusConnection bus, QObject *parent = nullptr);
    ~Quayrow2App() override;

    AppStore &store() const { return *m_store; }
    PanelWindowManager &windowManager() { return m_windowManager; }
    Tray &tray() { return m_tray; }

    // A command from the command line, another start or the tray.
    void perform(RemoteCommand command);
    void checkForUpdates();
    // Ends the event loop; the configuration is complete on disk before the process ends.
    void quit();

private:
    // Blocks until every save handed to the configuration storage is on disk (at most 5 s).
    void finishPendingSaves();

    std::unique_ptr<AppStore> m_store;
    Tray m_tray;
    // After the tray: its quit action is offered by every window.
    PanelWindowManager m_windowManager;
    ApplicationService m_service;
    TerminationSignals m_terminationSignals;
    std::unique_ptr<UpdateManager> m_updates;  // made at the first check
};
