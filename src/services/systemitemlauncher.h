#pragma once

#include "store/services.h"

// Opens links on the desktop: applications through their desktop entries (never through a
// shell), ELF executables detached in the home directory, folders selected in the file manager
// and files with their default application. Nothing is reported back; a failure is logged under
// the "quayrow.services" category. On X11 launches of applications are announced to the desktop
// with the given input event time (see makeLaunchContext). D-Bus activated applications
// (DBusActivatable) are activated over the session bus by GIO, also their actions.
//
// A new window: an application's own "new-window" action when it has one; otherwise a new
// process, except for applications that show one main window only (SingleMainWindow) and D-Bus
// activated ones, which would only show themselves again. The actions of an application are
// those of its desktop entry, except the "new-window" one that "New Window" already runs.
class SystemItemLauncher final : public ItemLauncher
{
public:
    void launch(const QUrl &location, std::optional<quint32> timestamp = std::nullopt) override;
    bool opensNewWindow(const QUrl &location) override;
    void openNewWindow(const QUrl &location, std::optional<quint32> timestamp = std::nullopt) override;
    QList<ApplicationAction> actions(const QUrl &location) override;
    void launchAction(const QUrl &location, const QString &actionID,
                      std::optional<quint32> timestamp = std::nullopt) override;
};
